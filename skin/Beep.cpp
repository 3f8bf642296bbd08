#include "skin/Beep.h"

#include <QApplication>

namespace {

std::function<void()>& BeepHandler() {
    static std::function<void()> handler;
    return handler;
}

}  // namespace

void SkinBeep() {
    if (BeepHandler()) {
        BeepHandler()();
    } else {
        QApplication::beep();
    }
}

void SetSkinBeepHandler(std::function<void()> handler) {
    BeepHandler() = std::move(handler);
}
