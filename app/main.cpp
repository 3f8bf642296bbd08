// Qor Converter's entry point: creates every window once, hidden, in order (the launcher first,
// as the main window), opens the window the command line asks for, runs the message loop until
// the launcher ends it, then destroys them.
#include <QApplication>
#include <QIcon>
#include <clocale>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/SingleInstance.h"
#include "app/StartArguments.h"
#include "app/TChooseMain.h"
#include "app/Taboutkivodvd.h"
#include "converter/Txconverter.h"
#include "platform/core/ByteNames.h"
#include "platform/core/EngineApi.h"
#include "platform/ExceptionBox.h"
#include "platform/Notifications.h"
#include "profiles/core/CatalogCheck.h"
#include "profiles/core/ProfileDatabase.h"
#include "profiles/TProfile.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("QorConverter");
    QApplication::setApplicationVersion(QStringLiteral(QOR_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    // The menu entry and the icon the desktop shows for the windows.
    QGuiApplication::setDesktopFileName(platform::DesktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(platform::DesktopId));
    // libmpv and the engine's number formatting need the "C" numeric locale.
    std::setlocale(LC_NUMERIC, "C");

    // The arguments Qt left, as bytes: a file name that is not valid UTF-8 stays the file's name.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(platform::PathFromBytes(QByteArray(argv[i])));
    const StartRequest request = ParseStartArguments(arguments);
    if (request.exitNow) {
        std::fputs(qPrintable(request.output), request.exitCode == 0 ? stdout : stderr);
        return request.exitCode;
    }
    // One program per user and display: a later start hands its family and files over and
    // ends. A run without a display (offscreen) has no windows to share and runs alone.
    const bool shared = !QGuiApplication::platformName().startsWith(QStringLiteral("offscreen"));
    const QString socket = shared ? InstanceSocketPath() : QString();
    if (shared && HandToRunningProgram(request, socket))
        return 0;
    try {
        // Installed for all users, each user reads and writes a copy of the installed database.
        PrepareProfileDatabase();
        // A damaged copy of the user's would stop every family from loading: offer the
        // installed one (declined, the damaged one is read as it is).
        OfferCatalogRestore(nullptr);
        auto launcher = std::make_unique<TChooseMain>();
        auto converter = std::make_unique<Txconverter>();
        auto about = std::make_unique<Taboutkivodvd>();
        auto profile = std::make_unique<TProfile>();
        InstanceListener listener(
            [&](const StartRequest& handed) { ApplyHandOver(handed, *launcher, *converter); });
        if (shared)
            listener.Listen(socket);
        ApplyStartRequest(request, *launcher, *converter);
        app.exec();
        // The program ends with the converter open (the session ends): its list is kept.
        if (converter->isVisible() && converter->ListRestored)
            converter->SaveList();
        // A job may still run: its conversions stop before the windows go.
        converter->EndJobForClose();
        converter->hide();
    } catch (const std::exception& error) {
        platform::ShowException(error);
    }
    return 0;
}
