// What a conversion makes of each stream, worked out from its settings and from what the source
// declares before any codec or filter is opened: the output's sizes, rates, codec, profile and
// level, and the text of the filter chain that turns the source into it. Plain values and text
// (no libav object), so the rules can be checked without a clip.
#pragma once

#include <string>

#include "Arguments.h"
#include "Levels.h"
#include "PictureColour.h"

namespace kivo {

struct Fraction {
    int num = 0;
    int den = 1;
};

// What the source and the output container declare, as far as the plan depends on it.
struct SourceFacts {
    bool hasVideo = false;
    int width = 0;  // the picture as the decoder declares it; 0 when it says nothing
    int height = 0;
    Fraction frameRate;  // the declared rate; 0/1 when unknown
    bool hasAudio = false;
    int channels = 0;
    int sampleRate = 0;
    std::string container;  // the output muxer's name, such as "psp" or "mp4"
    PictureFacts picture;
};

struct VideoPlan {
    bool present = false;    // the output has a picture
    bool generated = false;  // a black picture, for a container that needs picture and sound
    int width = 0;           // the encoded frame, both sides even
    int height = 0;
    int pictureWidth = 0;  // the scaled picture inside the pads
    int pictureHeight = 0;
    Fraction frameStep{1, 25};  // one source picture's duration
    Fraction rate;              // the output's frame rate
    const char* encoderName = "mpeg4";
    const char* what = "MPEG-4";  // the codec's name in messages
    long long bitRate = 0;        // bits per second; 0: the encoder's default
    // H.264 only: the profile libx264 is asked for, the level picked and what it allows.
    const char* h264Profile = nullptr;
    bool noBPyramid = false;
    const H264Level* h264Level = nullptr;
    int h264Refs = 1;
    // MPEG-4 only: the Simple Profile level; Xvid gets its own tag.
    bool mpeg4 = false;
    Mpeg4Level mpeg4Level{};
    bool xvidTag = false;
    OutputColour colour;  // what the pictures are converted to and tagged with
    std::string chain;    // the filter chain from the source (or the black picture) to the encoder
    std::string note;     // what the chain could not do as it should (for the status line)
    std::string refusal;  // why the settings cannot be converted; empty when they can
};

struct AudioPlan {
    bool present = false;
    bool generated = false;  // silence, for a container that needs picture and sound
    int sourceChannels = 2;  // the decoder's count; 2 for silence
    int channels = 0;        // the output's
    int requestedRate = 0;   // the rate asked for, or the source's
    int sampleRate = 0;      // the AAC encoder's rate nearest to it
    long long bitRate = 0;   // bits per second; 0: the encoder's default
    bool louder = false;     // a volume above 100% is applied on 16-bit samples
};

// The PSP's container cannot hold a file with only one kind of stream.
bool NeedsPictureAndSound(const std::string& container);

// The picture's plan. `refusal` is set when H.263 cannot carry the frame size or H.264 has no
// level for it.
VideoPlan PlanVideo(const ConversionArguments& args, const SourceFacts& source);

// The picture's filter chain for source pictures described by `picture`, into `plan`'s sizes
// and colour; `note` is set when HDR pictures cannot be tone-mapped (`canToneMap` false: the
// filters it needs are missing), and the chain then converts them as they are.
std::string PictureChain(const ConversionArguments& args, const VideoPlan& plan,
                         const PictureFacts& picture, bool canToneMap, std::string& note);

// The sound's plan; `supportedRates` lists the encoder's rates and ends with 0 (null: any rate).
AudioPlan PlanAudio(const ConversionArguments& args, const SourceFacts& source,
                    const int* supportedRates);

// The sound's filter chain, given the output's channel layout as libav names it ("stereo").
std::string AudioChain(const ConversionArguments& args, const AudioPlan& plan,
                       const std::string& layout);

}  // namespace kivo
