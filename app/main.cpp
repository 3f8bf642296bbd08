// Qor Converter's entry point: creates every window once, hidden, in order (the launcher first,
// as the main window), runs the message loop until the launcher ends it, then destroys them.
#include <QApplication>
#include <clocale>
#include <exception>
#include <memory>

#include "app/TChooseMain.h"
#include "app/Taboutkivodvd.h"
#include "converter/EngineApi.h"
#include "converter/Txconverter.h"
#include "platform/ExceptionBox.h"
#include "profiles/TProfile.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("QorConverter");
    QApplication::setQuitOnLastWindowClosed(false);
    // libmpv and the engine's number formatting need the "C" numeric locale.
    std::setlocale(LC_NUMERIC, "C");
    try {
        auto launcher = std::make_unique<TChooseMain>();
        auto converter = std::make_unique<Txconverter>();
        auto about = std::make_unique<Taboutkivodvd>();
        auto profile = std::make_unique<TProfile>();
        launcher->show();
        app.exec();
        // A job may still run: stop the engine before the windows go.
        Engine().Stop();
        converter->hide();
    } catch (const std::exception& error) {
        platform::ShowException(error);
    }
    return 0;
}
