// How many files qor-convert converts at once when --jobs is "auto": from the cores the process
// may use, the size of the output picture and the memory the system has available. A phone or
// player size leaves most of a machine idle (one conversion keeps about 1.2 cores busy: one
// stream decoded, a small picture encoded), so small outputs get one conversion per core and
// larger ones, whose encoders use more threads, fewer.
#pragma once

#include <cstdint>
#include <string>

// The most conversions --jobs takes, and the most "auto" picks (beyond that the disk and the
// memory bandwidth, not the cores, decide).
constexpr int kMaxJobs = 64;
constexpr int kMaxAutoJobs = 16;

struct JobCountInputs {
    int cores = 1;        // the cores the process may use
    int outputWidth = 0;  // the output picture
    int outputHeight = 0;
    int files = 1;                     // the files to convert
    std::uint64_t availableBytes = 0;  // the memory available; 0: not known
};

// The "auto" rule: one conversion per core for outputs up to 320x240, one per one and a half
// cores up to 640x480 and one per two cores above; never more than the files, never more than
// half the available memory holds at the peak of one conversion each; at least 1, at most
// kMaxAutoJobs.
int AutoJobCount(const JobCountInputs& inputs);

// The memory available as /proc/meminfo's text says it: MemAvailable, or on kernels without it
// MemFree + Buffers + Cached; 0 when the text says neither.
std::uint64_t AvailableMemoryFromMeminfo(const std::string& meminfo);

// This machine: the cores the process may run on (its affinity mask), and the memory available
// (0 when it cannot be read).
int UsableCores();
std::uint64_t AvailableMemory();
