// How a job tells its outcome: the kind of end of each row (from the engine's end message),
// the short reason of a failed row, the mark a row shows until the next Run and the job's
// closing status line. No widgets: the job runner reads and writes them.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

enum class RowOutcome { Converted, Stopped, Failed };

// The outcome the engine gave as WM_CONVERTDONE's wparam; an unknown value counts as failed.
RowOutcome OutcomeFromMessage(uintptr_t wparam);

// The short reason of a failed conversion, such as "the source is damaged", taken from the
// engine's last status line ("Failed: clip.avi: The file is damaged (...)").
QString ShortFailureReason(const QString& lastStatusLine);

// The fifth line of a row after a job: empty for a converted row, "stopped: the first 00:22
// kept" (the length from the engine's last status line) or "failed: <short reason>".
QString RowMarkText(RowOutcome outcome, const QString& lastStatusLine);

struct FailedRow {
    QString fileName;  // the source's file name, without folder
    QString reason;    // short, as ShortFailureReason gives it
};

// The status line at the end of a job of `rows` rows: "Process Info :  Job Finished." or
// "Process Info :  Stoped by user." as they always were, followed, when rows failed, by how many
// and the first of them: "... 1 of 3 files failed: clip.avi (the source is damaged)".
QString JobClosingText(bool stopped, int rows, const std::vector<FailedRow>& failures);
