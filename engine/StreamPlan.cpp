#include "StreamPlan.h"

#include <algorithm>
#include <cstdio>

extern "C" {
#include <libavutil/rational.h>
}

namespace kivo {
namespace {

// "trim=end=12.500000," cutting the stream to the asked length; empty for the whole source.
std::string DurationFilter(const ConversionArguments& args, const char* name) {
    if (args.durationSeconds <= 0) {
        return std::string();
    }
    char text[64];
    std::snprintf(text, sizeof text, "%s=end=%.6f,", name, args.durationSeconds);
    return text;
}

std::string Format(const char* pattern, auto... values) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

void PickEncoder(VideoCodec codec, VideoPlan& plan) {
    switch (codec) {
        case VideoCodec::Mpeg4:
        case VideoCodec::Xvid:
            break;
        case VideoCodec::H263:
            plan.encoderName = "h263";
            plan.what = "H.263";
            break;
        case VideoCodec::H263Plus:
            plan.encoderName = "h263p";
            plan.what = "H.263+";
            break;
        case VideoCodec::H264:
            plan.encoderName = "libx264";
            plan.what = "H.264";
            break;
    }
}

void PickLevel(const ConversionArguments& args, const std::string& container, VideoPlan& plan) {
    if (args.videoCodec == VideoCodec::H264) {
        // Device-safe H.264: Baseline with one reference frame for phones and MP4 players;
        // the PSP takes Main with at most two (B-pictures are not kept as references, so the
        // two are all the decoder holds). The level is the lowest the stream respects, and
        // the rate control's buffer is the level's, so the stream keeps to what it signals.
        const bool psp = container == "psp";
        plan.h264Profile = psp ? "main" : "baseline";
        plan.noBPyramid = psp;
        VideoShape shape{plan.width,    plan.height,    plan.rate.num,
                         plan.rate.den, args.videoKbps, psp ? 2 : 1};
        plan.h264Level = LowestH264Level(shape);
        if (!plan.h264Level) {
            plan.refusal = "H.264 has no level for " + std::to_string(plan.width) + "x" +
                           std::to_string(plan.height) + " at this frame rate and bit rate";
            return;
        }
        plan.h264Refs = H264RefsThatFit(*plan.h264Level, plan.width, plan.height, shape.refs);
    } else if (args.videoCodec == VideoCodec::Mpeg4 || args.videoCodec == VideoCodec::Xvid) {
        // Simple Profile tools only (no B-pictures, no quarter pixels), at the lowest level
        // whose picture size and macroblock rate hold.
        plan.mpeg4 = true;
        plan.mpeg4Level = LowestMpeg4Level(plan.width, plan.height, plan.rate.num, plan.rate.den);
        plan.xvidTag = args.videoCodec == VideoCodec::Xvid;
    }
}

}  // namespace

std::string PictureChain(const ConversionArguments& args, const VideoPlan& plan,
                         const PictureFacts& picture, bool canToneMap, std::string& note) {
    note.clear();
    // Deinterlacing comes first, on whole pictures: bwdif adapts to motion (still parts keep
    // both fields' detail) and gives one picture per picture, so the rate stays the source's.
    // The frame rate is changed before scaling so that dropped frames cost nothing. The output
    // starts at 0 like the sound, even when the source's first picture comes a little later.
    // The length is cut before the frame rate (nothing past it is processed) and after it, as
    // the frame-rate filter stretches the last picture to its full duration.
    // The picture is scaled in its stored orientation and turned upright afterwards, on the
    // small picture: -s and the pads are the upright picture's.
    const bool sideways = picture.rotation == 90 || picture.rotation == 270;
    const int width = sideways ? plan.pictureHeight : plan.pictureWidth;
    const int height = sideways ? plan.pictureWidth : plan.pictureHeight;
    const std::string limit = DurationFilter(args, "trim");
    std::string chain = limit;
    if (picture.interlaced) {
        // A picture made narrower keeps its lines, and so its two fields, apart: the
        // deinterlacer then has a fraction of the pixels to look at (a 1080i picture into a
        // 320-wide frame: a sixth) for the same picture.
        if (picture.width > width) {
            chain += Format("scale=%d:ih:flags=bicubic,", width);
        }
        chain += "bwdif=mode=send_frame:parity=auto:deint=all,";
    }
    chain += Format("fps=%d/%d:start_time=0,", plan.rate.num, plan.rate.den) + limit;
    chain += ScaleIntoOutputColour(width, height, picture, plan.colour, canToneMap, note);
    if (picture.rotation == 90) {
        chain += ",transpose=clock";
    } else if (picture.rotation == 180) {
        chain += ",hflip,vflip";
    } else if (picture.rotation == 270) {
        chain += ",transpose=cclock";
    }
    chain += Format(",pad=%d:%d:%d:%d:black,setsar=1", plan.width, plan.height, args.padLeft,
                    args.padTop);
    return chain;
}

bool NeedsPictureAndSound(const std::string& container) {
    return container == "psp";
}

VideoPlan PlanVideo(const ConversionArguments& args, const SourceFacts& source) {
    VideoPlan plan;
    plan.generated = !source.hasVideo;
    plan.present = !plan.generated || NeedsPictureAndSound(source.container);
    if (!plan.present) {
        return plan;
    }
    // A source that does not say its picture size in advance gets the generated track's size.
    const int width = args.width > 0 ? args.width : source.width > 0 ? source.width : 320;
    const int height = args.height > 0 ? args.height : source.height > 0 ? source.height : 240;
    // 4:2:0 pictures need even sizes.
    plan.width = width & ~1;
    plan.height = height & ~1;
    plan.pictureWidth = std::max(2, plan.width - args.padLeft - args.padRight);
    plan.pictureHeight = std::max(2, plan.height - args.padTop - args.padBottom);
    if (args.videoCodec == VideoCodec::H263 && !IsLegalH263Size(plan.width, plan.height)) {
        plan.refusal = "H.263 cannot carry the frame size " + std::to_string(plan.width) + "x" +
                       std::to_string(plan.height) + ": use " + kH263Sizes;
        return plan;
    }
    const AVRational sourceRate = source.hasVideo
                                      ? AVRational{source.frameRate.num, source.frameRate.den}
                                      : AVRational{25, 1};
    if (sourceRate.num > 0) {
        plan.frameStep = Fraction{sourceRate.den, sourceRate.num};
    }
    AVRational rate{args.frameRateNum, args.frameRateDen};
    if (rate.num <= 0) {
        rate = sourceRate;
        if (rate.num <= 0 || av_q2d(rate) > 120) {
            rate = AVRational{25, 1};
        }
    }
    if (rate.den > 65535 || rate.num > 65535) {
        rate = av_d2q(av_q2d(rate), 65535);
    }
    plan.rate = Fraction{rate.num, rate.den};
    plan.bitRate = args.videoKbps > 0 ? (long long)args.videoKbps * 1000 : 0;
    PickEncoder(args.videoCodec, plan);
    PickLevel(args, source.container, plan);
    plan.colour = ColourForFrame(plan.height);
    if (plan.generated) {
        plan.chain = Format("color=c=black:s=%dx%d:r=%d/%d,format=yuv420p", plan.width, plan.height,
                            rate.num, rate.den);
        return plan;
    }
    // What the source declares; the conversion builds the chain again from its first picture.
    plan.chain = PictureChain(args, plan, source.picture, true, plan.note);
    return plan;
}

AudioPlan PlanAudio(const ConversionArguments& args, const SourceFacts& source,
                    const int* supportedRates) {
    AudioPlan plan;
    plan.generated = !source.hasAudio;
    plan.present = !plan.generated || NeedsPictureAndSound(source.container);
    plan.sourceChannels = source.hasAudio ? source.channels : 2;
    plan.channels = args.channels > 0 ? args.channels : std::min(plan.sourceChannels, 2);
    plan.requestedRate = args.sampleRate > 0 ? args.sampleRate
                         : source.hasAudio   ? source.sampleRate
                                             : 44100;
    plan.sampleRate = NearestSampleRate(plan.requestedRate, supportedRates);
    plan.bitRate = args.audioKbps > 0 ? (long long)args.audioKbps * 1000 : 0;
    plan.louder = args.volumePercent > 100;
    return plan;
}

std::string AudioChain(const ConversionArguments& args, const AudioPlan& plan,
                       const std::string& layout) {
    if (plan.generated) {
        return Format("anullsrc=r=%d:cl=%s,aformat=sample_fmts=fltp", plan.sampleRate,
                      layout.c_str());
    }
    // From a start (-ss), the sound that began before it is cut to the sample.
    std::string chain = args.startSeconds > 0 ? "atrim=start=0," : "";
    chain += DurationFilter(args, "atrim");
    chain += Format("aresample=%d,aformat=sample_fmts=%s:sample_rates=%d:channel_layouts=%s",
                    plan.sampleRate, plan.louder ? "s16" : "fltp", plan.sampleRate, layout.c_str());
    if (args.durationSeconds > 0) {
        // Resampling may add a little at the end: cut again, to the sample.
        chain += "," + DurationFilter(args, "atrim");
        chain.pop_back();
    }
    if (args.volumePercent != 100) {
        // Louder than the source is applied on 16-bit samples, which clip at full scale
        // instead of wrapping around.
        chain += Format(",volume=%.2f%s", args.volumePercent / 100.0,
                        plan.louder ? ":precision=fixed,aformat=sample_fmts=fltp" : "");
    }
    return chain;
}

}  // namespace kivo
