// Waiting in tests for what the event loop brings: the condition is polled with a deadline, so a
// loaded machine only makes the wait longer, never the test wrong.
#pragma once

#include <functional>

// Runs the event loop until `done` holds or `ms` milliseconds passed; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, int ms = 10000);
