// Numbered window messages, as the engine and the preview deliver them to the converter window.
// Any thread may post through a WindowHandle; the message arrives as a WindowMessageEvent on
// the thread of the target object (the user interface thread), in the order posted.
#pragma once

#include <QEvent>
#include <cstdint>
#include <mutex>

#include "engine/kivoengine.h"

class QObject;

namespace platform {

constexpr unsigned WM_USER = 0x0400;
constexpr unsigned WM_APP = 0x8000;

class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(unsigned msg, uintptr_t wparam, intptr_t lparam);
    static QEvent::Type EventType();

    const unsigned msg;
    const uintptr_t wparam;
    const intptr_t lparam;
};

// The handle a window gives to code that must not know Qt. It derives from KivoWindow so that
// the engine can post to it; Detach makes later posts go nowhere.
class WindowHandle : public KivoWindow {
public:
    explicit WindowHandle(QObject* target);
    ~WindowHandle();
    WindowHandle(const WindowHandle&) = delete;
    WindowHandle& operator=(const WindowHandle&) = delete;

    KivoWindow* Handle() { return this; }
    void Detach();

private:
    static void Post(KivoWindow* self, unsigned msg, uintptr_t wparam, intptr_t lparam);

    std::mutex mutex_;
    QObject* target_;
};

// Queues `msg` for the window behind `handle`; safe from any thread.
void PostMessage(KivoWindow* handle, unsigned msg, uintptr_t wparam, intptr_t lparam);

}  // namespace platform
