// The rules of a job's outcome: the end message's outcome, the short reasons, the row marks and
// the closing line.
#include <gtest/gtest.h>

#include "converter/JobOutcome.h"
#include "engine/kivoengine.h"

namespace {

TEST(JobOutcome, TheEndMessageSaysHowTheRowEnded) {
    EXPECT_EQ(OutcomeFromMessage(KIVO_CONVERSION_FINISHED), RowOutcome::Converted);
    EXPECT_EQ(OutcomeFromMessage(KIVO_CONVERSION_STOPPED), RowOutcome::Stopped);
    EXPECT_EQ(OutcomeFromMessage(KIVO_CONVERSION_FAILED), RowOutcome::Failed);
    EXPECT_EQ(OutcomeFromMessage(77), RowOutcome::Failed);  // nothing unknown passes as done
}

TEST(JobOutcome, ShortReasonsFromTheEnginesFailureLines) {
    const struct {
        const char* line;
        const char* reason;
    } cases[] = {
        {"Failed: clip.mp4: Cannot read the source: The file is damaged (moov atom not found)",
         "the source is damaged"},
        {"Failed: clip.avi: could not read the source", "the source could not be read"},
        {"Failed: words.avi: Cannot read the source: The file is not a media file this program "
         "can read",
         "not a media file this program can read"},
        {"Failed: gone.avi: The source file does not exist", "the source file is missing"},
        {"Failed: clip.avi: The output folder does not exist", "the output folder does not exist"},
        {"Failed: clip.avi: Cannot write in the output folder (Permission denied)",
         "the output folder cannot be written: Permission denied"},
        {"Failed: clip.avi: Cannot use the output folder (Not a directory)",
         "the output cannot be written: Not a directory"},
        {"Failed: clip.avi: Cannot give the output its name (File name too long)",
         "the output cannot be written: File name too long"},
        {"Failed: clip.avi: Cannot read the source: Cannot open the file (Permission denied)",
         "the source cannot be read: Permission denied"},
        {"Failed: clip.MP4: The output file is the source itself",
         "the target is the source itself"},
        {"Failed: clip.avi: Cannot write the output file (No space left on device)",
         "the output could not be written: No space left on device"},
        {"Failed: pipe.avi: The source is not a regular file (a folder, a pipe or a device): only "
         "files convert",
         "not a regular file but a folder, a pipe or a device"},
        {"Failed: clip.avi: The output file appeared while converting and was left as it was; the "
         "converted file is kept as /out/clip (2).MP4",
         "the target appeared meanwhile; kept as clip (2).MP4"},
        {"Failed: clip.avi: the length to convert is too short to hold a picture or a sound",
         "the length to convert is too short"},
        {"Failed: clip.avi: The H.263+ encoder refused its settings (width and height must be a "
         "multiple of 4)",
         "the settings were refused"},
        {"Failed: Unknown video codec \"divx\"", "unknown video codec \"divx\""},
        {"Failed: clip.avi: Something new went wrong (code 5)", "something new went wrong"},
        {"Failed: clip.avi: A reason far longer than any row can show, going on and on and on "
         "about it",
         "a reason far longer than any row can show, going on and..."},
        {"", "the conversion failed"},
        {"Converting clip.avi  42%", "converting clip.avi  42%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ShortFailureReason(c.line).toStdString(), c.reason);
    }
}

TEST(JobOutcome, RowMarks) {
    const struct {
        RowOutcome outcome;
        const char* line;
        const char* mark;
    } cases[] = {
        {RowOutcome::Converted, "Finished clip.avi", ""},
        {RowOutcome::Converted, "", ""},
        {RowOutcome::Stopped, "Stopped by user: clip.avi, the first 00:00:22 are kept",
         "stopped: the first 00:22 kept"},
        {RowOutcome::Stopped, "Stopped by user: clip.avi, the first 01:02:03 are kept",
         "stopped: the first 1:02:03 kept"},
        {RowOutcome::Stopped, "Stopped by user: clip.avi", "stopped: nothing kept"},
        {RowOutcome::Failed, "Failed: clip.avi: could not read the source",
         "failed: the source could not be read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(RowMarkText(c.outcome, c.line).toStdString(), c.mark);
    }
}

TEST(JobOutcome, ClosingLines) {
    const FailedRow clip{"clip.avi", "the source is damaged"};
    const FailedRow other{"other.mp4", "the source could not be read"};
    const struct {
        bool stopped;
        int rows;
        std::vector<FailedRow> failures;
        const char* text;
    } cases[] = {
        {false, 3, {}, "Process Info :  Job Finished."},
        {true, 3, {}, "Process Info :  Stoped by user."},
        {false,
         3,
         {clip},
         "Process Info :  Job Finished. 1 of 3 files failed: clip.avi (the source is damaged)"},
        {false,
         1,
         {clip},
         "Process Info :  Job Finished. 1 of 1 file failed: clip.avi (the source is damaged)"},
        {false,
         5,
         {clip, other},
         "Process Info :  Job Finished. 2 of 5 files failed, the first: clip.avi (the source is "
         "damaged)"},
        {true,
         3,
         {clip},
         "Process Info :  Stoped by user. 1 of 3 files failed: clip.avi (the source is damaged)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(JobClosingText(c.stopped, c.rows, c.failures).toStdString(), c.text);
    }
}

}  // namespace
