// A filter graph made from a chain's text, between the buffer the decoded frames go in at and
// the sink the processed ones come out of: the picture's and the sound's processing of a
// conversion, and the black picture or silence it generates.
#pragma once

#include <string>

#include "LibavPtr.h"

namespace kivo {

struct FilterGraph {
    FilterGraphPtr graph;
    AVFilterContext* source = nullptr;  // null for a chain that starts with a generating filter
    AVFilterContext* sink = nullptr;
};

// Builds `chain` from the source filter `sourceName` (set up with `sourceArgs`; null: the chain
// generates its own frames) to the sink `sinkName`, with the filters on the calling thread.
// On failure returns false and sets `error` to a plain sentence with libav's reason.
bool BuildFilterGraph(FilterGraph& filters, const char* sourceName, const std::string& sourceArgs,
                      const char* sinkName, const std::string& chain, int threads,
                      std::string& error);

// The buffer source's settings for pictures and for sound.
std::string PictureSourceArgs(int width, int height, int format, AVRational timeBase,
                              AVRational aspect);
std::string SoundSourceArgs(int sampleRate, int sampleFormat, const AVChannelLayout& layout);

// libav's name of a channel layout, such as "stereo".
std::string LayoutName(const AVChannelLayout& layout);

}  // namespace kivo
