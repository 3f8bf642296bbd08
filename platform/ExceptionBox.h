// The application's standard exception box: what a handler that raised an error shows.
#pragma once

#include <QString>
#include <exception>

namespace platform {

// The text shown for an error message: a full stop is appended when the message's last
// character sorts after "." (so "Unable to write to /x/KivoMp4.dll" gains one, "Done." and
// "List index out of bounds (3)" do not).
QString ExceptionText(const QString& message);

// The box's title: the executable's file name cut before its first ".".
QString ApplicationTitle();

// Shows the error in a modal box with an error icon and an OK button.
void ShowException(const std::exception& error);
void ShowException(const QString& message);

}  // namespace platform
