// A test that skips: the suite's skip detector must fail it (its CTest entry expects that).
#include <gtest/gtest.h>

TEST(SkipProbe, ASkipIsAFailure) {
    GTEST_SKIP() << "skipped on purpose";
}
