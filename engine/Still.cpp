#include "Still.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "FrameSize.h"
#include "JpegWriter.h"
#include "MediaInput.h"
#include "Probe.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace kivo {
namespace {

// Enough packets to reach the wanted moment from the key frame before it in any sane file;
// a broken file that yields no picture by then gives the best frame found so far.
constexpr int kMaxPackets = 5000;
// How long before the wanted moment every picture is decoded again (AV_TIME_BASE units): more
// than any decoder holds back pictures for their display order.
constexpr int64_t kSkipUntilBefore = AV_TIME_BASE;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // black unless painted
    Picture(int w, int h) : width(w), height(h), rgb(size_t(w) * h * 3, 0) {}
};

// Receives every frame the decoder has ready; keeps the latest in `kept`. True when a frame at
// or after `target` (in AV_TIME_BASE units) arrived.
bool ReceiveFrames(AVCodecContext* decoder, AVRational timeBase, int64_t target, AVFrame* work,
                   FramePtr& kept) {
    while (avcodec_receive_frame(decoder, work) >= 0) {
        if (!kept) {
            kept = MakeFrame();
        }
        av_frame_unref(kept.get());
        av_frame_move_ref(kept.get(), work);
        int64_t ts = kept->best_effort_timestamp;
        if (ts == AV_NOPTS_VALUE || av_rescale_q(ts, timeBase, AV_TIME_BASE_Q) >= target) {
            return true;
        }
    }
    return false;
}

// Whether the pictures of `packet` (in `timeBase`) come so long before `target` (in
// AV_TIME_BASE units) that no picture shown near it can be one of them: a key frame lies
// seconds before the wanted moment, and the pictures no other picture refers to need not be
// decoded on the way there.
bool WellBefore(const AVPacket* packet, AVRational timeBase, int64_t target) {
    const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    return time != AV_NOPTS_VALUE && target != INT64_MIN &&
           av_rescale_q(time, timeBase, AV_TIME_BASE_Q) < target - kSkipUntilBefore;
}

// Decodes from the current read position until a frame at or after `target`; returns the last
// frame decoded, or null when none could be.
FramePtr DecodeUntil(AVFormatContext* input, AVCodecContext* decoder, int stream, int64_t target) {
    AVRational timeBase = input->streams[stream]->time_base;
    PacketPtr packet = MakePacket();
    FramePtr work = MakeFrame();
    FramePtr kept;
    for (int count = 0; count < kMaxPackets; ++count) {
        int ret = av_read_frame(input, packet.get());
        if (ret == AVERROR(EAGAIN)) {
            continue;
        }
        if (ret < 0) {
            break;
        }
        if (packet->stream_index == stream) {
            decoder->skip_frame =
                WellBefore(packet.get(), timeBase, target) ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
            avcodec_send_packet(decoder, packet.get());  // damaged packets are skipped
            if (ReceiveFrames(decoder, timeBase, target, work.get(), kept)) {
                return kept;
            }
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder, nullptr);
    ReceiveFrames(decoder, timeBase, target, work.get(), kept);
    return kept;
}

FramePtr DecodeFrameAt(AVFormatContext* input, int stream, int seconds, std::string& error) {
    CodecContextPtr decoder = OpenDecoder(input->streams[stream], error);
    if (!decoder) {
        return nullptr;
    }
    int64_t start = input->start_time == AV_NOPTS_VALUE ? 0 : input->start_time;
    int64_t offset = int64_t(std::max(seconds, 0)) * AV_TIME_BASE;
    bool shorter = input->duration != AV_NOPTS_VALUE && input->duration <= offset;
    FramePtr frame;
    if (offset > 0 && !shorter) {
        if (av_seek_frame(input, -1, start + offset, AVSEEK_FLAG_BACKWARD) >= 0) {
            avcodec_flush_buffers(decoder.get());
            frame = DecodeUntil(input, decoder.get(), stream, start + offset);
        }
        if (frame) {
            return frame;
        }
        // The seek failed or found nothing behind it: fall back to the first frame.
        avformat_seek_file(input, -1, INT64_MIN, start, start, 0);
        avcodec_flush_buffers(decoder.get());
    }
    frame = DecodeUntil(input, decoder.get(), stream, INT64_MIN);
    if (!frame) {
        error = "No picture could be decoded from the file";
    }
    return frame;
}

// Tells the scaler the matrix and range the frame's YUV was made with. swscale assumes BT.601
// otherwise, which turns the colours of HD pictures (BT.709) wrong; a frame that does not say
// is taken as players take it, BT.709 when HD.
void SetSourceColour(SwsContext* scaler, const AVFrame* frame) {
    int space = frame->colorspace;
    if (space == AVCOL_SPC_UNSPECIFIED || space == AVCOL_SPC_RESERVED) {
        space = frame->height >= 720 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    }
    const bool fullRange =
        frame->color_range == AVCOL_RANGE_JPEG || frame->format == AV_PIX_FMT_YUVJ420P ||
        frame->format == AV_PIX_FMT_YUVJ422P || frame->format == AV_PIX_FMT_YUVJ444P;
    sws_setColorspaceDetails(scaler, sws_getCoefficients(space), fullRange ? 1 : 0,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
}

// The pixel of `rgb` (`width` x `height`, as stored) that shows at (x, y) of the picture turned
// upright by `rotation` clockwise degrees.
const uint8_t* StoredPixel(const std::vector<uint8_t>& rgb, int width, int height, int rotation,
                           int x, int y) {
    int sx = x;
    int sy = y;
    if (rotation == 90) {
        sx = y;
        sy = height - 1 - x;
    } else if (rotation == 180) {
        sx = width - 1 - x;
        sy = height - 1 - y;
    } else if (rotation == 270) {
        sx = width - 1 - y;
        sy = x;
    }
    return &rgb[(size_t(sy) * width + sx) * 3];
}

// Scales `frame` into the picture, centred and keeping the frame's display aspect: its sample
// aspect applied and turned upright by `rotation` clockwise degrees.
bool PaintFrame(const AVFrame* frame, int rotation, Picture& picture) {
    double sar = frame->sample_aspect_ratio.num > 0 && frame->sample_aspect_ratio.den > 0
                     ? av_q2d(frame->sample_aspect_ratio)
                     : 1.0;
    const bool sideways = rotation == 90 || rotation == 270;
    double aspect = frame->width * sar / frame->height;
    if (sideways) {
        aspect = 1 / aspect;
    }
    int width = picture.width;
    int height = int(std::lround(picture.width / aspect));
    if (height > picture.height) {
        height = picture.height;
        width = int(std::lround(picture.height * aspect));
    }
    width = std::clamp(width, 1, picture.width);
    height = std::clamp(height, 1, picture.height);
    // Scaled as stored, then turned while it is small.
    const int scaledWidth = sideways ? height : width;
    const int scaledHeight = sideways ? width : height;
    ScalePtr scaler(sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format),
                                   scaledWidth, scaledHeight, AV_PIX_FMT_RGB24, SWS_BICUBIC,
                                   nullptr, nullptr, nullptr));
    if (!scaler) {
        return false;
    }
    SetSourceColour(scaler.get(), frame);
    std::vector<uint8_t> scaled(size_t(scaledWidth) * scaledHeight * 3);
    uint8_t* dst[4] = {scaled.data()};
    int dstStride[4] = {scaledWidth * 3};
    if (sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride) <=
        0) {
        return false;
    }
    const int left = (picture.width - width) / 2;
    const int top = (picture.height - height) / 2;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* from = StoredPixel(scaled, scaledWidth, scaledHeight, rotation, x, y);
            std::copy(from, from + 3,
                      &picture.rgb[(size_t(top + y) * picture.width + left + x) * 3]);
        }
    }
    return true;
}

// The picture of an audio-only source: a dark blue field with a white note.
void PaintAudioPicture(Picture& picture) {
    const int w = picture.width;
    const int h = picture.height;
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        if (x >= 0 && y >= 0 && x < w && y < h) {
            uint8_t* p = &picture.rgb[(size_t(y) * w + x) * 3];
            p[0] = r;
            p[1] = g;
            p[2] = b;
        }
    };
    for (int y = 0; y < h; ++y) {
        uint8_t shade = uint8_t(70 - 50 * y / std::max(h, 1));
        for (int x = 0; x < w; ++x) {
            put(x, y, uint8_t(shade / 3), uint8_t(shade / 2), shade);
        }
    }
    const int unit = std::max(1, std::min(w, h) / 12);
    const int headX = w / 2 - unit;
    const int headY = h / 2 + 2 * unit;
    for (int y = -unit; y <= unit; ++y) {  // the head: an ellipse
        for (int x = -3 * unit / 2; x <= 3 * unit / 2; ++x) {
            if (4 * x * x + 9 * y * y <= 9 * unit * unit) {
                put(headX + x, headY + y, 235, 235, 235);
            }
        }
    }
    const int stemX = headX + 3 * unit / 2 - std::max(1, unit / 3);
    for (int y = headY - 5 * unit; y <= headY; ++y) {  // the stem and its flag
        for (int x = stemX; x < stemX + std::max(1, unit / 3); ++x) {
            put(x, y, 235, 235, 235);
        }
    }
    for (int i = 0; i < 2 * unit; ++i) {
        for (int t = 0; t < std::max(1, unit / 2); ++t) {
            put(stemX + i, headY - 5 * unit + i + t, 235, 235, 235);
        }
    }
}

}  // namespace

bool CaptureStill(const std::string& path, int seconds, const std::string& size,
                  const std::string& jpegPath, std::string& error) {
    int width = 0;
    int height = 0;
    if (!ParseFrameSize(size, width, height)) {
        error = "Invalid picture size \"" + size + "\"";
        return false;
    }
    InputPtr input = OpenMediaFile(path, nullptr, error);
    if (!input) {
        return false;
    }
    Picture picture(width, height);
    int video = FindVideoStream(input.get());
    if (video >= 0) {
        // Only the video stream is read.
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            input->streams[i]->discard = int(i) == video ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        }
        FramePtr frame = DecodeFrameAt(input.get(), video, seconds, error);
        if (!frame) {
            return false;
        }
        if (!PaintFrame(frame.get(), UprightRotation(input->streams[video]), picture)) {
            error = "Cannot scale the picture";
            return false;
        }
    } else if (FindAudioStream(input.get()) >= 0) {
        PaintAudioPicture(picture);
    } else {
        error = "The file holds no video or audio this program can decode";
        return false;
    }
    return WriteJpegFile(jpegPath, picture.rgb, width, height, error);
}

}  // namespace kivo
