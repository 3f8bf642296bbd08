// The one reading of a frame size text for the engine, the still and the job runner.
#include <gtest/gtest.h>

#include <string>

#include "FrameSize.h"

namespace kivo {
namespace {

TEST(FrameSize, SplitsAtTheFirstXIntoTwoDecimals) {
    const struct {
        const char* text;
        bool read;
        int width, height;      // when read
        const char* offending;  // when not
        bool usable;            // within the engine's sides
    } cases[] = {
        {"320x240", true, 320, 240, "", true},
        {"176X144", true, 176, 144, "", true},
        {"4097x240", true, 4097, 240, "", false},
        {"0x240", true, 0, 240, "", false},
        {"-320x240", true, -320, 240, "", false},
        {"320", false, 0, 0, "320", false},
        {"320x", false, 0, 0, "", false},
        {"320x240x2", false, 0, 0, "240x2", false},
        {" 320x240", false, 0, 0, " 320", false},
        {"$140x240", false, 0, 0, "$140", false},
        {"2147483648x1", false, 0, 0, "2147483648", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int width = -1;
        int height = -1;
        std::string_view offending = "unset";
        EXPECT_EQ(ReadFrameSize(c.text, width, height, &offending), c.read);
        if (c.read) {
            EXPECT_EQ(width, c.width);
            EXPECT_EQ(height, c.height);
        } else {
            EXPECT_EQ(std::string(offending), c.offending);
            EXPECT_EQ(width, -1);  // untouched
        }
        width = height = -1;
        EXPECT_EQ(ParseFrameSize(c.text, width, height), c.usable);
        EXPECT_EQ(width, c.usable ? c.width : -1);
    }
}

}  // namespace
}  // namespace kivo
