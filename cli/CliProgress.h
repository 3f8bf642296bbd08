// How qor-convert writes the progress of its files: on a terminal one line redrawn (the running
// file with its percentage, frames per second and time left, or the running files with their
// percentages when several convert at once), otherwise one line when a file starts and one
// when it ends, or with --json one object per line naming the file.
#pragma once

#include <QString>
#include <cstdio>
#include <map>

#include "engine/kivoengine.h"

// How the progress is written.
enum class ProgressMode { Terminal, Plain, Json };

class ProgressOutput {
public:
    ProgressOutput(ProgressMode mode, FILE* out) : mode_(mode), out_(out) {}

    // File `position` of the run (its place in the list of files) starts converting.
    void Started(int position, const QString& file, const QString& target);
    // It has got as far as `progress` says.
    void Step(int position, const KivoProgress& progress);
    // It ended ("converted", "stopped" or "failed"), or a file that never started failed
    // (`position` -1).
    void Ended(int position, const QString& file, const QString& state, const QString& reason);
    // Whether a write failed (the reader of a pipe went away): nothing is written after it.
    bool Broken() const { return broken_; }

private:
    struct Running {
        QString file;
        int percent = -1;  // the last one written; -1: none yet
        QString line;      // the terminal line while it runs alone
    };

    void Redraw();
    void Line(const QString& text);
    // Flushes, and notes a failed write.
    void Flush();
    void Json(const QString& file, int percent, const QString& state, const QString& reason);

    ProgressMode mode_;
    FILE* out_;
    bool broken_ = false;
    std::map<int, Running> running_;  // by position, so in list order
};
