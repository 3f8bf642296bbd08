// Opening a source file and choosing its streams: shared by the probe, the still and the
// conversion so that all three see the same video and audio stream of a file.
#pragma once

#include <string>

#include "LibavPtr.h"

namespace kivo {

// Opens `path` and reads its stream information. `interrupt` may be null; when given, libav
// calls it during blocking reads and gives up when it returns non-zero. Only a regular file
// (or a link to one) is opened: a folder, a pipe or a device is refused at once, without
// waiting for a writer. On failure returns null and sets `error` to a plain sentence, and
// `reason` (a KivoReason) and `systemError` (the errno behind it, or 0) when given.
//
// The file is read through a reader of the engine's own, which turns a file that ends before
// the size it had when it was opened (it shrank while it was read) into an input/output error,
// so that the conversion can tell such a source from one that was read to its end. After any
// read error the input's `pb->error` is negative.
InputPtr OpenMediaFile(const std::string& path, const AVIOInterruptCB* interrupt,
                       std::string& error, int* reason = nullptr, int* systemError = nullptr);

// For tests: the readers of the source at `path` opened after this call fail with an
// input/output error once they have read `bytes` bytes in all; a negative count (the default)
// switches this off. Sources of other paths are read as usual.
void FailSourceReadsAfter(const std::string& path, int64_t bytes);

// Whether av_read_frame's `ret` on `input` means the source could not be read on (an
// input/output error, a source that shrank, a drive or share that went away) rather than its
// end or damage the demuxer cannot get past.
bool SourceReadFailed(const AVFormatContext* input, int ret);

// Index of the main video stream (cover pictures of audio files do not count), or -1. A stream
// whose picture size is not known before decoding counts only with `acceptUndeclared`.
int FindVideoStream(const AVFormatContext* input, bool acceptUndeclared = false);

// Index of the main audio stream, or -1.
int FindAudioStream(const AVFormatContext* input);

// Opens a decoder for `stream` with automatic threading; null when none can be opened.
CodecContextPtr OpenDecoder(const AVStream* stream, std::string& error);

// The stream's frame rate as the file declares it (average rate, else the base rate), or 0/1.
AVRational StreamFrameRate(const AVStream* stream);

}  // namespace kivo
