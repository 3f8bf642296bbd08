#include "Encoders.h"

#include "Log.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace kivo {
namespace {

const AVCodec* FindEncoder(const char* name, const char* what, std::string& error) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec) {
        error = std::string("The ") + what + " encoder is not available";
    }
    return codec;
}

CodecContextPtr Allocate(const AVCodec* codec, std::string& error) {
    CodecContextPtr encoder(avcodec_alloc_context3(codec));
    if (!encoder) {
        error = "Out of memory";
    } else {
        encoder->opaque = LogOwnerTag();  // its threads' lines are this conversion's
    }
    return encoder;
}

CodecContextPtr Open(CodecContextPtr encoder, AVDictionary** options, EncoderFlags flags,
                     const char* what, std::string& error) {
    if (flags.globalHeader) {
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (flags.bitexact) {
        encoder->flags |= AV_CODEC_FLAG_BITEXACT;
    }
    ClearLastError();
    int ret = avcodec_open2(encoder.get(), encoder->codec, options);
    av_dict_free(options);
    if (ret < 0) {
        error = WithLibavReason(std::string("The ") + what + " encoder refused its settings", ret);
        return nullptr;
    }
    return encoder;
}

}  // namespace

CodecContextPtr OpenVideoEncoder(const VideoPlan& plan, EncoderFlags flags, std::string& error) {
    const AVCodec* codec = FindEncoder(plan.encoderName, plan.what, error);
    CodecContextPtr encoder = codec ? Allocate(codec, error) : nullptr;
    if (!encoder) {
        return nullptr;
    }
    AVCodecContext* enc = encoder.get();
    enc->width = plan.width;
    enc->height = plan.height;
    enc->pix_fmt = AV_PIX_FMT_YUV420P;
    enc->sample_aspect_ratio = AVRational{1, 1};
    // The colour description the pictures were converted to: written into the stream where
    // the codec has a place for it (H.264's VUI) and into the container's colour box.
    enc->colorspace = AVColorSpace(plan.colour.space);
    enc->color_primaries = AVColorPrimaries(plan.colour.primaries);
    enc->color_trc = AVColorTransferCharacteristic(plan.colour.transfer);
    enc->color_range = AVColorRange(plan.colour.range);
    enc->time_base = AVRational{plan.rate.den, plan.rate.num};
    enc->framerate = AVRational{plan.rate.num, plan.rate.den};
    if (plan.bitRate > 0) {
        enc->bit_rate = plan.bitRate;
    }
    // Every core, with or without -bitexact. The MPEG-4 encoder's slices give the same bytes
    // for the same thread count, which depends only on the machine. libx264's threads do not
    // once its rate control keeps to a buffer (the level's, below): frame and slice threads
    // alike plan a picture's bits from how far the work beside it has got. A device that
    // reads the level needs that buffer kept, and a user needs the speed, so bit-exact H.264
    // keeps its threads and promises the same size, rate, length, level and bit rate target
    // rather than the same bytes.
    enc->thread_count = 0;
    AVDictionary* options = nullptr;
    if (plan.h264Level) {
        av_dict_set(&options, "profile", plan.h264Profile, 0);
        if (plan.noBPyramid) {
            av_dict_set(&options, "b-pyramid", "none", 0);
        }
        enc->level = plan.h264Level->idc;
        enc->refs = plan.h264Refs;
        enc->rc_max_rate = int64_t(plan.h264Level->maxKbps) * 1000;
        enc->rc_buffer_size = plan.h264Level->maxCpbKbits * 1000;
    } else if (plan.mpeg4) {
        enc->profile = plan.mpeg4Level.profile;
        enc->level = plan.mpeg4Level.level;
        enc->max_b_frames = 0;
        if (plan.xvidTag) {
            enc->codec_tag = MKTAG('X', 'V', 'I', 'D');
        }
    }
    return Open(std::move(encoder), &options, flags, plan.what, error);
}

const int* SoundEncoderRates(std::string& error) {
    static const int kAnyRate[] = {0};
    const AVCodec* codec = FindEncoder("aac", "AAC", error);
    if (!codec) {
        return nullptr;
    }
    return codec->supported_samplerates ? codec->supported_samplerates : kAnyRate;
}

CodecContextPtr OpenAudioEncoder(const AudioPlan& plan, EncoderFlags flags, std::string& error) {
    const AVCodec* codec = FindEncoder("aac", "AAC", error);
    CodecContextPtr encoder = codec ? Allocate(codec, error) : nullptr;
    if (!encoder) {
        return nullptr;
    }
    AVCodecContext* enc = encoder.get();
    av_channel_layout_default(&enc->ch_layout, plan.channels);
    enc->sample_rate = plan.sampleRate;
    enc->sample_fmt = AV_SAMPLE_FMT_FLTP;
    enc->time_base = AVRational{1, enc->sample_rate};
    enc->profile = FF_PROFILE_AAC_LOW;
    if (plan.bitRate > 0) {
        enc->bit_rate = plan.bitRate;
    }
    AVDictionary* options = nullptr;
    return Open(std::move(encoder), &options, flags, "AAC", error);
}

}  // namespace kivo
