// Owning pointers for the libav objects the engine uses, so that every path out of a probe,
// a still or a conversion frees exactly what was set up, however far set-up got.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace kivo {

// Frees a source reader made by OpenMediaFile (MediaInput.cpp); null does nothing.
void CloseSourceReader(AVIOContext* reader);

struct InputCloser {
    void operator()(AVFormatContext* ctx) const {
        // A reader of the engine's own is not closed with the context.
        AVIOContext* reader = ctx && (ctx->flags & AVFMT_FLAG_CUSTOM_IO) ? ctx->pb : nullptr;
        avformat_close_input(&ctx);
        CloseSourceReader(reader);
    }
};
struct OutputCloser {
    void operator()(AVFormatContext* ctx) const {
        if (ctx && !(ctx->oformat->flags & AVFMT_NOFILE)) {
            avio_closep(&ctx->pb);
        }
        avformat_free_context(ctx);
    }
};
struct CodecContextFree {
    void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FilterGraphFree {
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
struct ScaleFree {
    void operator()(SwsContext* ctx) const { sws_freeContext(ctx); }
};
struct BitstreamFilterFree {
    void operator()(AVBSFContext* ctx) const { av_bsf_free(&ctx); }
};
struct FilterInOutFree {
    void operator()(AVFilterInOut* io) const { avfilter_inout_free(&io); }
};

using InputPtr = std::unique_ptr<AVFormatContext, InputCloser>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputCloser>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphFree>;
using ScalePtr = std::unique_ptr<SwsContext, ScaleFree>;
using BitstreamFilterPtr = std::unique_ptr<AVBSFContext, BitstreamFilterFree>;
using FilterInOutPtr = std::unique_ptr<AVFilterInOut, FilterInOutFree>;

inline FramePtr MakeFrame() {
    return FramePtr(av_frame_alloc());
}
inline PacketPtr MakePacket() {
    return PacketPtr(av_packet_alloc());
}

}  // namespace kivo
