#include "Transcoder.h"

#include <algorithm>
#include <chrono>

#include "ConversionSetup.h"
#include "LibavPtr.h"
#include "Log.h"
#include "MediaInput.h"
#include "SoundWorker.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace kivo {
namespace {

constexpr auto kStopDrainTime = std::chrono::milliseconds(150);
// How much longer a stopped track that has given out nothing yet is drained: libx264 holds a
// second of pictures before its first packet, and a kept file without its picture is no use.
constexpr auto kFirstPacketGrace = std::chrono::milliseconds(1000);
const char kNothingReadable[] = "the source holds no picture or sound that could be read";
const char kRangeTooShort[] = "the length to convert is too short to hold a picture or a sound";

// The classic transcoder: open the source, plan and open the output, then read → decode →
// filter → encode → write until the source ends or a stop comes; drain and finish the file.
class Transcoder {
public:
    Transcoder(const ConversionArguments& args, const std::atomic<bool>& stop,
               const ProgressFunction& progress)
        : args_(args), stop_(stop), progress_(progress) {}

    TranscodeResult Run();

private:
    bool Fail(int reason, std::string message) { return failure_.Fail(reason, std::move(message)); }

    bool ConvertPackets();
    bool ReadPackets();
    bool DecodePacket(StreamPipe& pipe, const AVPacket* packet);
    bool PullFiltered(StreamPipe& pipe);
    bool Encode(StreamPipe& pipe, const AVFrame* frame);
    bool Generate(StreamPipe& pipe, double untilSeconds);
    bool Finish(bool stopped);
    bool AllFiltersDone() const;
    bool MustEnd() const;
    // While a stopped conversion drains `pipe`'s encoder: whether to give up on what it holds.
    bool DrainMustEnd(const StreamPipe& pipe) const;
    void ReportProgress(const StreamPipe& pipe, int64_t pts);

    const ConversionArguments& args_;
    const std::atomic<bool>& stop_;
    const ProgressFunction& progress_;
    FirstFailure failure_;
    ConversionStreams streams_{failure_};
    StreamPipe& video_ = streams_.video;
    StreamPipe& audio_ = streams_.audio;
    OutputMuxer& muxer_ = streams_.muxer;
    SoundWorker soundWorker_;  // ended before the streams it converts go
    // Until a stopped file is being finished, a stop ends every loop at once.
    std::chrono::steady_clock::time_point drainDeadline_ =
        std::chrono::steady_clock::time_point::min();
    double outputSeconds_ = 0;
    double sourceSeconds_ = 0;  // how far the converted streams have got
    long long videoFrames_ = 0;
};

bool Transcoder::MustEnd() const {
    return stop_.load() && std::chrono::steady_clock::now() >= drainDeadline_;
}

bool Transcoder::DrainMustEnd(const StreamPipe& pipe) const {
    if (!MustEnd()) {
        return false;
    }
    return pipe.muxed->packetsWritten > 0 ||
           std::chrono::steady_clock::now() >= drainDeadline_ + kFirstPacketGrace;
}

void Transcoder::ReportProgress(const StreamPipe& pipe, int64_t pts) {
    // The video's time leads the percentage when there is video; audio-only files use audio.
    if (pipe.generated || (pipe.sound && video_.encoder && !video_.generated)) {
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

bool Transcoder::Encode(StreamPipe& pipe, const AVFrame* frame) {
    int ret = avcodec_send_frame(pipe.encoder.get(), frame);
    if (ret < 0 && ret != AVERROR_EOF) {
        return Fail(KIVO_REASON_ENCODING_FAILED, WithLibavReason("The encoder failed", ret));
    }
    while ((ret = avcodec_receive_packet(pipe.encoder.get(), pipe.encoded.get())) >= 0) {
        if (!frame && DrainMustEnd(pipe)) {
            av_packet_unref(pipe.encoded.get());
            return true;
        }
        // A picture lasts one frame: the container then knows the last one's length.
        if (pipe.encoded->duration <= 0 && !pipe.sound) {
            pipe.encoded->duration = 1;
        }
        if (!muxer_.Write(*pipe.muxed, pipe.encoded.get())) {
            return false;
        }
    }
    if (ret != AVERROR(EAGAIN) && ret != AVERROR_EOF) {
        return Fail(KIVO_REASON_ENCODING_FAILED, WithLibavReason("The encoder failed", ret));
    }
    return true;
}

bool Transcoder::PullFiltered(StreamPipe& pipe) {
    while (!MustEnd()) {
        int ret = av_buffersink_get_frame(pipe.filters.sink, pipe.filtered.get());
        if (ret == AVERROR(EAGAIN)) {
            return true;
        }
        if (ret == AVERROR_EOF) {
            pipe.filterDone = true;
            return true;
        }
        if (ret < 0) {
            return Fail(KIVO_REASON_ENCODING_FAILED,
                        WithLibavReason("Processing the picture or sound failed", ret));
        }
        AVFrame* frame = pipe.filtered.get();
        if (frame->pts != AV_NOPTS_VALUE) {
            frame->pts = av_rescale_q(frame->pts, av_buffersink_get_time_base(pipe.filters.sink),
                                      pipe.encoder->time_base);
        }
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        bool ok = Encode(pipe, frame);
        ++pipe.framesEncoded;
        if (!pipe.sound) {
            ++videoFrames_;
        }
        if (frame->pts != AV_NOPTS_VALUE) {
            int64_t end = frame->pts + (pipe.sound ? frame->nb_samples : 1);
            // Only a generated track needs it, and then there is no sound thread.
            if (!soundWorker_.Started()) {
                sourceSeconds_ = std::max(sourceSeconds_, end * av_q2d(pipe.encoder->time_base));
            }
            ReportProgress(pipe, end);
        }
        av_frame_unref(frame);
        if (!ok) {
            return false;
        }
    }
    return true;
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
        if (!pipe.sound && !frame->decode_error_flags && !(frame->flags & AV_FRAME_FLAG_CORRUPT)) {
            ++pipe.wholePictures;
        }
        pipe.PlaceDecoded(frame, streams_.input->streams[pipe.inputIndex]->time_base);
        if (!pipe.sound && !pipe.filters.graph && !BuildVideoGraph(streams_, *frame, failure_)) {
            av_frame_unref(frame);
            return false;
        }
        if (frame->pts == StreamTimeline::kDrop) {
            av_frame_unref(frame);  // sound that was given already
            continue;
        }
        // A frame the graph cannot take (its format changed mid-stream) is dropped.
        if (av_buffersrc_add_frame_flags(pipe.filters.source, frame, 0) < 0) {
            av_frame_unref(frame);
        }
        if (!PullFiltered(pipe)) {
            return false;
        }
    }
    return true;
}

bool Transcoder::AllFiltersDone() const {
    return (!video_.encoder || video_.generated || video_.filterDone) &&
           (!audio_.encoder || audio_.generated || audio_.filterDone);
}

bool Transcoder::Generate(StreamPipe& pipe, double untilSeconds) {
    if (!pipe.generated || !pipe.encoder) {
        return true;
    }
    AVRational tb = av_buffersink_get_time_base(pipe.filters.sink);
    while (pipe.generatedSeconds < untilSeconds && !MustEnd()) {
        int ret = av_buffersink_get_frame(pipe.filters.sink, pipe.filtered.get());
        if (ret < 0) {
            return Fail(KIVO_REASON_ENCODING_FAILED,
                        WithLibavReason("Processing the picture or sound failed", ret));
        }
        AVFrame* frame = pipe.filtered.get();
        int64_t length =
            pipe.sound ? av_rescale_q(frame->nb_samples, AVRational{1, frame->sample_rate}, tb)
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
    if (video_.encoder && !video_.generated && audio_.encoder && !audio_.generated) {
        soundWorker_.Start([this](const AVPacket* packet) {
            return audio_.filterDone || DecodePacket(audio_, packet);
        });
    }
    bool ok = ReadPackets();
    if (soundWorker_.Started()) {
        // A stop or a failure leaves the queued sound; a finished read lets it be converted.
        soundWorker_.End(ok && !stop_.load());
        ok = ok && !soundWorker_.Failed();
    }
    return ok;
}

bool Transcoder::ReadPackets() {
    PacketPtr packet = MakePacket();
    while (!stop_.load() && !AllFiltersDone() && !soundWorker_.Failed()) {
        int ret = av_read_frame(streams_.input.get(), packet.get());
        if (ret == AVERROR(EAGAIN)) {
            continue;
        }
        if (ret < 0) {
            if (stop_.load() || !SourceReadFailed(streams_.input.get(), ret)) {
                break;  // the end of the source, or damage the reader cannot get past
            }
            return Fail(KIVO_REASON_SOURCE_UNREADABLE, "could not read the source");
        }
        bool ok = true;
        if (packet->stream_index == video_.inputIndex) {
            ok = DecodePacket(video_, packet.get());
        } else if (packet->stream_index == audio_.inputIndex) {
            if (soundWorker_.Started()) {
                PacketPtr queued = MakePacket();
                av_packet_move_ref(queued.get(), packet.get());
                double seconds = queued->duration *
                                 av_q2d(streams_.input->streams[audio_.inputIndex]->time_base);
                soundWorker_.Push(std::move(queued), seconds);
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
            if (!pipe->filters.graph) {
                pipe->filterDone = true;  // no picture was ever decoded
            } else if (!pipe->filterDone) {
                // The picture's end is given, so that the frame-rate filter keeps the last
                // picture for its whole duration (a one-picture source is no exception).
                int ret = !pipe->sound && pipe->pictureEnd != AV_NOPTS_VALUE
                              ? av_buffersrc_close(pipe->filters.source, pipe->pictureEnd, 0)
                              : av_buffersrc_add_frame_flags(pipe->filters.source, nullptr, 0);
                if (ret < 0 || !PullFiltered(*pipe)) {
                    return false;
                }
            }
        }
        if (!Encode(*pipe, nullptr) || !muxer_.EndStream(*pipe->muxed)) {
            return false;
        }
    }
    return muxer_.Finish();
}

TranscodeResult Transcoder::Run() {
    TranscodeResult result;
    ClearLastError();
    bool ok = SetUpConversion(args_, stop_, streams_, failure_) && ConvertPackets();
    ok = ok && Finish(stop_.load());
    // A stop may also come while the file is being finished.
    bool stopped = ok && stop_.load();
    // Damaged pictures are converted as the decoder patched them up, but a source that gave
    // nothing else (the first bytes of a cut file) has no picture that could be read.
    const bool noPicture = video_.framesEncoded == 0 || video_.wholePictures == 0;
    if (ok && noPicture && audio_.framesEncoded == 0) {
        // An empty file is never passed off as a conversion (a stop then keeps nothing either).
        // From a start, a source that did not say its length ended before it.
        // An asked length shorter than one picture (or, without pictures, than a sound frame
        // of some 20 ms) holds nothing: the source is not to blame.
        const double frame = video_.muxed ? av_q2d(video_.frameStep) : 0.02;
        const bool tooShort = args_.durationSeconds > 0 && args_.durationSeconds < frame;
        ok = args_.startSeconds > 0 ? Fail(KIVO_REASON_START_BEYOND_END, kStartBeyondEnd)
             : tooShort             ? Fail(KIVO_REASON_SETTINGS_REFUSED, kRangeTooShort)
                                    : Fail(KIVO_REASON_NOTHING_DECODABLE, kNothingReadable);
    }
    ok = ok && muxer_.Commit();
    if (!ok) {
        muxer_.Discard();
        // A stop that came while the source was still being opened ends with nothing written.
        result.outcome = stop_.load() ? Outcome::Stopped : Outcome::Failed;
        const std::string message = failure_.Message();
        result.message = message.empty() ? "The conversion failed" : message;
        result.reason = message.empty() ? KIVO_REASON_OTHER : failure_.Reason();
        result.systemError = failure_.SystemError();
        result.keptPath = muxer_.KeptPath();
        return result;
    }
    result.outcome = stopped ? Outcome::Stopped : Outcome::Finished;
    result.outputSeconds = outputSeconds_;
    result.note = streams_.note;
    return result;
}

}  // namespace

TranscodeResult Transcode(const ConversionArguments& args, const std::atomic<bool>& stop,
                          const ProgressFunction& progress) {
    Transcoder transcoder(args, stop, progress);
    return transcoder.Run();
}

}  // namespace kivo
