// qor-convert: Qor Converter from the command line, on the same catalog, cores and engine as the
// converter window, without any window.
#include <QCoreApplication>
#include <clocale>

#include "cli/CliRun.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("QorConverter");
    QCoreApplication::setApplicationVersion(QStringLiteral(QOR_VERSION));
    // The engine's number formatting needs the "C" numeric locale.
    std::setlocale(LC_NUMERIC, "C");
    return RunCli(QCoreApplication::arguments().mid(1));
}
