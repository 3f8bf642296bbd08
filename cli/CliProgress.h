// How qor-convert writes the progress of its files: on a terminal one line redrawn (the running
// file with its percentage, frames per second and time left, or the running files with their
// percentages when several convert at once), otherwise one line when a file starts and one
// when it ends, or with --json one object per line naming the file, its source path and the
// path of its output, so that namesakes from different folders are told apart.
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

    // File `position` of the run (its place in the list of files) starts converting: `source`
    // is the path it converts from, `target` the path of its output.
    void Started(int position, const QString& file, const QString& target,
                 const QString& source = QString());
    // It has got as far as `progress` says.
    void Step(int position, const KivoProgress& progress);
    // It ended ("converted", "stopped" or "failed"), or a file that never started failed
    // (`position` -1; `source` is then its path).
    void Ended(int position, const QString& file, const QString& state, const QString& reason,
               const QString& source = QString());
    // Whether a write failed (the reader of a pipe went away): nothing is written after it.
    bool Broken() const { return broken_; }

private:
    struct Running {
        QString file;
        QString source, target;
        int percent = -1;  // the last one written; -1: none yet
        QString line;      // the terminal line while it runs alone
    };

    void Redraw();
    void Line(const QString& text);
    // Flushes, and notes a failed write.
    void Flush();
    void Json(const Running& running, int percent, const QString& state, const QString& reason);

    ProgressMode mode_;
    FILE* out_;
    bool broken_ = false;
    std::map<int, Running> running_;  // by position, so in list order
};
