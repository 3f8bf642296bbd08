#include "Probe.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "MediaInput.h"

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

int DurationSeconds(const AVFormatContext* input) {
    if (input->duration != AV_NOPTS_VALUE && input->duration > 0) {
        int seconds = TrustedSeconds(input->duration);
        if (seconds > 0) {
            return seconds;
        }
    }
    // Some containers give no overall length (or a damaged one): take the longest stream.
    int longest = 0;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream* st = input->streams[i];
        if (st->duration != AV_NOPTS_VALUE && st->duration > 0 && st->time_base.num > 0 &&
            st->time_base.den > 0) {
            // Rescaled with saturation: a damaged length must not wrap around.
            double microseconds = double(st->duration) * av_q2d(st->time_base) * AV_TIME_BASE;
            if (microseconds < double(INT64_MAX)) {
                longest = std::max(longest, TrustedSeconds(int64_t(microseconds)));
            }
        }
    }
    return longest;
}

}  // namespace

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
    result.durationSeconds = DurationSeconds(input.get());
    if (video >= 0) {
        const AVStream* st = input->streams[video];
        result.videoFormat = avcodec_get_name(st->codecpar->codec_id);
        result.width = st->codecpar->width;
        result.height = st->codecpar->height;
        result.fps = float(av_q2d(StreamFrameRate(st)));
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
