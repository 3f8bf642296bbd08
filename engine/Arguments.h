// The conversion's argument vector, as the job runner writes it, checked and parsed into
// plain values. Everything that can be judged without opening a file is judged here.
#pragma once

#include <string>

namespace kivo {

enum class VideoCodec { Mpeg4, Xvid, H263, H263Plus, H264 };

struct ConversionArguments {
    bool overwrite = false;
    double durationSeconds = 0;  // 0: the whole source
    double startSeconds = 0;     // where in the source the output starts; 0: its beginning
    std::string input;
    int volumePercent = 100;  // 0..300
    bool bitexact = false;
    VideoCodec videoCodec = VideoCodec::Mpeg4;
    int padTop = 0;
    int padBottom = 0;
    int padLeft = 0;
    int padRight = 0;
    int width = 0;  // final frame size; 0: the source's
    int height = 0;
    int videoKbps = 0;     // 0: the encoder's default
    int frameRateNum = 0;  // 0: the source's rate
    int frameRateDen = 1;
    int channels = 0;    // 0: the source's count, at most 2
    int sampleRate = 0;  // as asked; 0: the source's rate
    int audioKbps = 0;   // 0: the encoder's default
    std::string format;  // muxer name; empty: from the output's extension
    std::string output;
};

// Parses `argv` (entry 0 is the program name, the last entry the output path). Returns false
// and sets `error` to a plain sentence when an option is unknown, a value is missing or not a
// number, or a value cannot be honoured (unknown codec, illegal H.263 size, pads that leave no
// picture).
bool ParseArguments(int argc, const char* const* argv, ConversionArguments& args,
                    std::string& error);

// Frame rate text to a fraction: "29.97" is 30000/1001, "25" is 25/1. False on bad text.
bool ParseFrameRate(const std::string& text, int& num, int& den);

// The supported rate nearest to `requested` from a list that ends with 0; `requested` itself
// when the list is null or empty.
int NearestSampleRate(int requested, const int* supported);

// The sizes H.263 can carry, for checks and messages.
bool IsLegalH263Size(int width, int height);
extern const char kH263Sizes[];

}  // namespace kivo
