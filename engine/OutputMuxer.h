// The conversion's output: the container, one stream per encoder, the header, the packets (through
// the bit-exact filter where there is one) and the trailer, written to a temporary file that takes
// the target's name only when it is complete. The picture's and the sound's threads both write.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Arguments.h"
#include "LibavPtr.h"
#include "Log.h"

namespace kivo {

// One stream of the output as its encoder writes to it.
struct MuxedStream {
    AVStream* stream = nullptr;
    AVRational encoderTimeBase{1, 1};
    BitstreamFilterPtr bitstreamFilter;  // strips the encoder's version note when bit-exact
    PacketPtr stripped = MakePacket();
    std::atomic<long long> packetsWritten{0};  // packets the muxer has taken
};

class OutputMuxer {
public:
    explicit OutputMuxer(FirstFailure& failure) : failure_(failure) {}
    ~OutputMuxer();
    OutputMuxer(const OutputMuxer&) = delete;
    OutputMuxer& operator=(const OutputMuxer&) = delete;

    // Checks the output folder and an existing target (unless it may be overwritten) and picks
    // the container from the format's name or the target's extension.
    bool Open(const ConversionArguments& args);
    // The muxer's name, such as "psp" or "mp4".
    std::string ContainerName() const;
    // Whether encoders must put their headers in the container rather than in the stream.
    bool WantsGlobalHeader() const;

    // A stream for the opened `encoder`; null after a failure.
    MuxedStream* AddStream(const AVCodecContext* encoder);
    // libx264 writes its version and settings into the first picture; a bit-exact output
    // leaves that note out. Does nothing for other codecs or without `bitexact`.
    bool StripVersionNote(MuxedStream& muxed, const AVCodecContext* encoder, bool bitexact);

    // Keeps the source's descriptive tags (title, artist, album ...) in the output; the
    // container writes those it has a place for. Called before Start.
    void CopyTags(const AVFormatContext* input);
    // Carries the source's cover picture (an attached JPEG, PNG or BMP picture, as MP3 and M4A
    // files hold one) into an output without a picture track whose container holds a cover
    // (MP4); does nothing otherwise. Called before Start; false after a failure.
    bool AddCover(const AVFormatContext* input);

    // Creates the temporary file and writes the header (and the cover).
    bool Start();
    // Writes an encoded packet (in the encoder's time base); may be called from two threads.
    bool Write(MuxedStream& muxed, AVPacket* packet);
    // Writes what the bit-exact filter still holds, once the stream's encoder is drained.
    bool EndStream(MuxedStream& muxed);
    // Writes the trailer and closes the file.
    bool Finish();
    // Gives the complete file the target's name. Without overwrite an existing file of that
    // name is never replaced: the file is kept under a free name beside it (KeptPath) and the
    // commit fails. After any other failure the temporary file is deleted.
    bool Commit();
    // Where a complete file was kept when its target's name was taken; empty otherwise.
    std::string KeptPath() const;
    void Discard();

private:
    bool WriteOne(MuxedStream& muxed, AVPacket* packet);
    bool WriteFiltered(MuxedStream& muxed);

    FirstFailure& failure_;
    std::string target_;
    std::string temporary_;
    std::string source_;
    std::string keptPath_;
    bool replace_ = false;
    bool temporaryCreated_ = false;
    OutputPtr output_;
    std::mutex mutex_;  // the muxer is shared by the picture's and the sound's thread
    std::vector<std::unique_ptr<MuxedStream>> streams_;
    AVStream* cover_ = nullptr;  // the cover picture's stream, when there is one
    PacketPtr coverPicture_;
};

}  // namespace kivo
