#include "Transcoder.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "LibavPtr.h"
#include "Log.h"
#include "MediaInput.h"
#include "OutputFile.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace kivo {
namespace {

constexpr int kBitexactThreads = 4;
constexpr auto kStopDrainTime = std::chrono::milliseconds(150);

// One source stream on its way to the output: decoder, filter graph and encoder.
struct StreamPipe {
    int inputIndex = -1;
    CodecContextPtr decoder;
    FilterGraphPtr graph;
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    CodecContextPtr encoder;
    BitstreamFilterPtr bitstreamFilter;  // strips the encoder's version note when bit-exact
    AVStream* output = nullptr;
    std::atomic<bool> filterDone{false};  // the filter graph has given its last frame
    int64_t startOffset = 0;              // the source's start time, in the stream's time base
    int64_t nextAudioPts = AV_NOPTS_VALUE;
    int64_t nextVideoPts = AV_NOPTS_VALUE;
    // A generated track (black picture or silence) for a container that needs both kinds.
    bool generated = false;
    double generatedSeconds = 0;
    AVRational frameStep{1, 25};  // one source picture's duration
    // Work buffers of this stream, so that two streams can be converted on two threads.
    FramePtr decoded = MakeFrame();
    FramePtr filtered = MakeFrame();
    PacketPtr encoded = MakePacket();
    PacketPtr stripped = MakePacket();
    std::atomic<bool> written{false};  // a packet of this stream is in the output
};

// Packets handed from the reading thread to the sound's thread. Bounded, so that the sound
// never runs far behind the picture and memory stays flat.
class PacketQueue {
public:
    // Waits while the queue is full; false when the queue was closed.
    bool Push(PacketPtr packet) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return closed_ || packets_.size() < kCapacity; });
        if (closed_) {
            return false;
        }
        packets_.push_back(std::move(packet));
        changed_.notify_all();
        return true;
    }
    // Waits for a packet; null once the queue is finished and empty, or closed.
    PacketPtr Pop() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return closed_ || finished_ || !packets_.empty(); });
        if (closed_ || packets_.empty()) {
            return nullptr;
        }
        PacketPtr packet = std::move(packets_.front());
        packets_.pop_front();
        changed_.notify_all();
        return packet;
    }
    // No more packets will come; those queued are still taken.
    void Finish() {
        std::lock_guard lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    }
    // Ends at once; queued packets are dropped.
    void Close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        packets_.clear();
        changed_.notify_all();
    }

private:
    static constexpr size_t kCapacity = 128;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<PacketPtr> packets_;
    bool finished_ = false;
    bool closed_ = false;
};

class Transcoder {
public:
    Transcoder(const ConversionArguments& args, const std::atomic<bool>& stop,
               const ProgressFunction& progress)
        : args_(args), stop_(stop), progress_(progress) {}

    TranscodeResult Run();

private:
    bool Fail(std::string message) {
        std::lock_guard lock(errorMutex_);
        if (error_.empty()) {
            error_ = std::move(message);
        }
        return false;
    }
    std::string WithLibavReason(const std::string& text, int code) const;

    bool OpenInput();
    bool OpenOutputContainer();
    bool SetUpVideo();
    bool SetUpAudio();
    bool OpenEncoder(StreamPipe& pipe, const AVCodec* codec, AVDictionary** options,
                     const char* what);
    bool BuildGraph(StreamPipe& pipe, const std::string& sourceArgs, const char* sourceName,
                    const char* sinkName, const std::string& chain);
    bool SetUpBitstreamFilter(StreamPipe& pipe);
    bool OpenOutputFile();
    bool ConvertPackets();
    bool ReadPackets();
    bool DecodePacket(StreamPipe& pipe, const AVPacket* packet);
    bool PullFiltered(StreamPipe& pipe);
    bool Encode(StreamPipe& pipe, const AVFrame* frame);
    bool WritePacket(StreamPipe& pipe, AVPacket* packet);
    bool Finish(bool stopped);
    bool AllFiltersDone() const;
    bool NeedsPictureAndSound() const;
    bool Generate(StreamPipe& pipe, double untilSeconds);
    std::string DurationFilter(const char* name) const;
    void ReportProgress(const StreamPipe& pipe, int64_t pts);

    static int Interrupted(void* opaque) {
        return static_cast<const std::atomic<bool>*>(opaque)->load() ? 1 : 0;
    }

    const ConversionArguments& args_;
    const std::atomic<bool>& stop_;
    const ProgressFunction& progress_;
    std::string error_;
    std::string temporary_;
    bool temporaryCreated_ = false;
    InputPtr input_;
    OutputPtr output_;
    StreamPipe video_;
    StreamPipe audio_;
    std::mutex errorMutex_;
    std::mutex muxMutex_;       // the muxer is shared by the picture's and the sound's thread
    bool soundThread_ = false;  // the sound is converted on a thread of its own
    PacketQueue soundPackets_;
    std::atomic<bool> soundFailed_{false};
    std::chrono::steady_clock::time_point drainDeadline_ =
        std::chrono::steady_clock::time_point::max();
    double outputSeconds_ = 0;
    double sourceSeconds_ = 0;  // how far the converted streams have got
    long long videoFrames_ = 0;
};

std::string Transcoder::WithLibavReason(const std::string& text, int code) const {
    std::string reason = LastErrorLine();
    if (reason.empty()) {
        reason = ErrorText(code);
    }
    return text + " (" + reason + ")";
}

std::string Transcoder::DurationFilter(const char* name) const {
    if (args_.durationSeconds <= 0) {
        return std::string();
    }
    char text[64];
    std::snprintf(text, sizeof text, "%s=end=%.6f,", name, args_.durationSeconds);
    return text;
}

bool Transcoder::OpenInput() {
    if (!PathExists(args_.input)) {
        return Fail("The source file does not exist");
    }
    AVIOInterruptCB interrupt{&Transcoder::Interrupted, const_cast<std::atomic<bool>*>(&stop_)};
    std::string error;
    input_ = OpenMediaFile(args_.input, &interrupt, error);
    if (!input_) {
        return Fail("Cannot read the source: " + error);
    }
    video_.inputIndex = FindVideoStream(input_.get());
    audio_.inputIndex = FindAudioStream(input_.get());
    if (video_.inputIndex < 0 && audio_.inputIndex < 0) {
        return Fail("The source holds no video or audio this program can decode");
    }
    for (unsigned i = 0; i < input_->nb_streams; ++i) {
        bool used = int(i) == video_.inputIndex || int(i) == audio_.inputIndex;
        input_->streams[i]->discard = used ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    int64_t start = input_->start_time == AV_NOPTS_VALUE ? 0 : input_->start_time;
    for (StreamPipe* pipe : {&video_, &audio_}) {
        if (pipe->inputIndex < 0) {
            continue;
        }
        const AVStream* st = input_->streams[pipe->inputIndex];
        pipe->decoder = OpenDecoder(st, error);
        if (!pipe->decoder) {
            return Fail("Cannot decode the source: " + error);
        }
        pipe->startOffset = av_rescale_q(start, AV_TIME_BASE_Q, st->time_base);
    }
    return true;
}

bool Transcoder::OpenOutputContainer() {
    if (!ParentFolderExists(args_.output)) {
        return Fail("The output folder does not exist");
    }
    if (!args_.overwrite && PathExists(args_.output)) {
        return Fail("The output file already exists");
    }
    const AVOutputFormat* format = nullptr;
    if (!args_.format.empty()) {
        format = av_guess_format(args_.format.c_str(), nullptr, nullptr);
        if (!format) {
            return Fail("Unknown output format \"" + args_.format + "\"");
        }
    } else {
        format = av_guess_format(nullptr, args_.output.c_str(), nullptr);
        if (!format) {
            return Fail("No output format is known for the file name " +
                        FileNamePart(args_.output));
        }
    }
    AVFormatContext* raw = nullptr;
    int ret = avformat_alloc_output_context2(&raw, format, nullptr, args_.output.c_str());
    if (ret < 0 || !raw) {
        return Fail(WithLibavReason("Cannot prepare the output", ret));
    }
    output_.reset(raw);
    if (args_.bitexact) {
        output_->flags |= AVFMT_FLAG_BITEXACT;
    }
    return true;
}

bool Transcoder::BuildGraph(StreamPipe& pipe, const std::string& sourceArgs, const char* sourceName,
                            const char* sinkName, const std::string& chain) {
    pipe.graph.reset(avfilter_graph_alloc());
    if (!pipe.graph) {
        return Fail("Out of memory");
    }
    // The filters run on this thread; the codecs have the cores.
    pipe.graph->nb_threads = 1;
    int ret = 0;
    if (sourceName) {
        ret = avfilter_graph_create_filter(&pipe.source, avfilter_get_by_name(sourceName), "in",
                                           sourceArgs.c_str(), nullptr, pipe.graph.get());
    }
    if (ret >= 0) {
        ret = avfilter_graph_create_filter(&pipe.sink, avfilter_get_by_name(sinkName), "out",
                                           nullptr, nullptr, pipe.graph.get());
    }
    if (ret < 0) {
        return Fail(WithLibavReason("Cannot set up the picture and sound processing", ret));
    }
    FilterInOutPtr outputs(avfilter_inout_alloc());
    FilterInOutPtr inputs(avfilter_inout_alloc());
    if (!outputs || !inputs) {
        return Fail("Out of memory");
    }
    outputs->name = av_strdup("in");
    outputs->filter_ctx = pipe.source;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = pipe.sink;
    if (!sourceName) {
        outputs.reset();  // the chain starts with a generating filter
    }
    AVFilterInOut* outputsRaw = outputs.release();
    AVFilterInOut* inputsRaw = inputs.release();
    ret =
        avfilter_graph_parse_ptr(pipe.graph.get(), chain.c_str(), &inputsRaw, &outputsRaw, nullptr);
    avfilter_inout_free(&inputsRaw);
    avfilter_inout_free(&outputsRaw);
    if (ret >= 0) {
        ret = avfilter_graph_config(pipe.graph.get(), nullptr);
    }
    if (ret < 0) {
        return Fail(WithLibavReason("Cannot set up the picture and sound processing", ret));
    }
    return true;
}

bool Transcoder::OpenEncoder(StreamPipe& pipe, const AVCodec* codec, AVDictionary** options,
                             const char* what) {
    if (output_->oformat->flags & AVFMT_GLOBALHEADER) {
        pipe.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (args_.bitexact) {
        pipe.encoder->flags |= AV_CODEC_FLAG_BITEXACT;
    }
    ClearLastError();
    int ret = avcodec_open2(pipe.encoder.get(), codec, options);
    av_dict_free(options);
    if (ret < 0) {
        return Fail(
            WithLibavReason(std::string("The ") + what + " encoder refused its settings", ret));
    }
    pipe.output = avformat_new_stream(output_.get(), nullptr);
    if (!pipe.output) {
        return Fail("Out of memory");
    }
    pipe.output->time_base = pipe.encoder->time_base;
    ret = avcodec_parameters_from_context(pipe.output->codecpar, pipe.encoder.get());
    if (ret < 0) {
        return Fail(WithLibavReason("Cannot prepare the output", ret));
    }
    // The container chooses its own tag for the codec (for example mp4v for MPEG-4).
    pipe.output->codecpar->codec_tag = 0;
    return true;
}

bool Transcoder::NeedsPictureAndSound() const {
    // The PSP's container cannot hold a file with only one kind of stream.
    return std::string(output_->oformat->name) == "psp";
}

bool Transcoder::SetUpVideo() {
    video_.generated = video_.inputIndex < 0;
    if (video_.generated && !NeedsPictureAndSound()) {
        return true;
    }
    const AVStream* st = video_.generated ? nullptr : input_->streams[video_.inputIndex];
    const AVCodecContext* dec = video_.decoder.get();
    int width = args_.width > 0 ? args_.width : dec ? dec->width : 320;
    int height = args_.height > 0 ? args_.height : dec ? dec->height : 240;
    // 4:2:0 pictures need even sizes.
    width &= ~1;
    height &= ~1;
    int pictureWidth = std::max(2, width - args_.padLeft - args_.padRight);
    int pictureHeight = std::max(2, height - args_.padTop - args_.padBottom);
    if (args_.videoCodec == VideoCodec::H263 && !IsLegalH263Size(width, height)) {
        return Fail("H.263 cannot carry the frame size " + std::to_string(width) + "x" +
                    std::to_string(height) + ": use " + kH263Sizes);
    }
    AVRational sourceRate = st ? StreamFrameRate(st) : AVRational{25, 1};
    if (sourceRate.num > 0) {
        video_.frameStep = av_inv_q(sourceRate);
    }
    AVRational rate{args_.frameRateNum, args_.frameRateDen};
    if (rate.num <= 0) {
        rate = sourceRate;
        if (rate.num <= 0 || av_q2d(rate) > 120) {
            rate = AVRational{25, 1};
        }
    }
    if (rate.den > 65535 || rate.num > 65535) {
        rate = av_d2q(av_q2d(rate), 65535);
    }

    const char* encoderName = "mpeg4";
    const char* what = "MPEG-4";
    switch (args_.videoCodec) {
        case VideoCodec::Mpeg4:
        case VideoCodec::Xvid:
            break;
        case VideoCodec::H263:
            encoderName = "h263";
            what = "H.263";
            break;
        case VideoCodec::H263Plus:
            encoderName = "h263p";
            what = "H.263+";
            break;
        case VideoCodec::H264:
            encoderName = "libx264";
            what = "H.264";
            break;
    }
    const AVCodec* codec = avcodec_find_encoder_by_name(encoderName);
    if (!codec) {
        return Fail(std::string("The ") + what + " encoder is not available");
    }
    video_.encoder.reset(avcodec_alloc_context3(codec));
    if (!video_.encoder) {
        return Fail("Out of memory");
    }
    AVCodecContext* enc = video_.encoder.get();
    enc->width = width;
    enc->height = height;
    enc->pix_fmt = AV_PIX_FMT_YUV420P;
    enc->sample_aspect_ratio = AVRational{1, 1};
    enc->time_base = av_inv_q(rate);
    enc->framerate = rate;
    if (args_.videoKbps > 0) {
        enc->bit_rate = int64_t(args_.videoKbps) * 1000;
    }
    enc->thread_count = 0;
    if (args_.bitexact) {
        // Identical output needs the work split the same way every time: a fixed number of
        // slices. libx264 runs on one thread: with threads its rate control plans a picture's
        // bit budget from how far the pictures being encoded beside it have got.
        bool x264 = args_.videoCodec == VideoCodec::H264;
        enc->thread_count = x264 ? 1 : kBitexactThreads;
        enc->thread_type = FF_THREAD_SLICE;
    }
    AVDictionary* options = nullptr;
    if (args_.videoCodec == VideoCodec::H264) {
        // Device-safe H.264: Baseline with one reference frame for phones and MP4 players;
        // the PSP takes Main with at most two.
        bool psp = std::string(output_->oformat->name) == "psp";
        av_dict_set(&options, "profile", psp ? "main" : "baseline", 0);
        enc->level = 30;
        enc->refs = psp ? 2 : 1;
    } else if (args_.videoCodec == VideoCodec::Mpeg4 || args_.videoCodec == VideoCodec::Xvid) {
        enc->profile = FF_PROFILE_MPEG4_SIMPLE;
        enc->max_b_frames = 0;
        int64_t pixels = int64_t(width) * height;
        enc->level = pixels <= 176 * 144   ? 1
                     : pixels <= 352 * 288 ? 3
                     : pixels <= 640 * 480 ? 4
                                           : 5;
        if (args_.videoCodec == VideoCodec::Xvid) {
            enc->codec_tag = MKTAG('X', 'V', 'I', 'D');
        }
    }
    if (!OpenEncoder(video_, codec, &options, what)) {
        return false;
    }

    if (video_.generated) {
        char chain[256];
        std::snprintf(chain, sizeof chain, "color=c=black:s=%dx%d:r=%d/%d,format=yuv420p", width,
                      height, rate.num, rate.den);
        return BuildGraph(video_, "", nullptr, "buffersink", chain);
    }
    char sourceArgs[256];
    AVRational sar = dec->sample_aspect_ratio.num > 0 ? dec->sample_aspect_ratio : AVRational{1, 1};
    std::snprintf(sourceArgs, sizeof sourceArgs,
                  "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", dec->width,
                  dec->height, int(dec->pix_fmt), st->time_base.num, st->time_base.den, sar.num,
                  sar.den);
    // The frame rate is changed before scaling so that dropped frames cost nothing. The output
    // starts at 0 like the sound, even when the source's first picture comes a little later.
    char chain[512];
    std::snprintf(
        chain, sizeof chain,
        "%sfps=%d/%d:start_time=0,scale=%d:%d:flags=bicubic,pad=%d:%d:%d:%d:black,setsar=1,"
        "format=yuv420p",
        DurationFilter("trim").c_str(), rate.num, rate.den, pictureWidth, pictureHeight, width,
        height, args_.padLeft, args_.padTop);
    return BuildGraph(video_, sourceArgs, "buffer", "buffersink", chain);
}

bool Transcoder::SetUpAudio() {
    audio_.generated = audio_.inputIndex < 0;
    if (audio_.generated && !NeedsPictureAndSound()) {
        return true;
    }
    const AVCodecContext* dec = audio_.decoder.get();
    const AVCodec* codec = avcodec_find_encoder_by_name("aac");
    if (!codec) {
        return Fail("The AAC encoder is not available");
    }
    audio_.encoder.reset(avcodec_alloc_context3(codec));
    if (!audio_.encoder) {
        return Fail("Out of memory");
    }
    AVCodecContext* enc = audio_.encoder.get();
    int sourceChannels = dec ? dec->ch_layout.nb_channels : 2;
    int channels = args_.channels > 0 ? args_.channels : std::min(sourceChannels, 2);
    av_channel_layout_default(&enc->ch_layout, channels);
    int requestedRate = args_.sampleRate > 0 ? args_.sampleRate : dec ? dec->sample_rate : 44100;
    enc->sample_rate = NearestSampleRate(requestedRate, codec->supported_samplerates);
    enc->sample_fmt = AV_SAMPLE_FMT_FLTP;
    enc->time_base = AVRational{1, enc->sample_rate};
    enc->profile = FF_PROFILE_AAC_LOW;
    if (args_.audioKbps > 0) {
        enc->bit_rate = int64_t(args_.audioKbps) * 1000;
    }
    AVDictionary* options = nullptr;
    if (!OpenEncoder(audio_, codec, &options, "AAC")) {
        return false;
    }

    char outLayoutText[128] = {};
    av_channel_layout_describe(&enc->ch_layout, outLayoutText, sizeof outLayoutText);
    if (audio_.generated) {
        char chain[256];
        std::snprintf(chain, sizeof chain, "anullsrc=r=%d:cl=%s,aformat=sample_fmts=fltp",
                      enc->sample_rate, outLayoutText);
        if (!BuildGraph(audio_, "", nullptr, "abuffersink", chain)) {
            return false;
        }
        av_buffersink_set_frame_size(audio_.sink, unsigned(enc->frame_size));
        return true;
    }
    AVChannelLayout inLayout{};
    if (dec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&inLayout, sourceChannels);
    } else {
        av_channel_layout_copy(&inLayout, &dec->ch_layout);
    }
    char inLayoutText[128] = {};
    av_channel_layout_describe(&inLayout, inLayoutText, sizeof inLayoutText);
    av_channel_layout_uninit(&inLayout);

    char sourceArgs[256];
    std::snprintf(sourceArgs, sizeof sourceArgs,
                  "time_base=1/%d:sample_rate=%d:sample_fmt=%s:channel_layout=%s", dec->sample_rate,
                  dec->sample_rate, av_get_sample_fmt_name(dec->sample_fmt), inLayoutText);
    std::string chain = DurationFilter("atrim");
    char convert[256];
    std::snprintf(convert, sizeof convert,
                  "aresample=%d,aformat=sample_fmts=%s:sample_rates=%d:"
                  "channel_layouts=%s",
                  enc->sample_rate, args_.volumePercent > 100 ? "s16" : "fltp", enc->sample_rate,
                  outLayoutText);
    chain += convert;
    if (args_.volumePercent != 100) {
        // Louder than the source is applied on 16-bit samples, which clip at full scale
        // instead of wrapping around.
        char volume[96];
        std::snprintf(volume, sizeof volume, ",volume=%.2f%s", args_.volumePercent / 100.0,
                      args_.volumePercent > 100 ? ":precision=fixed,aformat=sample_fmts=fltp" : "");
        chain += volume;
    }
    if (!BuildGraph(audio_, sourceArgs, "abuffer", "abuffersink", chain)) {
        return false;
    }
    if (enc->frame_size > 0) {
        av_buffersink_set_frame_size(audio_.sink, unsigned(enc->frame_size));
    }
    return true;
}

bool Transcoder::SetUpBitstreamFilter(StreamPipe& pipe) {
    // libx264 writes its version and settings into the first picture; a bit-exact output
    // leaves that note out.
    if (!args_.bitexact || !pipe.encoder || pipe.encoder->codec_id != AV_CODEC_ID_H264) {
        return true;
    }
    const AVBitStreamFilter* filter = av_bsf_get_by_name("filter_units");
    AVBSFContext* raw = nullptr;
    if (!filter || av_bsf_alloc(filter, &raw) < 0) {
        return Fail("Cannot prepare the bit-exact output");
    }
    pipe.bitstreamFilter.reset(raw);
    avcodec_parameters_copy(raw->par_in, pipe.output->codecpar);
    raw->time_base_in = pipe.encoder->time_base;
    av_opt_set(raw->priv_data, "remove_types", "6", 0);
    int ret = av_bsf_init(raw);
    if (ret < 0) {
        return Fail(WithLibavReason("Cannot prepare the bit-exact output", ret));
    }
    avcodec_parameters_copy(pipe.output->codecpar, raw->par_out);
    pipe.output->codecpar->codec_tag = 0;
    return true;
}

bool Transcoder::OpenOutputFile() {
    temporary_ = TemporaryPathFor(args_.output);
    int ret = avio_open(&output_->pb, temporary_.c_str(), AVIO_FLAG_WRITE);
    if (ret < 0) {
        return Fail("Cannot write in the output folder (" + ErrorText(ret) + ")");
    }
    temporaryCreated_ = true;
    ClearLastError();
    ret = avformat_write_header(output_.get(), nullptr);
    if (ret < 0) {
        return Fail(WithLibavReason("Cannot start the output file", ret));
    }
    return true;
}

void Transcoder::ReportProgress(const StreamPipe& pipe, int64_t pts) {
    // The video's time leads the percentage when there is video; audio-only files use audio.
    if (pipe.generated || (&pipe == &audio_ && video_.encoder && !video_.generated)) {
        return;
    }
    double seconds = pts * av_q2d(pipe.encoder->time_base);
    if (seconds > outputSeconds_) {
        outputSeconds_ = seconds;
    }
    if (progress_) {
        progress_(outputSeconds_, videoFrames_);
    }
}

bool Transcoder::WritePacket(StreamPipe& pipe, AVPacket* packet) {
    packet->stream_index = pipe.output->index;
    av_packet_rescale_ts(packet, pipe.encoder->time_base, pipe.output->time_base);
    std::lock_guard lock(muxMutex_);
    int ret = av_interleaved_write_frame(output_.get(), packet);
    if (ret < 0) {
        return Fail(WithLibavReason("Cannot write the output file", ret));
    }
    pipe.written = true;
    return true;
}

bool Transcoder::Encode(StreamPipe& pipe, const AVFrame* frame) {
    int ret = avcodec_send_frame(pipe.encoder.get(), frame);
    if (ret < 0 && ret != AVERROR_EOF) {
        return Fail(WithLibavReason("The encoder failed", ret));
    }
    while ((ret = avcodec_receive_packet(pipe.encoder.get(), pipe.encoded.get())) >= 0) {
        // The cut waits for the stream's first packet: on a busy machine the encoder may hold
        // every picture converted so far, and a stopped file must not lose its picture.
        if (!frame && pipe.written && std::chrono::steady_clock::now() > drainDeadline_) {
            av_packet_unref(pipe.encoded.get());
            return true;
        }
        if (pipe.encoded->duration <= 0 && &pipe == &video_) {
            pipe.encoded->duration =
                1;  // one frame: the container then knows the last one's length
        }
        if (!pipe.bitstreamFilter) {
            if (!WritePacket(pipe, pipe.encoded.get())) {
                return false;
            }
            continue;
        }
        ret = av_bsf_send_packet(pipe.bitstreamFilter.get(), pipe.encoded.get());
        if (ret < 0) {
            return Fail(WithLibavReason("The encoder failed", ret));
        }
        while (av_bsf_receive_packet(pipe.bitstreamFilter.get(), pipe.stripped.get()) >= 0) {
            if (!WritePacket(pipe, pipe.stripped.get())) {
                return false;
            }
        }
    }
    if (ret != AVERROR(EAGAIN) && ret != AVERROR_EOF) {
        return Fail(WithLibavReason("The encoder failed", ret));
    }
    return true;
}

bool Transcoder::PullFiltered(StreamPipe& pipe) {
    while (true) {
        int ret = av_buffersink_get_frame(pipe.sink, pipe.filtered.get());
        if (ret == AVERROR(EAGAIN)) {
            return true;
        }
        if (ret == AVERROR_EOF) {
            pipe.filterDone = true;
            return true;
        }
        if (ret < 0) {
            return Fail(WithLibavReason("Processing the picture or sound failed", ret));
        }
        AVFrame* frame = pipe.filtered.get();
        if (frame->pts != AV_NOPTS_VALUE) {
            frame->pts = av_rescale_q(frame->pts, av_buffersink_get_time_base(pipe.sink),
                                      pipe.encoder->time_base);
        }
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        bool ok = Encode(pipe, frame);
        if (&pipe == &video_) {
            ++videoFrames_;
        }
        if (frame->pts != AV_NOPTS_VALUE) {
            int64_t end = frame->pts + (&pipe == &audio_ ? frame->nb_samples : 1);
            if (!soundThread_) {  // only a generated track needs it, and then there is no thread
                sourceSeconds_ = std::max(sourceSeconds_, end * av_q2d(pipe.encoder->time_base));
            }
            ReportProgress(pipe, end);
        }
        av_frame_unref(frame);
        if (!ok) {
            return false;
        }
    }
}

bool Transcoder::DecodePacket(StreamPipe& pipe, const AVPacket* packet) {
    // A damaged packet is skipped: the decoder's complaint is no reason to give up the file.
    avcodec_send_packet(pipe.decoder.get(), packet);
    AVFrame* frame = pipe.decoded.get();
    while (avcodec_receive_frame(pipe.decoder.get(), frame) >= 0) {
        if (pipe.filterDone) {
            av_frame_unref(frame);
            continue;
        }
        int64_t ts = frame->best_effort_timestamp;
        if (&pipe == &audio_) {
            AVRational tb = input_->streams[pipe.inputIndex]->time_base;
            AVRational sampleTb{1, frame->sample_rate};
            int64_t pts = ts == AV_NOPTS_VALUE ? pipe.nextAudioPts
                                               : av_rescale_q(ts - pipe.startOffset, tb, sampleTb);
            if (pts == AV_NOPTS_VALUE) {
                pts = 0;
            }
            frame->pts = pts;
            pipe.nextAudioPts = pts + frame->nb_samples;
        } else {
            // Pictures without a time (packed B-frames in AVI) follow the one before.
            AVRational tb = input_->streams[pipe.inputIndex]->time_base;
            int64_t pts = ts == AV_NOPTS_VALUE ? pipe.nextVideoPts : ts - pipe.startOffset;
            if (pts == AV_NOPTS_VALUE) {
                pts = 0;
            }
            frame->pts = pts;
            pipe.nextVideoPts = pts + std::max<int64_t>(1, av_rescale_q(1, pipe.frameStep, tb));
        }
        // A frame the graph cannot take (its format changed mid-stream) is dropped.
        if (av_buffersrc_add_frame_flags(pipe.source, frame, 0) < 0) {
            av_frame_unref(frame);
        }
        if (!PullFiltered(pipe)) {
            return false;
        }
    }
    return true;
}

bool Transcoder::AllFiltersDone() const {
    return (!video_.graph || video_.generated || video_.filterDone) &&
           (!audio_.graph || audio_.generated || audio_.filterDone);
}

bool Transcoder::Generate(StreamPipe& pipe, double untilSeconds) {
    if (!pipe.generated || !pipe.encoder) {
        return true;
    }
    AVRational tb = av_buffersink_get_time_base(pipe.sink);
    while (pipe.generatedSeconds < untilSeconds) {
        int ret = av_buffersink_get_frame(pipe.sink, pipe.filtered.get());
        if (ret < 0) {
            return Fail(WithLibavReason("Processing the picture or sound failed", ret));
        }
        AVFrame* frame = pipe.filtered.get();
        int64_t length = &pipe == &audio_ ? av_rescale_q(frame->nb_samples,
                                                         AVRational{1, frame->sample_rate}, tb)
                                          : av_rescale_q(1, pipe.encoder->time_base, tb);
        pipe.generatedSeconds = (frame->pts + length) * av_q2d(tb);
        frame->pts = av_rescale_q(frame->pts, tb, pipe.encoder->time_base);
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        bool ok = Encode(pipe, frame);
        av_frame_unref(frame);
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool Transcoder::ConvertPackets() {
    // With picture and sound both to convert, the sound gets a thread of its own: on a
    // machine with two cores its encoding then overlaps the picture's work.
    soundThread_ = video_.encoder && !video_.generated && audio_.encoder && !audio_.generated;
    std::thread sound;
    if (soundThread_) {
        sound = std::thread([this] {
            while (PacketPtr packet = soundPackets_.Pop()) {
                if (!audio_.filterDone && !DecodePacket(audio_, packet.get())) {
                    soundFailed_ = true;
                    soundPackets_.Close();
                    return;
                }
            }
        });
    }
    bool ok = ReadPackets();
    if (soundThread_) {
        // A stop or a failure leaves the queued sound; a finished read lets it be converted.
        if (ok && !stop_.load()) {
            soundPackets_.Finish();
        } else {
            soundPackets_.Close();
        }
        sound.join();
        ok = ok && !soundFailed_;
    }
    return ok;
}

bool Transcoder::ReadPackets() {
    PacketPtr packet = MakePacket();
    while (!stop_.load() && !AllFiltersDone() && !soundFailed_.load()) {
        int ret = av_read_frame(input_.get(), packet.get());
        if (ret == AVERROR(EAGAIN)) {
            continue;
        }
        if (ret < 0) {
            break;  // the end of the source, or damage the reader cannot get past
        }
        bool ok = true;
        if (packet->stream_index == video_.inputIndex) {
            ok = DecodePacket(video_, packet.get());
        } else if (packet->stream_index == audio_.inputIndex) {
            if (soundThread_) {
                PacketPtr queued = MakePacket();
                av_packet_move_ref(queued.get(), packet.get());
                soundPackets_.Push(std::move(queued));
            } else {
                ok = DecodePacket(audio_, packet.get());
            }
        }
        av_packet_unref(packet.get());
        ok = ok && Generate(video_, sourceSeconds_) && Generate(audio_, sourceSeconds_);
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool Transcoder::Finish(bool stopped) {
    if (stopped) {
        // The pictures an encoder still holds (H.264 looks ahead) are drained only for a short
        // while, so a stop takes effect at once; a cut in decoding order stays playable.
        drainDeadline_ = std::chrono::steady_clock::now() + kStopDrainTime;
    }
    // A generated track is finished last, to the length the converted one reached.
    StreamPipe* order[] = {&video_, &audio_};
    if (video_.generated) {
        std::swap(order[0], order[1]);
    }
    for (StreamPipe* pipe : order) {
        if (!pipe->encoder) {
            continue;
        }
        if (pipe->generated) {
            if (!Generate(*pipe, sourceSeconds_)) {
                return false;
            }
        } else if (!stopped) {
            if (!DecodePacket(*pipe, nullptr)) {
                return false;
            }
            if (!pipe->filterDone) {
                int ret = av_buffersrc_add_frame_flags(pipe->source, nullptr, 0);
                if (ret < 0 || !PullFiltered(*pipe)) {
                    return false;
                }
            }
        }
        if (!Encode(*pipe, nullptr)) {
            return false;
        }
        if (pipe->bitstreamFilter) {
            av_bsf_send_packet(pipe->bitstreamFilter.get(), nullptr);
            while (av_bsf_receive_packet(pipe->bitstreamFilter.get(), pipe->stripped.get()) >= 0) {
                if (!WritePacket(*pipe, pipe->stripped.get())) {
                    return false;
                }
            }
        }
    }
    int ret = av_write_trailer(output_.get());
    if (ret < 0) {
        return Fail(WithLibavReason("Cannot finish the output file", ret));
    }
    ret = avio_closep(&output_->pb);
    if (ret < 0) {
        return Fail("Cannot finish the output file (" + ErrorText(ret) + ")");
    }
    return true;
}

TranscodeResult Transcoder::Run() {
    TranscodeResult result;
    ClearLastError();
    bool ok = OpenInput() && OpenOutputContainer() && SetUpVideo() && SetUpAudio() &&
              SetUpBitstreamFilter(video_) && OpenOutputFile() && ConvertPackets();
    bool stopped = ok && stop_.load();
    ok = ok && Finish(stopped);
    if (ok) {
        // Close everything before the rename so the file is complete on disk.
        output_.reset();
        ok = CommitTemporary(temporary_, args_.output, error_);
        temporaryCreated_ = false;
    }
    if (!ok) {
        output_.reset();
        if (temporaryCreated_) {
            DiscardTemporary(temporary_);
        }
        // A stop that came while the source was still being opened ends with nothing written.
        result.outcome = stop_.load() ? Outcome::Stopped : Outcome::Failed;
        result.message = error_.empty() ? "The conversion failed" : error_;
        return result;
    }
    result.outcome = stopped ? Outcome::Stopped : Outcome::Finished;
    result.outputSeconds = outputSeconds_;
    return result;
}

}  // namespace

TranscodeResult Transcode(const ConversionArguments& args, const std::atomic<bool>& stop,
                          const ProgressFunction& progress) {
    Transcoder transcoder(args, stop, progress);
    return transcoder.Run();
}

}  // namespace kivo
