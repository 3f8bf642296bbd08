// A command-line run: each file probed and planned on the window's cores (the row, its target
// name, the job plan), then converted by the engine through the job queue, one after another or
// several at once, with the progress written as the output asks and a closing summary.
#pragma once

#include <QStringList>

// The whole program after the application object exists: reads `arguments` (without the
// program name) and does what they ask. Returns the exit status: 0 every file converted, 1 some
// failed, 2 a usage or profile error, 130 interrupted.
int RunCli(const QStringList& arguments);
