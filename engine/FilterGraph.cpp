#include "FilterGraph.h"

#include <cstdio>

#include "Log.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace kivo {

bool BuildFilterGraph(FilterGraph& filters, const char* sourceName, const std::string& sourceArgs,
                      const char* sinkName, const std::string& chain, int threads,
                      std::string& error) {
    const char* const failed = "Cannot set up the picture and sound processing";
    filters.graph.reset(avfilter_graph_alloc());
    if (!filters.graph) {
        error = "Out of memory";
        return false;
    }
    filters.graph->opaque = LogOwnerTag();  // its threads' lines are this call's
    filters.graph->nb_threads = threads;
    int ret = 0;
    if (sourceName) {
        ret = avfilter_graph_create_filter(&filters.source, avfilter_get_by_name(sourceName), "in",
                                           sourceArgs.c_str(), nullptr, filters.graph.get());
    }
    if (ret >= 0) {
        ret = avfilter_graph_create_filter(&filters.sink, avfilter_get_by_name(sinkName), "out",
                                           nullptr, nullptr, filters.graph.get());
    }
    if (ret < 0) {
        error = WithLibavReason(failed, ret);
        return false;
    }
    FilterInOutPtr outputs(avfilter_inout_alloc());
    FilterInOutPtr inputs(avfilter_inout_alloc());
    if (!outputs || !inputs) {
        error = "Out of memory";
        return false;
    }
    outputs->name = av_strdup("in");
    outputs->filter_ctx = filters.source;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = filters.sink;
    if (!sourceName) {
        outputs.reset();  // the chain starts with a generating filter
    }
    AVFilterInOut* outputsRaw = outputs.release();
    AVFilterInOut* inputsRaw = inputs.release();
    ret = avfilter_graph_parse_ptr(filters.graph.get(), chain.c_str(), &inputsRaw, &outputsRaw,
                                   nullptr);
    avfilter_inout_free(&inputsRaw);
    avfilter_inout_free(&outputsRaw);
    if (ret >= 0) {
        ret = avfilter_graph_config(filters.graph.get(), nullptr);
    }
    if (ret < 0) {
        error = WithLibavReason(failed, ret);
        return false;
    }
    return true;
}

std::string PictureSourceArgs(int width, int height, int format, AVRational timeBase,
                              AVRational aspect) {
    AVRational sar = aspect.num > 0 && aspect.den > 0 ? aspect : AVRational{1, 1};
    char text[256];
    std::snprintf(text, sizeof text,
                  "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", width, height,
                  format, timeBase.num, timeBase.den, sar.num, sar.den);
    return text;
}

std::string SoundSourceArgs(int sampleRate, int sampleFormat, const AVChannelLayout& layout) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "time_base=1/%d:sample_rate=%d:sample_fmt=%s:channel_layout=%s", sampleRate,
                  sampleRate, av_get_sample_fmt_name(AVSampleFormat(sampleFormat)),
                  LayoutName(layout).c_str());
    return text;
}

std::string LayoutName(const AVChannelLayout& layout) {
    char text[128] = {};
    av_channel_layout_describe(&layout, text, sizeof text);
    return text;
}

}  // namespace kivo
