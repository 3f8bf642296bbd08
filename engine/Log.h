// Routes libav's log into the engine instead of the terminal and keeps the last error line,
// so a failed conversion can tell the user what libav complained about.
#pragma once

#include <string>

namespace kivo {

// Installs the log callback; safe to call more than once.
void InstallLogCallback();

// The last line libav logged at error level or worse, without its trailing line break;
// empty when none was logged since the last ClearLastError().
std::string LastErrorLine();
void ClearLastError();

// Text for a libav error code, such as "No such file or directory".
std::string ErrorText(int code);

}  // namespace kivo
