// How a job tells its outcome: the kind of end of each row and the words for why, both from the
// engine's end record (its outcome, reason code and kept length), the mark a row shows until the
// next Run and the job's closing status line. The window and qor-convert take their words from
// here, so that the same failure reads the same in both. No widgets.
#pragma once

#include <QString>
#include <vector>

#include "engine/kivoengine.h"

enum class RowOutcome { Converted, Stopped, Failed };

// How one conversion ended: what the engine's end record says, copied on its thread.
struct ConversionEnd {
    int outcome = KIVO_CONVERSION_FAILED;  // _FINISHED, _STOPPED, _FAILED or _REFUSED
    int reason = KIVO_REASON_OTHER;        // a KivoReason
    double keptSeconds = 0;                // finished or stopped: the length of the output kept
    int systemError = 0;                   // the operating system's errno behind the reason, or 0
    QString keptPath;  // a target that appeared meanwhile: where the converted file was kept
};

ConversionEnd ConversionEndOf(const KivoEnd& end);

// A conversion the engine could not even create: it ends, failed, like every other.
ConversionEnd NotStartedEnd();

// The outcome of an end; a refused vector wrote nothing and counts as failed, as does any
// value the program does not know.
RowOutcome OutcomeOf(int outcome);

// The short words for a reason code, such as "the source is damaged".
QString ReasonWords(int reason);

// The words for why a conversion failed: its reason's words, with the operating system's own
// reason after them ("the disk is full: No space left on device") and, for a target that
// appeared meanwhile, where the converted file was kept.
QString FailureWords(const ConversionEnd& end);

// The fifth line of a row after a job: empty for a converted row, "stopped: the first 00:22
// kept" (or "stopped: nothing kept") or "failed: <reason words>".
QString RowMarkText(const ConversionEnd& end);

struct FailedRow {
    QString fileName;  // the source's file name, without folder
    QString reason;    // short, as ReasonWords gives it
};

// The status line at the end of a job of `rows` rows: "Process Info :  Job Finished." or
// "Process Info :  Stoped by user." as they always were, followed, when rows failed, by how many
// and the first of them: "... 1 of 3 files failed: clip.avi (the source is damaged)".
QString JobClosingText(bool stopped, int rows, const std::vector<FailedRow>& failures);
