// The engine of qor-convert when the engine cannot create a conversion: the file must still
// end, as failed with a reason, or the run would wait for it forever.
#include <gtest/gtest.h>

#include "cli/CliEngine.h"
#include "converter/core/ArgumentVector.h"
#include "media/FakeEngine.h"

namespace {

TEST(CliEngine, AConversionThatCannotStartEndsFailedWithItsReason) {
    FakeEngine engine;  // has no conversions: every start gives none
    CliEngine cli;
    ArgumentVector first({"ffmpeg", "-i", "a.avi", "a.mp4"});
    ArgumentVector second({"ffmpeg", "-i", "b.avi", "b.mp4"});
    cli.Convert(1, first);
    cli.Convert(2, second);

    const auto taken = cli.Take(std::chrono::milliseconds(0), [] { return true; });
    ASSERT_EQ(taken.size(), 2u);
    for (JobCallId call : {1, 2}) {
        const EngineReport& ended = taken[call - 1];
        EXPECT_TRUE(ended.ended);
        EXPECT_EQ(ended.call, call);
        EXPECT_EQ(ended.end.outcome, KIVO_CONVERSION_FAILED);
        // The same words the window's row shows for it.
        EXPECT_EQ(RowMarkText(ended.end), "failed: the conversion failed");
    }
}

}  // namespace
