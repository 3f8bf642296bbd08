#include "cli/JobCount.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kSmallPicture = 320 * 240;
constexpr std::uint64_t kMediumPicture = 640 * 480;

// What one conversion needs at its peak, with a wide margin: 128 MiB plus 128 MiB per 640x480 of
// output picture. Measured: qor-convert converting a 640x480 MPEG-4 source to 320x240 peaks at
// about 64 MiB for the whole process, about 10 MiB more for each further conversion at once; a
// 1920x1080 H.264 source to 320x240 adds about 55 MiB, to 640x480 H.264 about 110 MiB.
std::uint64_t ConversionMemoryEstimate(std::uint64_t pixels) {
    return 128 * kMiB + 128 * kMiB * pixels / kMediumPicture;
}

}  // namespace

int AutoJobCount(const JobCountInputs& inputs) {
    const int cores = std::max(inputs.cores, 1);
    const std::uint64_t pixels = std::uint64_t(std::max(inputs.outputWidth, 0)) *
                                 std::uint64_t(std::max(inputs.outputHeight, 0));
    // Cores per conversion, in halves: 2 (one), 3 (one and a half), 4 (two).
    const int halvesEach = pixels <= kSmallPicture ? 2 : pixels <= kMediumPicture ? 3 : 4;
    int count = std::min(cores * 2 / halvesEach, std::max(inputs.files, 1));
    if (inputs.availableBytes > 0) {
        const std::uint64_t fit = inputs.availableBytes / 2 / ConversionMemoryEstimate(pixels);
        count = int(std::min<std::uint64_t>(std::uint64_t(std::max(count, 0)), fit));
    }
    return std::clamp(count, 1, kMaxAutoJobs);
}

std::uint64_t AvailableMemoryFromMeminfo(const std::string& meminfo) {
    std::istringstream lines(meminfo);
    std::string line;
    std::uint64_t available = 0;
    std::uint64_t freeAndCache = 0;
    bool hasAvailable = false;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t kib = 0;
        if (!(fields >> name >> kib))
            continue;
        if (name == "MemAvailable:") {
            available = kib * 1024;
            hasAvailable = true;
        } else if (name == "MemFree:" || name == "Buffers:" || name == "Cached:") {
            freeAndCache += kib * 1024;
        }
    }
    return hasAvailable ? available : freeAndCache;
}

int UsableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return std::max(int(std::thread::hardware_concurrency()), 1);
}

std::uint64_t AvailableMemory() {
    std::ifstream file("/proc/meminfo");
    std::stringstream text;
    text << file.rdbuf();
    if (const std::uint64_t available = AvailableMemoryFromMeminfo(text.str()); available > 0)
        return available;
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? std::uint64_t(pages) * std::uint64_t(pageSize) : 0;
}
