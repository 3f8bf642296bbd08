#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QObject>

namespace platform {

WindowMessageEvent::WindowMessageEvent(unsigned m, uintptr_t w, intptr_t l)
    : QEvent(EventType()), msg(m), wparam(w), lparam(l) {}

QEvent::Type WindowMessageEvent::EventType() {
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

WindowHandle::WindowHandle(QObject* target) : target_(target) {
    post = &WindowHandle::Post;
}

WindowHandle::~WindowHandle() {
    Detach();
}

void WindowHandle::Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    target_ = nullptr;
}

void WindowHandle::Post(KivoWindow* self, unsigned msg, uintptr_t wparam, intptr_t lparam) {
    auto* handle = static_cast<WindowHandle*>(self);
    std::lock_guard<std::mutex> lock(handle->mutex_);
    if (handle->target_) {
        QCoreApplication::postEvent(handle->target_, new WindowMessageEvent(msg, wparam, lparam));
    }
}

void PostMessage(KivoWindow* handle, unsigned msg, uintptr_t wparam, intptr_t lparam) {
    if (handle && handle->post)
        handle->post(handle, msg, wparam, lparam);
}

}  // namespace platform
