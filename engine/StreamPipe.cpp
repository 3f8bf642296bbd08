#include "StreamPipe.h"

#include <algorithm>

namespace kivo {
namespace {

// A jump of more than this between neighbouring frames of a stream is damage, not a pause.
constexpr int kMaxTimestampGapSeconds = 3;
// A stream that begins later than this after the other one is damage too.
constexpr int kLatestStartSeconds = 60;

}  // namespace

void StreamPipe::PlaceDecoded(AVFrame* frame, AVRational timeBase) {
    const int64_t ts = frame->best_effort_timestamp;
    if (sound) {
        AVRational sampleTb{1, frame->sample_rate};
        int64_t pts = ts == AV_NOPTS_VALUE ? nextAudioPts
                                           : av_rescale_q(ts - startOffset, timeBase, sampleTb);
        if (pts == AV_NOPTS_VALUE) {
            pts = 0;
        }
        nextAudioPts = pts + frame->nb_samples;
        if (cutBeforeStart) {
            if (pts + frame->nb_samples <= 0) {
                frame->pts = StreamTimeline::kDrop;
                return;
            }
            cutBeforeStart = false;
        }
        if (!timeline) {
            timeline.emplace(int64_t(kMaxTimestampGapSeconds) * frame->sample_rate,
                             int64_t(kLatestStartSeconds) * frame->sample_rate, true);
        }
        frame->pts = timeline->Place(pts, frame->nb_samples);
        return;
    }
    // Pictures without a time (packed B-frames in AVI) follow the one before.
    int64_t pts = ts == AV_NOPTS_VALUE ? nextVideoPts : ts - startOffset;
    if (pts == AV_NOPTS_VALUE) {
        pts = 0;
    }
    int64_t step = std::max<int64_t>(1, av_rescale_q(1, frameStep, timeBase));
    nextVideoPts = pts + step;
    if (cutBeforeStart) {
        if (pts + step <= 0) {
            frame->pts = StreamTimeline::kDrop;
            return;
        }
        pts = std::max<int64_t>(pts, 0);
        cutBeforeStart = false;
    }
    if (!timeline) {
        timeline.emplace(av_rescale_q(kMaxTimestampGapSeconds, AVRational{1, 1}, timeBase),
                         av_rescale_q(kLatestStartSeconds, AVRational{1, 1}, timeBase), false);
    }
    frame->pts = timeline->Place(pts, step);
    if (frame->pts != StreamTimeline::kDrop) {
        pictureEnd = frame->pts + step;
    }
}

}  // namespace kivo
