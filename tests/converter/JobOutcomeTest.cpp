// The rules of a job's outcome: the end record's outcome, the words for each reason code, the
// row marks and the closing line.
#include <gtest/gtest.h>

#include <cerrno>
#include <iterator>
#include <set>
#include <string>

#include "converter/core/JobOutcome.h"
#include "engine/kivoengine.h"

namespace {

TEST(JobOutcome, TheEndRecordSaysHowTheRowEnded) {
    EXPECT_EQ(OutcomeOf(KIVO_CONVERSION_FINISHED), RowOutcome::Converted);
    EXPECT_EQ(OutcomeOf(KIVO_CONVERSION_STOPPED), RowOutcome::Stopped);
    EXPECT_EQ(OutcomeOf(KIVO_CONVERSION_FAILED), RowOutcome::Failed);
    EXPECT_EQ(OutcomeOf(KIVO_CONVERSION_REFUSED), RowOutcome::Failed);  // nothing was written
    EXPECT_EQ(OutcomeOf(KIVO_CONVERSION_RUNNING), RowOutcome::Failed);
    EXPECT_EQ(OutcomeOf(77), RowOutcome::Failed);  // nothing unknown passes as done
}

// Every reason code has words of its own: two failures that differ never read the same.
TEST(JobOutcome, EveryReasonCodeHasItsWords) {
    const struct {
        KivoReason reason;
        const char* words;
    } cases[] = {
        {KIVO_REASON_NONE, "converted"},
        {KIVO_REASON_STOPPED, "stopped by the user"},
        {KIVO_REASON_SETTINGS_REFUSED, "the settings were refused"},
        {KIVO_REASON_SOURCE_MISSING, "the source file is missing"},
        {KIVO_REASON_SOURCE_NOT_A_FILE, "the source is not a file"},
        {KIVO_REASON_SOURCE_UNREADABLE, "the source could not be read"},
        {KIVO_REASON_SOURCE_DAMAGED, "the source is damaged"},
        {KIVO_REASON_NOTHING_DECODABLE, "nothing in it can be decoded"},
        {KIVO_REASON_START_BEYOND_END, "the start lies beyond the end of the source"},
        {KIVO_REASON_OUTPUT_FOLDER_MISSING, "the output folder does not exist"},
        {KIVO_REASON_OUTPUT_NOT_WRITABLE, "the output folder cannot be written"},
        {KIVO_REASON_OUTPUT_EXISTS, "the output file already exists"},
        {KIVO_REASON_DISK_FULL, "the disk is full"},
        {KIVO_REASON_OUTPUT_IS_SOURCE, "the target is the source itself"},
        {KIVO_REASON_ENCODING_FAILED, "the output could not be written"},
        {KIVO_REASON_OTHER, "the conversion failed"},
        {KIVO_REASON_RANGE_TOO_SHORT, "the length to convert is too short"},
    };
    ASSERT_EQ(std::size(cases), size_t(KIVO_REASON_RANGE_TOO_SHORT) + 1)
        << "a reason code has no words";
    std::set<std::string> seen;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words);
        EXPECT_EQ(ReasonWords(c.reason).toStdString(), c.words);
        EXPECT_TRUE(seen.insert(c.words).second);
    }
    // A code from a newer engine reads as a plain failure.
    EXPECT_EQ(ReasonWords(99).toStdString(), "the conversion failed");
}

// The operating system's reason stays with the words, and a target that appeared meanwhile
// names the file the conversion was kept as.
TEST(JobOutcome, FailureWordsKeepTheSystemsReasonAndTheKeptName) {
    const struct {
        int reason;
        int systemError;
        const char* keptPath;
        const char* words;
    } cases[] = {
        {KIVO_REASON_DISK_FULL, ENOSPC, "", "the disk is full: No space left on device"},
        {KIVO_REASON_OUTPUT_NOT_WRITABLE, ENAMETOOLONG, "",
         "the output folder cannot be written: File name too long"},
        {KIVO_REASON_SOURCE_UNREADABLE, EACCES, "",
         "the source could not be read: Permission denied"},
        {KIVO_REASON_SOURCE_DAMAGED, 0, "", "the source is damaged"},
        {KIVO_REASON_OUTPUT_EXISTS, 0, "/out/clip (2).MP4",
         "the target appeared meanwhile; kept as clip (2).MP4"},
        {KIVO_REASON_OUTPUT_EXISTS, 0, "", "the output file already exists"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words);
        const ConversionEnd end{KIVO_CONVERSION_FAILED, c.reason, 0, c.systemError, c.keptPath};
        EXPECT_EQ(FailureWords(end).toStdString(), c.words);
        EXPECT_EQ(RowMarkText(end).toStdString(), std::string("failed: ") + c.words);
    }
}

// Failed rows' marks are checked with their words above.
TEST(JobOutcome, RowMarks) {
    const struct {
        ConversionEnd end;
        const char* mark;
    } cases[] = {
        {{KIVO_CONVERSION_FINISHED, KIVO_REASON_NONE, 80}, ""},
        {{KIVO_CONVERSION_STOPPED, KIVO_REASON_STOPPED, 22.9}, "stopped: the first 00:22 kept"},
        {{KIVO_CONVERSION_STOPPED, KIVO_REASON_STOPPED, 3723}, "stopped: the first 1:02:03 kept"},
        {{KIVO_CONVERSION_STOPPED, KIVO_REASON_STOPPED, 0.4}, "stopped: nothing kept"},
        {{KIVO_CONVERSION_REFUSED, KIVO_REASON_SETTINGS_REFUSED, 0},
         "failed: the settings were refused"},
        {NotStartedEnd(), "failed: the conversion failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mark);
        EXPECT_EQ(RowMarkText(c.end).toStdString(), c.mark);
    }
}

TEST(JobOutcome, ClosingLines) {
    const std::string finished = "Process Info :  Job Finished.",
                      stopped = "Process Info :  Stoped by user.",
                      damaged = "clip.avi (the source is damaged)";
    const FailedRow clip{"clip.avi", "the source is damaged"};
    const FailedRow other{"other.mp4", "the source could not be read"};
    const struct {
        bool stopped;
        int rows;
        std::vector<FailedRow> failures;
        std::string text;
    } cases[] = {
        {false, 3, {}, finished},
        {true, 3, {}, stopped},
        {false, 3, {clip}, finished + " 1 of 3 files failed: " + damaged},
        {false, 1, {clip}, finished + " 1 of 1 file failed: " + damaged},
        {false, 5, {clip, other}, finished + " 2 of 5 files failed, the first: " + damaged},
        {true, 3, {clip}, stopped + " 1 of 3 files failed: " + damaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(JobClosingText(c.stopped, c.rows, c.failures).toStdString(), c.text);
    }
}

}  // namespace
