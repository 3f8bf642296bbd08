#include "OutputMuxer.h"

#include <cerrno>
#include <cstring>

#include "OutputFile.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace kivo {

OutputMuxer::~OutputMuxer() {
    Discard();
}

bool OutputMuxer::Open(const ConversionArguments& args) {
    int folderError = 0;
    if (!ParentFolderExists(args.output, &folderError)) {
        if (folderError == ENOENT) {
            return failure_.Fail(KIVO_REASON_OUTPUT_FOLDER_MISSING,
                                 "The output folder does not exist", folderError);
        }
        return failure_.Fail(
            ReasonOfWriteError(folderError, KIVO_REASON_OUTPUT_NOT_WRITABLE),
            std::string("Cannot use the output folder (") + std::strerror(folderError) + ")",
            folderError);
    }
    // Overwriting never reaches the source: a conversion would destroy what it reads.
    if (SameFile(args.input, args.output)) {
        return failure_.Fail(KIVO_REASON_OUTPUT_IS_SOURCE, "The output file is the source itself");
    }
    if (!args.overwrite && PathExists(args.output)) {
        return failure_.Fail(KIVO_REASON_OUTPUT_EXISTS, "The output file already exists", EEXIST);
    }
    const AVOutputFormat* format = nullptr;
    if (!args.format.empty()) {
        format = av_guess_format(args.format.c_str(), nullptr, nullptr);
        if (!format) {
            return failure_.Fail(KIVO_REASON_SETTINGS_REFUSED,
                                 "Unknown output format \"" + args.format + "\"");
        }
    } else {
        format = av_guess_format(nullptr, args.output.c_str(), nullptr);
        if (!format) {
            return failure_.Fail(
                KIVO_REASON_SETTINGS_REFUSED,
                "No output format is known for the file name " + FileNamePart(args.output));
        }
    }
    AVFormatContext* raw = nullptr;
    int ret = avformat_alloc_output_context2(&raw, format, nullptr, args.output.c_str());
    if (ret < 0 || !raw) {
        return failure_.FailWriting(KIVO_REASON_ENCODING_FAILED, "Cannot prepare the output", ret);
    }
    output_.reset(raw);
    target_ = args.output;
    source_ = args.input;
    replace_ = args.overwrite;
    if (args.bitexact) {
        output_->flags |= AVFMT_FLAG_BITEXACT;
    }
    return true;
}

std::string OutputMuxer::ContainerName() const {
    return output_->oformat->name;
}

bool OutputMuxer::WantsGlobalHeader() const {
    return output_->oformat->flags & AVFMT_GLOBALHEADER;
}

MuxedStream* OutputMuxer::AddStream(const AVCodecContext* encoder) {
    auto muxed = std::make_unique<MuxedStream>();
    muxed->stream = avformat_new_stream(output_.get(), nullptr);
    if (!muxed->stream) {
        failure_.Fail(KIVO_REASON_OTHER, "Out of memory");
        return nullptr;
    }
    muxed->encoderTimeBase = encoder->time_base;
    muxed->stream->time_base = encoder->time_base;
    int ret = avcodec_parameters_from_context(muxed->stream->codecpar, encoder);
    if (ret < 0) {
        failure_.FailWriting(KIVO_REASON_ENCODING_FAILED, "Cannot prepare the output", ret);
        return nullptr;
    }
    // The container chooses its own tag for the codec (for example mp4v for MPEG-4).
    muxed->stream->codecpar->codec_tag = 0;
    streams_.push_back(std::move(muxed));
    return streams_.back().get();
}

bool OutputMuxer::StripVersionNote(MuxedStream& muxed, const AVCodecContext* encoder,
                                   bool bitexact) {
    if (!bitexact || !encoder || encoder->codec_id != AV_CODEC_ID_H264) {
        return true;
    }
    const AVBitStreamFilter* filter = av_bsf_get_by_name("filter_units");
    AVBSFContext* raw = nullptr;
    if (!filter || av_bsf_alloc(filter, &raw) < 0) {
        return failure_.Fail(KIVO_REASON_ENCODING_FAILED, "Cannot prepare the bit-exact output");
    }
    muxed.bitstreamFilter.reset(raw);
    avcodec_parameters_copy(raw->par_in, muxed.stream->codecpar);
    raw->time_base_in = encoder->time_base;
    av_opt_set(raw->priv_data, "remove_types", "6", 0);
    int ret = av_bsf_init(raw);
    if (ret < 0) {
        return failure_.FailWriting(KIVO_REASON_ENCODING_FAILED,
                                    "Cannot prepare the bit-exact output", ret);
    }
    avcodec_parameters_copy(muxed.stream->codecpar, raw->par_out);
    muxed.stream->codecpar->codec_tag = 0;
    return true;
}

void OutputMuxer::CopyTags(const AVFormatContext* input) {
    // What describes the work, not how the source was made (its encoder's name stays out).
    static const char* const kKept[] = {"title",    "artist",  "album_artist", "album",
                                        "composer", "genre",   "date",         "track",
                                        "disc",     "comment", "copyright"};
    for (const char* key : kKept) {
        if (const AVDictionaryEntry* tag = av_dict_get(input->metadata, key, nullptr, 0)) {
            av_dict_set(&output_->metadata, key, tag->value, 0);
        }
    }
}

bool OutputMuxer::AddCover(const AVFormatContext* input) {
    const std::string container = ContainerName();
    if (container != "mp4" && container != "ipod" && container != "mov") {
        return true;  // 3GP and the PSP's container keep no cover
    }
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream* st = input->streams[i];
        const AVCodecID codec = st->codecpar->codec_id;
        if (!(st->disposition & AV_DISPOSITION_ATTACHED_PIC) || st->attached_pic.size <= 0 ||
            (codec != AV_CODEC_ID_MJPEG && codec != AV_CODEC_ID_PNG && codec != AV_CODEC_ID_BMP)) {
            continue;
        }
        cover_ = avformat_new_stream(output_.get(), nullptr);
        coverPicture_ = MakePacket();
        if (!cover_ || !coverPicture_ ||
            avcodec_parameters_copy(cover_->codecpar, st->codecpar) < 0 ||
            av_packet_ref(coverPicture_.get(), &st->attached_pic) < 0) {
            return failure_.Fail(KIVO_REASON_OTHER, "Out of memory");
        }
        cover_->codecpar->codec_tag = 0;
        cover_->disposition = AV_DISPOSITION_ATTACHED_PIC;
        cover_->time_base = AVRational{1, 90000};
        return true;
    }
    return true;
}

bool OutputMuxer::Start() {
    // What a killed conversion left in this folder goes before a new partial file comes.
    RemoveStalePartialFiles(target_);
    temporary_ = TemporaryPathFor(target_);
    int ret = avio_open(&output_->pb, temporary_.c_str(), AVIO_FLAG_WRITE);
    if (ret < 0) {
        return failure_.Fail(ReasonOfWriteError(AVUNERROR(ret), KIVO_REASON_OUTPUT_NOT_WRITABLE),
                             "Cannot write in the output folder (" + ErrorText(ret) + ")",
                             AVUNERROR(ret));
    }
    temporaryCreated_ = true;
    ClearLastError();
    ret = avformat_write_header(output_.get(), nullptr);
    if (ret < 0) {
        return failure_.FailWriting(KIVO_REASON_ENCODING_FAILED, "Cannot start the output file",
                                    ret);
    }
    if (cover_) {
        // The muxer keeps the picture and writes it with the tags at the end.
        coverPicture_->stream_index = cover_->index;
        coverPicture_->pts = coverPicture_->dts = 0;
        ret = av_write_frame(output_.get(), coverPicture_.get());
        if (ret < 0) {
            return failure_.FailWriting(KIVO_REASON_ENCODING_FAILED,
                                        "Cannot write the cover picture", ret);
        }
    }
    return true;
}

bool OutputMuxer::WriteOne(MuxedStream& muxed, AVPacket* packet) {
    packet->stream_index = muxed.stream->index;
    av_packet_rescale_ts(packet, muxed.encoderTimeBase, muxed.stream->time_base);
    std::lock_guard lock(mutex_);
    int ret = av_interleaved_write_frame(output_.get(), packet);
    if (ret < 0) {
        return failure_.FailWriting(KIVO_REASON_ENCODING_FAILED, "Cannot write the output file",
                                    ret);
    }
    ++muxed.packetsWritten;
    return true;
}

bool OutputMuxer::Write(MuxedStream& muxed, AVPacket* packet) {
    if (!muxed.bitstreamFilter) {
        return WriteOne(muxed, packet);
    }
    int ret = av_bsf_send_packet(muxed.bitstreamFilter.get(), packet);
    if (ret < 0) {
        return failure_.FailWriting(KIVO_REASON_ENCODING_FAILED, "The encoder failed", ret);
    }
    return WriteFiltered(muxed);
}

bool OutputMuxer::EndStream(MuxedStream& muxed) {
    if (!muxed.bitstreamFilter) {
        return true;
    }
    av_bsf_send_packet(muxed.bitstreamFilter.get(), nullptr);
    return WriteFiltered(muxed);
}

bool OutputMuxer::WriteFiltered(MuxedStream& muxed) {
    while (av_bsf_receive_packet(muxed.bitstreamFilter.get(), muxed.stripped.get()) >= 0) {
        if (!WriteOne(muxed, muxed.stripped.get())) {
            return false;
        }
    }
    return true;
}

bool OutputMuxer::Finish() {
    int ret = av_write_trailer(output_.get());
    if (ret < 0) {
        return failure_.FailWriting(KIVO_REASON_ENCODING_FAILED, "Cannot finish the output file",
                                    ret);
    }
    ret = avio_closep(&output_->pb);
    if (ret < 0) {
        return failure_.Fail(ReasonOfWriteError(AVUNERROR(ret), KIVO_REASON_ENCODING_FAILED),
                             "Cannot finish the output file (" + ErrorText(ret) + ")",
                             AVUNERROR(ret));
    }
    return true;
}

bool OutputMuxer::Commit() {
    // Close everything before the rename so the file is complete on disk.
    output_.reset();
    temporaryCreated_ = false;
    if (!replace_) {
        CommitFailure failed;
        if (CommitWithoutReplacing(temporary_, target_, failed)) {
            return true;
        }
        keptPath_ = failed.keptPath;
        return failure_.Fail(failed.reason, failed.message, failed.systemError);
    }
    // The source may have been moved to the target's name while it was read.
    if (SameFile(source_, target_)) {
        DiscardTemporary(temporary_);
        return failure_.Fail(KIVO_REASON_OUTPUT_IS_SOURCE, "The output file is the source itself");
    }
    std::string error;
    if (CommitTemporary(temporary_, target_, error)) {
        return true;
    }
    const int code = errno;
    return failure_.Fail(ReasonOfWriteError(code, KIVO_REASON_OUTPUT_NOT_WRITABLE), error, code);
}

std::string OutputMuxer::KeptPath() const {
    return keptPath_;
}

void OutputMuxer::Discard() {
    output_.reset();
    if (temporaryCreated_) {
        DiscardTemporary(temporary_);
        temporaryCreated_ = false;
    }
}

}  // namespace kivo
