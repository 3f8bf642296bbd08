#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {
namespace {
std::function<void(const QString&)> g_handler;
}

void ShellOpen(const QString& target) {
    if (g_handler) {
        g_handler(target);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

void SetShellOpenHandler(std::function<void(const QString&)> handler) {
    g_handler = std::move(handler);
}

}  // namespace platform
