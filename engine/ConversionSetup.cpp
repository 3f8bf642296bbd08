#include "ConversionSetup.h"

#include "Encoders.h"
#include "FilterGraph.h"
#include "MediaInput.h"
#include "OutputFile.h"
#include "Probe.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavutil/channel_layout.h>
#include <libavutil/pixdesc.h>
}

namespace kivo {

const char kStartBeyondEnd[] = "the start lies beyond the end of the source";

namespace {

int Interrupted(void* opaque) {
    return static_cast<const std::atomic<bool>*>(opaque)->load() ? 1 : 0;
}

// Moves the reading of `input` to the key frame before `seconds` into the source and `start`
// (the source's first time, in microseconds) on to that moment, which becomes the output's 0.
bool SeekToStart(double seconds, AVFormatContext* input, int64_t& start, FirstFailure& failure) {
    const int64_t offset = int64_t(seconds * AV_TIME_BASE + 0.5);
    if (input->duration != AV_NOPTS_VALUE && offset >= input->duration) {
        return failure.Fail(KIVO_REASON_START_BEYOND_END, kStartBeyondEnd);
    }
    start += offset;
    // A source that cannot seek is read from its beginning: what lies before is dropped anyway.
    avformat_seek_file(input, -1, INT64_MIN, start, start, 0);
    return true;
}

bool OpenInput(const ConversionArguments& args, const std::atomic<bool>& stop,
               ConversionStreams& streams, FirstFailure& failure) {
    AVIOInterruptCB interrupt{&Interrupted, const_cast<std::atomic<bool>*>(&stop)};
    std::string error;
    int reason = KIVO_REASON_NONE;
    int systemError = 0;
    InputPtr& input = streams.input;
    input = OpenMediaFile(args.input, &interrupt, error, &reason, &systemError);
    if (!input) {
        switch (reason) {
            case KIVO_REASON_SOURCE_MISSING:
                return failure.Fail(reason, "The source file does not exist", systemError);
            case KIVO_REASON_SOURCE_NOT_A_FILE:
                return failure.Fail(reason,
                                    "The source is not a regular file (a folder, a pipe or a "
                                    "device): only files convert",
                                    systemError);
            case KIVO_REASON_SOURCE_UNREADABLE:
                return failure.Fail(reason, "Cannot read the source: " + error, systemError);
            default:
                return failure.Fail(KIVO_REASON_SOURCE_DAMAGED, "Cannot read the source: " + error,
                                    systemError);
        }
    }
    // A picture whose format the source does not declare is set up from its first frame.
    streams.video.inputIndex = FindVideoStream(input.get(), true);
    streams.audio.inputIndex = FindAudioStream(input.get());
    if (streams.video.inputIndex < 0 && streams.audio.inputIndex < 0) {
        return failure.Fail(KIVO_REASON_NOTHING_DECODABLE,
                            "The source holds no video or audio this program can decode");
    }
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        bool used = int(i) == streams.video.inputIndex || int(i) == streams.audio.inputIndex;
        input->streams[i]->discard = used ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    int64_t start = input->start_time == AV_NOPTS_VALUE ? 0 : input->start_time;
    if (args.startSeconds > 0 && !SeekToStart(args.startSeconds, input.get(), start, failure)) {
        return false;
    }
    for (StreamPipe* pipe : {&streams.video, &streams.audio}) {
        if (pipe->inputIndex < 0) {
            continue;
        }
        const AVStream* st = input->streams[pipe->inputIndex];
        pipe->decoder = OpenDecoder(st, error);
        if (!pipe->decoder) {
            return failure.Fail(KIVO_REASON_NOTHING_DECODABLE,
                                "Cannot decode the source: " + error);
        }
        pipe->startOffset = av_rescale_q(start, AV_TIME_BASE_Q, st->time_base);
        pipe->cutBeforeStart = args.startSeconds > 0;
    }
    return true;
}

PictureFacts DeclaredPicture(const AVStream* st) {
    const AVCodecParameters* par = st->codecpar;
    PictureFacts picture;
    picture.rotation = UprightRotation(st);
    picture.interlaced = InterlacedFieldOrder(par->field_order);
    picture.colourSpace = par->color_space;
    picture.colourRange = par->color_range;
    picture.colourTransfer = par->color_trc;
    picture.colourPrimaries = par->color_primaries;
    picture.height = par->height;
    picture.width = par->width;
    return picture;
}

// Where the first decoded picture says more than the source declared, the picture counts.
PictureFacts DecodedPicture(PictureFacts picture, const AVFrame& frame) {
    picture.interlaced = picture.interlaced || frame.interlaced_frame;
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(frame.format));
    if (format && (format->flags & AV_PIX_FMT_FLAG_RGB)) {
        picture.colourSpace = AVCOL_SPC_RGB;  // no matrix to convert from
    } else if (frame.colorspace != AVCOL_SPC_UNSPECIFIED) {
        picture.colourSpace = frame.colorspace;
    }
    if (frame.color_range != AVCOL_RANGE_UNSPECIFIED) {
        picture.colourRange = frame.color_range;
    }
    // The JPEG pixel formats are full range whatever the frame says.
    if (frame.format == AV_PIX_FMT_YUVJ420P || frame.format == AV_PIX_FMT_YUVJ422P ||
        frame.format == AV_PIX_FMT_YUVJ444P || frame.format == AV_PIX_FMT_YUVJ440P) {
        picture.colourRange = AVCOL_RANGE_JPEG;
    }
    if (frame.color_trc != AVCOL_TRC_UNSPECIFIED) {
        picture.colourTransfer = frame.color_trc;
    }
    if (frame.color_primaries != AVCOL_PRI_UNSPECIFIED) {
        picture.colourPrimaries = frame.color_primaries;
    }
    picture.height = frame.height;
    picture.width = frame.width;
    return picture;
}

// Whether HDR pictures can be tone-mapped: the filters come with libzimg in libavfilter.
bool CanToneMap() {
    return avfilter_get_by_name("zscale") && avfilter_get_by_name("tonemap");
}

SourceFacts Facts(const ConversionStreams& streams) {
    SourceFacts facts;
    facts.container = streams.muxer.ContainerName();
    if (const AVCodecContext* dec = streams.video.decoder.get()) {
        facts.hasVideo = true;
        facts.width = dec->width;
        facts.height = dec->height;
        const AVStream* st = streams.input->streams[streams.video.inputIndex];
        AVRational rate = StreamFrameRate(st);
        facts.frameRate = Fraction{rate.num, rate.den};
        facts.picture = DeclaredPicture(st);
    }
    if (const AVCodecContext* dec = streams.audio.decoder.get()) {
        facts.hasAudio = true;
        facts.channels = dec->ch_layout.nb_channels;
        facts.sampleRate = dec->sample_rate;
    }
    return facts;
}

// Gives the opened encoder of `pipe` its output stream; `error` says why it did not open.
bool AddOutputStream(ConversionStreams& streams, StreamPipe& pipe, const std::string& error,
                     FirstFailure& failure) {
    if (!pipe.encoder) {
        return failure.Fail(KIVO_REASON_ENCODING_FAILED, error);
    }
    pipe.muxed = streams.muxer.AddStream(pipe.encoder.get());
    return pipe.muxed != nullptr;
}

bool BuildGraph(StreamPipe& pipe, const char* sourceName, const std::string& sourceArgs,
                const char* sinkName, const std::string& chain, FirstFailure& failure) {
    // The picture's scaling, deinterlacing and turning work in slices on every core: on the
    // converting thread alone they held up the decoder's and encoder's threads. No sound
    // filter works in slices, so the sound's graph starts no threads.
    const int threads = pipe.sound ? 1 : 0;
    std::string error;
    return BuildFilterGraph(pipe.filters, sourceName, sourceArgs, sinkName, chain, threads,
                            error) ||
           failure.Fail(KIVO_REASON_ENCODING_FAILED, error);
}

bool SetUpVideo(const ConversionArguments& args, ConversionStreams& streams,
                FirstFailure& failure) {
    StreamPipe& video = streams.video;
    const SourceFacts facts = Facts(streams);
    streams.videoPlan = PlanVideo(args, facts);
    streams.declared = facts.picture;
    const VideoPlan& plan = streams.videoPlan;
    video.generated = plan.generated;
    if (!plan.present) {
        return true;
    }
    if (!plan.refusal.empty()) {
        return failure.Fail(KIVO_REASON_SETTINGS_REFUSED, plan.refusal);
    }
    video.frameStep = AVRational{plan.frameStep.num, plan.frameStep.den};
    std::string error;
    EncoderFlags flags{args.bitexact, streams.muxer.WantsGlobalHeader()};
    video.encoder = OpenVideoEncoder(plan, flags, error);
    if (!AddOutputStream(streams, video, error, failure)) {
        return false;
    }
    if (video.generated) {
        return BuildGraph(video, nullptr, "", "buffersink", plan.chain, failure);
    }
    return true;  // the processing is set up from the first decoded picture
}

bool SetUpAudio(const ConversionArguments& args, ConversionStreams& streams,
                FirstFailure& failure) {
    StreamPipe& audio = streams.audio;
    const SourceFacts facts = Facts(streams);
    audio.generated = !facts.hasAudio;
    if (audio.generated && !NeedsPictureAndSound(facts.container)) {
        return true;
    }
    std::string error;
    const int* rates = SoundEncoderRates(error);
    if (!rates) {
        return failure.Fail(KIVO_REASON_ENCODING_FAILED, error);
    }
    const AudioPlan plan = PlanAudio(args, facts, rates);
    EncoderFlags flags{args.bitexact, streams.muxer.WantsGlobalHeader()};
    audio.encoder = OpenAudioEncoder(plan, flags, error);
    if (!AddOutputStream(streams, audio, error, failure)) {
        return false;
    }
    const AVCodecContext* enc = audio.encoder.get();
    const std::string chain = AudioChain(args, plan, LayoutName(enc->ch_layout));
    bool built = false;
    if (audio.generated) {
        built = BuildGraph(audio, nullptr, "", "abuffersink", chain, failure);
    } else {
        const AVCodecContext* dec = audio.decoder.get();
        AVChannelLayout inLayout{};
        if (dec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_default(&inLayout, plan.sourceChannels);
        } else {
            av_channel_layout_copy(&inLayout, &dec->ch_layout);
        }
        const std::string sourceArgs = SoundSourceArgs(dec->sample_rate, dec->sample_fmt, inLayout);
        av_channel_layout_uninit(&inLayout);
        built = BuildGraph(audio, "abuffer", sourceArgs, "abuffersink", chain, failure);
    }
    if (built && (audio.generated || enc->frame_size > 0)) {
        av_buffersink_set_frame_size(audio.filters.sink, unsigned(enc->frame_size));
    }
    return built;
}

// The source's tags go with every output; its cover only where the output has no picture of
// its own (sound alone).
bool AddTagsAndCover(ConversionStreams& streams) {
    streams.muxer.CopyTags(streams.input.get());
    return streams.video.encoder || streams.muxer.AddCover(streams.input.get());
}

}  // namespace

bool BuildVideoGraph(ConversionStreams& streams, const AVFrame& first, FirstFailure& failure) {
    const AVStream* st = streams.input->streams[streams.video.inputIndex];
    const PictureFacts picture = DecodedPicture(streams.declared, first);
    const std::string chain =
        PictureChain(streams.args, streams.videoPlan, picture, CanToneMap(), streams.note);
    return BuildGraph(streams.video, "buffer",
                      PictureSourceArgs(first.width, first.height, first.format, st->time_base,
                                        first.sample_aspect_ratio),
                      "buffersink", chain, failure);
}

bool SetUpConversion(const ConversionArguments& args, const std::atomic<bool>& stop,
                     ConversionStreams& streams, FirstFailure& failure) {
    StreamPipe& video = streams.video;
    streams.args = args;
    return OpenInput(args, stop, streams, failure) && streams.muxer.Open(args) &&
           SetUpVideo(args, streams, failure) && SetUpAudio(args, streams, failure) &&
           AddTagsAndCover(streams) &&
           (!video.muxed ||
            streams.muxer.StripVersionNote(*video.muxed, video.encoder.get(), args.bitexact)) &&
           streams.muxer.Start();
}

}  // namespace kivo
