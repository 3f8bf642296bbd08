// The side-by-side engine of qor-convert when the engine cannot create a conversion: the file
// must still end, as failed with a reason, or the run would wait for it forever.
#include <gtest/gtest.h>

#include "cli/CliEngine.h"
#include "converter/ArgumentVector.h"
#include "platform/EngineApi.h"

namespace {

// An engine that has no side-by-side conversions: every start gives none.
class NoConversions : public EngineApi {
public:
    int Init() override { return 0; }
    int GetFileinfo(const char*, EngineFileInfo*) override { return 0; }
    int GetPicure(const char*, int, const char*, const char*) override { return 0; }
    int Stop() override { return 0; }
    int SetInfoCallback(KivoInfoCallback) override { return 0; }
    int SetPercentCallback(KivoPercentCallback) override { return 0; }
    int X(KivoWindow*, int, char**) override { return 0; }
};

TEST(CliEngine, AConversionThatCannotStartEndsFailedWithItsReason) {
    NoConversions engine;
    SetEngine(&engine);
    EngineReports reports;
    {
        CliEngine cli(2, reports);
        ArgumentVector first({"ffmpeg", "-i", "a.avi", "a.mp4"});
        ArgumentVector second({"ffmpeg", "-i", "b.avi", "b.mp4"});
        cli.Convert(1, first);
        cli.Convert(2, second);
    }
    SetEngine(nullptr);

    const auto taken = reports.Take(std::chrono::milliseconds(0), [] { return true; });
    ASSERT_EQ(taken.size(), 2u);
    for (JobCallId call : {1, 2}) {
        const EngineReport& ended = taken[call - 1];
        EXPECT_EQ(ended.kind, EngineReport::Ended);
        EXPECT_EQ(ended.call, call);
        EXPECT_EQ(ended.value, KIVO_CONVERSION_FAILED);
        EXPECT_EQ(ended.text, "the engine could not start the conversion");
    }
}

}  // namespace
