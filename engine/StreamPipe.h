// One source stream on its way through a conversion: decoder, filter graph, encoder and the
// output stream, with the rules that place each decoded frame on the output's timeline.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "FilterGraph.h"
#include "LibavPtr.h"
#include "OutputMuxer.h"
#include "Timeline.h"

namespace kivo {

struct StreamPipe {
    bool sound = false;
    int inputIndex = -1;
    CodecContextPtr decoder;
    FilterGraph filters;
    CodecContextPtr encoder;
    MuxedStream* muxed = nullptr;
    std::atomic<bool> filterDone{false};  // the filter graph has given its last frame
    int64_t startOffset = 0;              // the source's start time, in the stream's time base
    // Until the first frame at the start (-ss) is placed, frames that end before it are left
    // out; a picture that shows at the start is moved to it (the graph cuts the sound).
    bool cutBeforeStart = false;
    int64_t nextAudioPts = AV_NOPTS_VALUE;
    int64_t nextVideoPts = AV_NOPTS_VALUE;
    std::optional<StreamTimeline> timeline;  // made on the first decoded frame
    long long framesEncoded = 0;             // decoded source frames that reached the encoder
    long long wholePictures = 0;  // decoded pictures the decoder did not have to patch up
    // Where the last placed picture ends, in the source stream's time base: the end the
    // picture's processing is given, so that the last picture (or the only one) keeps its
    // whole duration.
    int64_t pictureEnd = AV_NOPTS_VALUE;
    // A generated track (black picture or silence) for a container that needs both kinds.
    bool generated = false;
    double generatedSeconds = 0;
    AVRational frameStep{1, 25};  // one source picture's duration
    // Work buffers of this stream, so that two streams can be converted on two threads.
    FramePtr decoded = MakeFrame();
    FramePtr filtered = MakeFrame();
    PacketPtr encoded = MakePacket();

    // Sets `frame->pts` to the decoded frame's place on the output's timeline (in samples for
    // sound, in the source stream's time base `timeBase` for pictures), or to
    // StreamTimeline::kDrop when it is to be left out.
    void PlaceDecoded(AVFrame* frame, AVRational timeBase);
};

}  // namespace kivo
