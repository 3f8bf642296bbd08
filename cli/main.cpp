// qor-convert: Qor Converter from the command line, on the same catalog, cores and engine as the
// converter window, without any window.
#include <QCoreApplication>
#include <QStringList>
#include <clocale>

#include "cli/CliRun.h"
#include "platform/ByteNames.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("QorConverter");
    QCoreApplication::setApplicationVersion(QStringLiteral(QOR_VERSION));
    // The engine's number formatting needs the "C" numeric locale.
    std::setlocale(LC_NUMERIC, "C");
    // The arguments as bytes: a file name that is not valid UTF-8 stays the file's name (Qt's
    // own list of arguments would have turned its odd bytes into U+FFFD).
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(platform::PathFromBytes(QByteArray(argv[i])));
    return RunCli(arguments);
}
