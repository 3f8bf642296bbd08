#include "MediaInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>

#include "Log.h"
#include "kivoengine.h"

namespace kivo {
namespace {

constexpr int kReaderBufferSize = 64 * 1024;

// The tests' failing source: only readers of this path fail, so that conversions of other files
// running beside it are not touched.
struct FailingSource {
    std::mutex mutex;
    std::string path;
    int64_t bytes = -1;
};
FailingSource g_failingSource;

int64_t FailAfter(const std::string& path) {
    std::lock_guard lock(g_failingSource.mutex);
    return path == g_failingSource.path ? g_failingSource.bytes : -1;
}

// The engine's reader of a source, on the file's descriptor: only a regular file is read, so
// no open or read can wait for a writer (a pipe) or for ever (a device), and the checks the
// conversion needs to tell a source read to its end from one that could not be read on.
struct SourceReader {
    int fd = -1;
    int64_t openedSize = -1;  // the file's size when it was opened; negative when unknown
    int64_t failAfter = -1;   // for tests: the bytes readable before an input/output error
    int64_t bytesRead = 0;
};

int ReadSource(void* opaque, uint8_t* buffer, int size) {
    auto* reader = static_cast<SourceReader*>(opaque);
    if (reader->failAfter >= 0) {
        const int64_t left = reader->failAfter - reader->bytesRead;
        if (left <= 0) {
            return AVERROR(EIO);
        }
        size = int(std::min<int64_t>(size, left));
    }
    ssize_t n;
    do {
        n = ::read(reader->fd, buffer, size_t(size));
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        reader->bytesRead += n;
        return int(n);
    }
    if (n < 0) {
        return AVERROR(errno);
    }
    // The end came before the size the file had when it was opened: it shrank under us.
    if (reader->openedSize > 0 && ::lseek(reader->fd, 0, SEEK_CUR) < reader->openedSize) {
        return AVERROR(EIO);
    }
    return AVERROR_EOF;
}

int64_t SeekSource(void* opaque, int64_t offset, int whence) {
    auto* reader = static_cast<SourceReader*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) {
        struct stat info;
        return ::fstat(reader->fd, &info) == 0 ? int64_t(info.st_size) : AVERROR(errno);
    }
    const off_t position = ::lseek(reader->fd, off_t(offset), whence);
    return position < 0 ? AVERROR(errno) : int64_t(position);
}

// Opens the engine's reader of `path`; null with `error`, `reason` (a KivoReason) and
// `systemError` set when the file cannot be opened or is no regular file.
AVIOContext* OpenSourceReader(const std::string& path, std::string& error, int& reason,
                              int& systemError) {
    // Without O_NONBLOCK opening a pipe waits for a writer, beyond any stop.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        systemError = errno;
        reason = systemError == ENOENT ? KIVO_REASON_SOURCE_MISSING : KIVO_REASON_SOURCE_UNREADABLE;
        error = std::string("Cannot open the file (") + std::strerror(systemError) + ")";
        return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        reason = KIVO_REASON_SOURCE_NOT_A_FILE;
        error = "It is not a regular file (a folder, a pipe or a device)";
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto reader = std::make_unique<SourceReader>();
    reader->fd = fd;
    reader->failAfter = FailAfter(path);
    reader->openedSize = int64_t(info.st_size);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kReaderBufferSize));
    AVIOContext* pb = buffer ? avio_alloc_context(buffer, kReaderBufferSize, 0, reader.get(),
                                                  &ReadSource, nullptr, &SeekSource)
                             : nullptr;
    if (!pb) {
        av_free(buffer);
        ::close(fd);
        reason = KIVO_REASON_OTHER;
        error = "Out of memory";
        return nullptr;
    }
    reader.release();  // owned by the context from now on
    return pb;
}

}  // namespace

void CloseSourceReader(AVIOContext* pb) {
    if (!pb) {
        return;
    }
    auto* reader = static_cast<SourceReader*>(pb->opaque);
    if (reader) {
        ::close(reader->fd);
        delete reader;
    }
    av_freep(&pb->buffer);
    avio_context_free(&pb);
}

void FailSourceReadsAfter(const std::string& path, int64_t bytes) {
    std::lock_guard lock(g_failingSource.mutex);
    g_failingSource.path = bytes < 0 ? std::string() : path;
    g_failingSource.bytes = bytes;
}

namespace {

InputPtr OpenWithOptions(const std::string& path, const AVIOInterruptCB* interrupt,
                         bool ignoreEditList, std::string& error, int& reason, int& systemError) {
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        error = "Out of memory";
        return nullptr;
    }
    if (interrupt) {
        raw->interrupt_callback = *interrupt;
    }
    AVIOContext* reader = OpenSourceReader(path, error, reason, systemError);
    if (!reader) {
        avformat_free_context(raw);
        return nullptr;
    }
    raw->pb = reader;
    ClearLastError();
    AVDictionary* options = nullptr;
    if (ignoreEditList) {
        av_dict_set(&options, "ignore_editlist", "1", 0);
    }
    int ret = avformat_open_input(&raw, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (ret < 0) {
        // avformat_open_input frees the context on failure, but not a reader of our own.
        CloseSourceReader(reader);
        // A file libav recognised but could not read says why in its log ("moov atom not
        // found"); a file of no known kind says nothing.
        const std::string why = LastErrorLine();
        reason = KIVO_REASON_SOURCE_DAMAGED;
        error = ret != AVERROR_INVALIDDATA ? "Cannot open the file (" + ErrorText(ret) + ")"
                : why.empty()              ? "The file is not a media file this program can read"
                                           : "The file is damaged (" + why + ")";
        return nullptr;
    }
    InputPtr input(raw);
    ret = avformat_find_stream_info(input.get(), nullptr);
    if (ret < 0) {
        reason = KIVO_REASON_SOURCE_DAMAGED;
        error = "Cannot read the streams of the file (" + ErrorText(ret) + ")";
        return nullptr;
    }
    return input;
}

// An MP4 whose edit list cannot be applied (a damaged movie header) gives no samples at all,
// so not even the picture format can be found: its samples are then read as they are stored.
bool EditListHidesThePictures(const AVFormatContext* input) {
    if (std::string(input->iformat->name).rfind("mov,", 0) != 0) {
        return false;
    }
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVCodecParameters* par = input->streams[i]->codecpar;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO && par->format == AV_PIX_FMT_NONE &&
            input->streams[i]->nb_frames > 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

InputPtr OpenMediaFile(const std::string& path, const AVIOInterruptCB* interrupt,
                       std::string& error, int* reason, int* systemError) {
    int why = KIVO_REASON_NONE;
    int code = 0;
    InputPtr input = OpenWithOptions(path, interrupt, false, error, why, code);
    if (reason) {
        *reason = why;
    }
    if (systemError) {
        *systemError = code;
    }
    if (input && EditListHidesThePictures(input.get())) {
        std::string ignored;
        if (InputPtr plain = OpenWithOptions(path, interrupt, true, ignored, why, code)) {
            return plain;
        }
    }
    return input;
}

int FindVideoStream(const AVFormatContext* input, bool acceptUndeclared) {
    int best = -1;
    int64_t bestPixels = -1;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream* st = input->streams[i];
        if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO ||
            (st->disposition & AV_DISPOSITION_ATTACHED_PIC) ||
            (st->codecpar->width <= 0 && !acceptUndeclared) ||
            !avcodec_find_decoder(st->codecpar->codec_id)) {
            continue;
        }
        int64_t pixels = int64_t(st->codecpar->width) * st->codecpar->height;
        if (pixels > bestPixels) {
            best = int(i);
            bestPixels = pixels;
        }
    }
    return best;
}

int FindAudioStream(const AVFormatContext* input) {
    int ret = av_find_best_stream(const_cast<AVFormatContext*>(input), AVMEDIA_TYPE_AUDIO, -1, -1,
                                  nullptr, 0);
    if (ret < 0) {
        return -1;
    }
    const AVCodecParameters* par = input->streams[ret]->codecpar;
    if (par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0 ||
        !avcodec_find_decoder(par->codec_id)) {
        return -1;
    }
    return ret;
}

CodecContextPtr OpenDecoder(const AVStream* stream, std::string& error) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) {
        error = std::string("No decoder for ") + avcodec_get_name(stream->codecpar->codec_id);
        return nullptr;
    }
    CodecContextPtr ctx(avcodec_alloc_context3(codec));
    if (!ctx) {
        error = "Out of memory";
        return nullptr;
    }
    int ret = avcodec_parameters_to_context(ctx.get(), stream->codecpar);
    if (ret >= 0) {
        ctx->pkt_timebase = stream->time_base;
        ctx->opaque = LogOwnerTag();  // its frame threads' lines are this call's
        ctx->thread_count = 0;        // one thread per core, as the ffmpeg tool does
        ctx->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        ret = avcodec_open2(ctx.get(), codec, nullptr);
    }
    if (ret < 0) {
        error = std::string("Cannot open the ") + avcodec_get_name(stream->codecpar->codec_id) +
                " decoder (" + ErrorText(ret) + ")";
        return nullptr;
    }
    return ctx;
}

AVRational StreamFrameRate(const AVStream* stream) {
    AVRational rate = stream->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) {
        rate = stream->r_frame_rate;
    }
    if (rate.num <= 0 || rate.den <= 0) {
        return AVRational{0, 1};
    }
    return rate;
}

bool SourceReadFailed(const AVFormatContext* input, int ret) {
    // Demuxers often report a failed read as the end of the file, so the reader's own error
    // decides first.
    const int readerError = input->pb ? input->pb->error : 0;
    for (int code : {ret, readerError}) {
        if (code == AVERROR(EIO) || code == AVERROR(ENXIO) || code == AVERROR(ENODEV) ||
            code == AVERROR(ENOENT) || code == AVERROR(ESTALE) || code == AVERROR(ETIMEDOUT) ||
            code == AVERROR(ECONNRESET) || code == AVERROR(EPIPE)) {
            return true;
        }
    }
    return false;
}

}  // namespace kivo
