#include "Probe.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "MediaInput.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

namespace kivo {

int TrustedSeconds(int64_t microseconds) {
    if (microseconds <= 0 || microseconds / AV_TIME_BASE > INT32_MAX) {
        return 0;
    }
    return int(microseconds / AV_TIME_BASE);
}

void ClampProbeValues(ProbeResult& result) {
    auto clampInt = [](int& value, int highest) { value = std::clamp(value, 0, highest); };
    auto clampFloat = [](float& value, float highest) {
        value = std::isfinite(value) ? std::clamp(value, 0.0f, highest) : 0.0f;
    };
    clampInt(result.durationSeconds, INT32_MAX);
    clampInt(result.width, kMaxPictureSide);
    clampInt(result.height, kMaxPictureSide);
    clampFloat(result.fps, kMaxFramesPerSecond);
    clampFloat(result.audioKbps, kMaxAudioKbps);
    clampInt(result.sampleRate, kMaxSampleRate);
    clampInt(result.channels, kMaxChannels);
}

namespace {

// A length the record's signed 32-bit seconds can hold; anything else is damage.
bool Trusted(int64_t microseconds) {
    return microseconds > 0 && microseconds / AV_TIME_BASE <= INT32_MAX;
}

// The length in microseconds, or 0 when unknown or untrustworthy.
int64_t DurationMicroseconds(const AVFormatContext* input) {
    if (input->duration != AV_NOPTS_VALUE && Trusted(input->duration)) {
        return input->duration;
    }
    // Some containers give no overall length (or a damaged one): take the longest stream.
    int64_t longest = 0;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream* st = input->streams[i];
        if (st->duration != AV_NOPTS_VALUE && st->duration > 0 && st->time_base.num > 0 &&
            st->time_base.den > 0) {
            // Rescaled with saturation: a damaged length must not wrap around.
            double microseconds = double(st->duration) * av_q2d(st->time_base) * AV_TIME_BASE;
            if (microseconds < double(INT64_MAX) && Trusted(int64_t(microseconds))) {
                longest = std::max(longest, int64_t(microseconds));
            }
        }
    }
    return longest;
}

}  // namespace

bool InterlacedFieldOrder(int order) {
    return order == AV_FIELD_TT || order == AV_FIELD_BB || order == AV_FIELD_TB ||
           order == AV_FIELD_BT;
}

int UprightRotation(const AVStream* stream) {
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t)) {
        return 0;
    }
    // av_display_rotation_get gives the counter-clockwise angle the matrix turns by.
    const double angle = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (std::isnan(angle)) {
        return 0;
    }
    const int quarterTurns = int(std::lround(-angle / 90.0));
    return ((quarterTurns % 4) + 4) % 4 * 90;
}

void DisplaySize(int width, int height, int sarNum, int sarDen, int rotation, int& displayWidth,
                 int& displayHeight) {
    displayWidth = width;
    displayHeight = height;
    if (width <= 0 || height <= 0) {
        displayWidth = displayHeight = 0;
        return;
    }
    if (sarNum > 0 && sarDen > 0 && sarNum != sarDen) {
        // A damaged header's absurd aspect must not overflow: the width stays in the range a
        // probe reports.
        const double stretched = std::min(double(width) * sarNum / sarDen, double(kMaxPictureSide));
        displayWidth = std::max(int(std::lround(stretched / 2)) * 2, 2);
    }
    if (rotation == 90 || rotation == 270) {
        std::swap(displayWidth, displayHeight);
    }
}

bool ProbeFile(const std::string& path, ProbeResult& result, std::string& error) {
    result = ProbeResult{};
    InputPtr input = OpenMediaFile(path, nullptr, error);
    if (!input) {
        return false;
    }
    int video = FindVideoStream(input.get());
    int audio = FindAudioStream(input.get());
    if (video < 0 && audio < 0) {
        error = "The file holds no video or audio this program can decode";
        return false;
    }
    const int64_t microseconds = DurationMicroseconds(input.get());
    result.durationSeconds = TrustedSeconds(microseconds);
    result.exactSeconds = double(microseconds) / AV_TIME_BASE;
    if (video >= 0) {
        const AVStream* st = input->streams[video];
        const AVCodecParameters* par = st->codecpar;
        result.videoFormat = avcodec_get_name(par->codec_id);
        result.width = par->width;
        result.height = par->height;
        result.fps = float(av_q2d(StreamFrameRate(st)));
        AVRational sar =
            av_guess_sample_aspect_ratio(input.get(), const_cast<AVStream*>(st), nullptr);
        if (sar.num > 0 && sar.den > 0) {
            av_reduce(&result.sampleAspectNum, &result.sampleAspectDen, sar.num, sar.den, 1 << 16);
        }
        result.rotation = UprightRotation(st);
        DisplaySize(result.width, result.height, result.sampleAspectNum, result.sampleAspectDen,
                    result.rotation, result.displayWidth, result.displayHeight);
        result.interlaced = InterlacedFieldOrder(par->field_order);
        const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(par->format));
        result.bitDepth = format ? format->comp[0].depth : 0;
        result.colourSpace = par->color_space;
        result.colourPrimaries = par->color_primaries;
        result.colourTransfer = par->color_trc;
        result.frameCount = st->nb_frames > 0 && st->nb_frames < INT32_MAX ? int(st->nb_frames) : 0;
    }
    if (audio >= 0) {
        const AVCodecParameters* par = input->streams[audio]->codecpar;
        result.audioFormat = avcodec_get_name(par->codec_id);
        result.audioKbps = par->bit_rate > 0 ? float(par->bit_rate / 1000) : 0.0f;
        result.sampleRate = par->sample_rate;
        result.channels = par->ch_layout.nb_channels;
    }
    ClampProbeValues(result);
    return true;
}

}  // namespace kivo
