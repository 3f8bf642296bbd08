#include <gtest/gtest.h>

#include "platform/ExceptionBox.h"
#include "platform/Handler.h"
#include "platform/core/Errors.h"
#include "support/FakeDialogs.h"

TEST(ExceptionBox, AppendsAFullStopOnlyAfterCharactersSortingAfterIt) {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"Unable to write to /tmp/KivoMp4.dll", "Unable to write to /tmp/KivoMp4.dll."},
        {"'' is not a valid integer value", "'' is not a valid integer value."},
        {"List index out of bounds (3)", "List index out of bounds (3)"},  // ')' sorts before '.'
        {"Component has no parent.", "Component has no parent."},
        {"ends in a slash/", "ends in a slash/."},  // '/' sorts just after '.'
        {"dash-", "dash-"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(platform::ExceptionText(c.message), QString(c.shown));
    }
}

TEST(ExceptionBox, GuardedHandlerShowsTheErrorAndSkipsTheRest) {
    FakeDialogs dialogs;
    bool after = false;
    auto handler = platform::Guarded([&](int value) {
        if (value < 0)
            throw EListError::OutOfBounds(value);
        after = true;
    });
    handler(-1);
    EXPECT_FALSE(after);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "List index out of bounds (-1)");
    EXPECT_EQ(dialogs.messages[0].icon, platform::BoxIcon::Error);
    // The title is the executable's name cut before its first ".".
    EXPECT_EQ(dialogs.messages[0].caption, "platform_tests");
    handler(1);
    EXPECT_TRUE(after);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}
