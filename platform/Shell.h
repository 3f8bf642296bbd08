// The shell's "open" of a web address, a mail link or a file. Results are not examined.
#pragma once

#include <QString>
#include <functional>

namespace platform {

void ShellOpen(const QString& target);

// Tests replace what ShellOpen does; an empty function restores the desktop's own.
void SetShellOpenHandler(std::function<void(const QString&)> handler);

}  // namespace platform
