#include <gtest/gtest.h>

#include "platform/core/Convert.h"
#include "platform/core/Errors.h"

TEST(Convert, ReadsSignedDecimalAndRefusesEverythingElse) {
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"512", true, 512},
        {"-1", true, -1},
        {"+7", true, 7},
        {"0", true, 0},
        {"$1F", true, 31},
        {"0x10", true, 16},
        {"", false, 0},
        {" 5", false, 0},
        {"5 ", false, 0},
        {"12a", false, 0},
        {"NoData", false, 0},
        {"2147483648", false, 0},
        {"-2147483648", true, -2147483647 - 1},
        {"-", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.ok) {
            EXPECT_EQ(StrToInt(c.text), c.value);
        } else {
            EXPECT_THROW(StrToInt(c.text), EConvertError);
            EXPECT_EQ(StrToIntDef(c.text, -99), -99);
        }
    }
}

TEST(Convert, ErrorTextsAreTheProgramsOwn) {
    try {
        StrToInt("");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'' is not a valid integer value");
    }
    EXPECT_EQ(EListError::OutOfBounds(4).Message(), "List index out of bounds (4)");
    EXPECT_EQ(EWriteError::UnableToWrite("/x/KivoMp4.dll").Message(),
              "Unable to write to /x/KivoMp4.dll");
    EXPECT_EQ(EComponentError::NoParent().Message(), "Component has no parent.");
}
