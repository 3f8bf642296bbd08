// The profile levels a video stream signals, which players read before anything else: the
// lowest H.264 level (ITU-T H.264 Table A-1) and the lowest MPEG-4 Part 2 Simple Profile level
// whose limits the stream respects, and the H.264 levels each device family's players take.
// Plain rules without libav, shared by the encoder set-up and the job runner's check.
#pragma once

#include <string>

namespace kivo {

// One row of Table A-1, with the bit rate and buffer limits of the Baseline and Main profiles
// (1000 bits per MaxBR unit).
struct H264Level {
    int idc;            // level_idc as libx264 takes it: 9 stands for level 1b
    const char* name;   // "1b", "1.3", "3.0" ...
    long long maxMbps;  // macroblocks per second
    int maxFs;          // macroblocks per picture
    int maxDpbMbs;      // macroblocks of the decoded picture buffer
    int maxKbps;        // MaxBR, kbit/s
    int maxCpbKbits;    // MaxCPB, kbit
};

// What the level of a video stream depends on.
struct VideoShape {
    int width = 0;  // pixels, as encoded
    int height = 0;
    int rateNum = 0;  // frames per second as a fraction
    int rateDen = 1;
    int kbps = 0;  // the asked bit rate; 0: left to the encoder (its buffer keeps it in the level)
    int refs = 1;  // reference pictures the encoder keeps
};

// The lowest level of Table A-1 whose limits `shape` respects: MaxFS with each side at most
// sqrt(8 x MaxFS) macroblocks, MaxMBPS at the frame rate, MaxBR for the bit rate and MaxDpbMbs
// for the reference pictures. Null when even the highest level is too small.
const H264Level* LowestH264Level(const VideoShape& shape);

// The level with that level_idc (9 for 1b), or null.
const H264Level* H264LevelByIdc(int idc);

// The reference pictures that fit in the level's picture buffer at this size, at most `wanted`
// and at least 1.
int H264RefsThatFit(const H264Level& level, int width, int height, int wanted);

// An MPEG-4 Part 2 profile_and_level_indication, split.
struct Mpeg4Level {
    int profile;  // 0: Simple Profile; 15: Advanced Simple Profile
    int level;    // 1, 2, 3, 4 (4a), 5, 6
    const char* name;
};

// The lowest Simple Profile level whose picture size and macroblock rate limits hold (L1 QCIF,
// L2/L3 CIF, L4a 640x480, L5 720x576, L6 1280x720). Beyond L6, where Simple Profile has no
// level, Advanced Simple Profile level 5 (the stream still uses Simple Profile tools only).
Mpeg4Level LowestMpeg4Level(int width, int height, int rateNum, int rateDen);

// The device families whose players cap the H.264 level.
enum class DeviceFamily { Phone3gp, Psp, Ipod, Pda, Mp4 };

// The highest H.264 level (level_idc) the family's players take at that frame size; 0 when the
// family sets no ceiling (PDA, MP4). 3GP phones: 1.3 up to 176x144, 2.0 above; the PSP: 3.0;
// the iPod: 1.3 up to 320x240, 3.0 above.
int FamilyH264Ceiling(DeviceFamily family, int width, int height);

// Empty when an H.264 stream of `shape` fits under the family's ceiling; otherwise a plain
// sentence that names the setting to change, such as "the iPod takes at most 768 kbps H.264
// at 320x240; lower the video quality". Frame size first, then frame rate, then bit rate.
std::string CeilingRefusal(DeviceFamily family, const VideoShape& shape);

}  // namespace kivo
