#include "Probe.h"

#include <algorithm>

#include "MediaInput.h"

namespace kivo {
namespace {

int DurationSeconds(const AVFormatContext* input) {
    if (input->duration != AV_NOPTS_VALUE && input->duration > 0) {
        return int(input->duration / AV_TIME_BASE);
    }
    // Some containers give no overall length: take the longest stream.
    int64_t longest = 0;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream* st = input->streams[i];
        if (st->duration != AV_NOPTS_VALUE && st->duration > 0) {
            longest = std::max(longest, av_rescale_q(st->duration, st->time_base, AV_TIME_BASE_Q));
        }
    }
    return int(longest / AV_TIME_BASE);
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
        result.audioKbps = float(par->bit_rate / 1000);
        result.sampleRate = par->sample_rate;
        result.channels = par->ch_layout.nb_channels;
    }
    return true;
}

}  // namespace kivo
