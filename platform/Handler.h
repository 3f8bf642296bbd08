// Every event handler of the windows is connected through Guarded: an error raised inside the
// handler is shown in the standard exception box and the rest of the handler is skipped, so
// no C++ exception ever travels through Qt code.
#pragma once

#include <exception>
#include <utility>

#include "platform/ExceptionBox.h"

namespace platform {

template <class Fn>
auto Guarded(Fn fn) {
    return [fn = std::move(fn)](auto&&... args) mutable {
        try {
            fn(std::forward<decltype(args)>(args)...);
        } catch (const std::exception& error) {
            ShowException(error);
        } catch (...) {
            ShowException(QStringLiteral("Unknown error"));
        }
    };
}

}  // namespace platform
