// The "auto" rule of qor-convert --jobs: cores, output size, files and memory in, the number of
// conversions at once out; and reading the memory available from /proc/meminfo's text.
#include <gtest/gtest.h>

#include "cli/JobCount.h"

namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;
constexpr std::uint64_t kMiB = 1024ull * 1024;

TEST(JobCount, AutoFollowsCoresOutputSizeFilesAndMemory) {
    const struct {
        int cores, width, height, files;
        std::uint64_t available;
        int expected;
    } cases[] = {
        // Small outputs: one conversion per core.
        {2, 176, 144, 8, 8 * kGiB, 2},
        {2, 320, 240, 8, 8 * kGiB, 2},
        {8, 320, 240, 8, 8 * kGiB, 8},
        {1, 176, 144, 8, 8 * kGiB, 1},
        // Larger outputs: fewer.
        {2, 640, 480, 8, 8 * kGiB, 1},
        {8, 640, 480, 8, 8 * kGiB, 5},
        {8, 1280, 720, 8, 8 * kGiB, 4},
        {3, 1280, 720, 8, 8 * kGiB, 1},
        // Never more than the files, never fewer than one.
        {8, 176, 144, 3, 8 * kGiB, 3},
        {8, 176, 144, 0, 8 * kGiB, 1},
        {0, 176, 144, 8, 8 * kGiB, 1},
        // Never more than half the available memory holds (about 138 MiB each at 176x144,
        // 256 MiB at 640x480).
        {8, 176, 144, 8, 600 * kMiB, 2},
        {8, 640, 480, 8, 1 * kGiB, 2},
        {8, 176, 144, 8, 100 * kMiB, 1},
        // Memory not known: the cores decide.
        {4, 176, 144, 8, 0, 4},
        // The cap.
        {64, 176, 144, 100, 64 * kGiB, kMaxAutoJobs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.cores << " cores, " << c.width << "x" << c.height << ", " << c.files
                     << " files, " << c.available / kMiB << " MiB");
        EXPECT_EQ(AutoJobCount({c.cores, c.width, c.height, c.files, c.available}), c.expected);
    }
}

TEST(JobCount, MemoryAvailableFromMeminfo) {
    const struct {
        const char* text;
        std::uint64_t expected;
    } cases[] = {
        {"MemTotal:       24683772 kB\nMemFree:         1000 kB\nMemAvailable:   23862944 kB\n",
         23862944ull * 1024},
        // Older kernels: free plus buffers plus page cache.
        {"MemTotal: 4000 kB\nMemFree: 1000 kB\nBuffers: 200 kB\nCached: 300 kB\n", 1500ull * 1024},
        {"", 0},
        {"MemAvailable: lots\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(AvailableMemoryFromMeminfo(c.text), c.expected);
    }
}

TEST(JobCount, ThisMachineHasAtLeastOneCore) {
    EXPECT_GE(UsableCores(), 1);
}

}  // namespace
