/*
 * kivoengine: the conversion engine of Qor Converter.
 *
 * A shared library with a C API on FFmpeg's libraries and libjpeg. It probes media files,
 * writes still pictures and converts files, each conversion on a thread of its own and any
 * number of them side by side. It links no Qt and starts no processes.
 *
 * Threads. Every export may be called from any thread; the program probes and takes stills on
 * one worker thread of its own, one file after another, and starts its conversions from its
 * user interface thread. Probing and still capture run on the calling thread and return when done.
 * Every conversion runs on a thread of its own, at a lower priority than the caller's (libav's
 * codecs, the picture's filters and the sound's conversion use helper threads of their own,
 * which inherit that priority). Those started by _X run one at a time: the info and percent
 * callbacks are called on the conversion's thread, and its end is announced by posting
 * WM_CONVERTDONE through the KivoWindow handle, also from that thread. Those started by
 * kivo_conversion_start run side by side, each calling its own events on its own thread (see
 * "Conversions side by side"). The caller must carry the effects of callbacks and events over
 * to its own thread and must not block in them.
 *
 * Text. Texts are UTF-8 (the system code page of the platforms we run on). Paths are the file
 * system's bytes, passed on unchanged: a name that is not valid UTF-8 (an old Latin-1 name)
 * works like any other. Paths have no length limit of their own; the file system's limits
 * apply.
 *
 * Sources. Only a regular file, or a link to one, is a source: a folder, a named pipe or a
 * device is refused at once (probe and still -1, a conversion fails with
 * KIVO_REASON_SOURCE_NOT_A_FILE) and never waited on, so nothing blocks beyond a stop.
 *
 * Errors. No export crashes or throws on bad input: null pointers, empty texts, missing,
 * empty, damaged or non-media files are answered with a negative result (or, for _X, a failed
 * conversion reported like any other). libav's own log never reaches the terminal; its last
 * error line is what a failed conversion's status line quotes. Each probe, still and conversion
 * keeps its own last error line, so a probe during a conversion cannot change the conversion's
 * reason, and each installs the engine's libav log callback again when it starts, so a player
 * or another library of the process that replaced it (libmpv does, and puts libav's default,
 * which prints to the terminal, back when its last player ends) does not take the reason away.
 *
 * Unloading. When the library is unloaded (or the process exits) while a conversion started by
 * _X runs, the conversion is stopped and waited for; its WM_CONVERTDONE may then still be
 * posted. Conversions started by kivo_conversion_start are the caller's: it frees them first.
 */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define KIVO_API __declspec(dllexport)
#else
#define KIVO_API __attribute__((visibility("default")))
#endif

/* Posted to the window when one conversion has ended. wparam says how it ended, so that the
 * program never has to read the status text to know: KIVO_CONVERSION_FINISHED (0) the output
 * is complete, KIVO_CONVERSION_STOPPED (1) Mydll_Stop ended it and what was converted is kept,
 * KIVO_CONVERSION_FAILED (2) nothing was written (a refused vector counts as failed); the last
 * status line gives the reason. lparam is 0. */
#define WM_CONVERTDONE 1212
#define KIVO_CONVERSION_FINISHED 0
#define KIVO_CONVERSION_STOPPED 1
#define KIVO_CONVERSION_FAILED 2

/* A window the engine can post messages to without knowing the toolkit: the program fills
 * in post() and keeps the struct alive while a conversion runs. post() is called from the
 * engine's thread and must only queue the message. */
typedef struct KivoWindow KivoWindow;
struct KivoWindow {
    void (*post)(KivoWindow* self, unsigned msg, uintptr_t wparam, intptr_t lparam);
};

/* The probe record: twelve 32-bit slots. Slots reserved0, reserved7 and reserved8 are not
 * written. Every probe writes every other slot, so nothing of an earlier file survives. */
typedef struct EngineFileInfo {
    int32_t reserved0;
    int32_t duration;        /* whole seconds (truncated); 0 when unknown */
    const char* videoFormat; /* codec name such as "mpeg4" or "h264"; "" without video */
    const char* audioFormat; /* codec name such as "aac" or "mp3"; "" without audio */
    int32_t width;           /* coded picture size in pixels; 0 without video */
    int32_t height;
    float fps; /* average frames per second (29.97 for NTSC); 0 without video */
    int32_t reserved7;
    int32_t reserved8;
    float bitRate;      /* audio bit rate, whole kbit/s; 0 when the file does not say */
    int32_t sampleRate; /* Hz; 0 without audio */
    int32_t channels;   /* 0 without audio */
} EngineFileInfo;

/* Status text (UTF-8, valid only during the call) and percentage (0..100). The result is
 * ignored. */
typedef int (*KivoInfoCallback)(const char* text);
typedef int (*KivoPercentCallback)(int percent);

/* One-time set-up: routes libav's log into the engine. Safe to call again; the other exports
 * do it themselves when it was forgotten. Returns 0. */
KIVO_API int MyDll_Init(void);

/* Probes the media file at `path` into `*info` before returning.
 * Writes: every slot of `*info` but the reserved ones. videoFormat and audioFormat point to
 * engine-owned text that stays valid until the next Mydll_GetFileinfo call (from any thread).
 * Streams: the largest decodable video stream (cover pictures of audio files do not count as
 * video) and the best decodable audio stream; an absent stream gives 0 and "".
 * Every number is in its sane range (none negative); a length that cannot be trusted (a
 * damaged header's negative or absurd value) is 0, as unknown.
 * Returns 0, or -1 when the file cannot be read as media (missing, empty, not media, nothing
 * decodable) or `path` is null or empty; `*info` then describes an empty file. A null `info`
 * returns -1 and writes nothing. */
KIVO_API int Mydll_GetFileinfo(const char* path, EngineFileInfo* info);

/* What a player shows of a source, beside the probe record (which keeps its described layout
 * for other callers). Every field is written on every call, 0 when unknown or absent. */
typedef struct KivoProbe {
    double durationSeconds; /* exact length in seconds; 0 when unknown */
    int32_t storedWidth;    /* the picture as coded (the record's width and height) */
    int32_t storedHeight;
    int32_t displayWidth;    /* the picture as a player shows it: turned upright and with its */
    int32_t displayHeight;   /* sample aspect applied (the width stretched or shrunk) */
    int32_t rotation;        /* clockwise degrees that turn the stored picture upright: 0, 90,
                                180 or 270 (from the stream's display matrix) */
    int32_t sampleAspectNum; /* the stored samples' aspect; 1:1 when square or unknown */
    int32_t sampleAspectDen;
    int32_t interlaced;      /* 1 when the stream's field order says its pictures are
                                interlaced (a conversion also looks at the first picture) */
    int32_t bitDepth;        /* bits per picture component (8, 10 ...) */
    int32_t colourSpace;     /* libav's AVColorSpace, AVColorPrimaries and */
    int32_t colourPrimaries; /* AVColorTransferCharacteristic values as the source declares */
    int32_t colourTransfer;  /* them (2: unspecified) */
    int32_t frameCount;      /* video frames when the container says, else 0 */
} KivoProbe;

/* Probes `path` into `*probe` before returning, as Mydll_GetFileinfo does (the same streams,
 * the same refusals), and leaves the probe record and its texts alone. Returns 0, or -1 with
 * every field 0 when the file cannot be read as media or an argument is null or empty. */
KIVO_API int kivo_probe(const char* path, KivoProbe* probe);

/* Writes the still picture of `path` as a baseline JPEG at `jpegPath` before returning.
 * `seconds`: the moment to show; a source shorter than that shows its first frame, and a
 * negative value counts as 0. `size`: "WxH" (such as "160x120"), each side 1..4096; the
 * picture is shown as a player shows it: turned upright by its display matrix and scaled into
 * the size keeping its display aspect (its sample aspect applied), with black bars. Its colours
 * are read with the matrix and range the source declares (BT.709 for HD sources that say
 * nothing); HDR pictures are not tone-mapped in stills.
 * An audio-only source gets a generated picture (a note on dark blue) of that size.
 * The file is written under a temporary name beside `jpegPath` and renamed over it, so an
 * existing file of that name is replaced whole or, on failure, left as it was.
 * Returns 0, or -1 with nothing written when the source has nothing decodable, the size text
 * is invalid, an argument is null or empty, or the folder cannot be written. */
KIVO_API int Mydll_GetPicure(const char* path, int seconds, const char* size, const char* jpegPath);

/* Asks the running conversion to stop; returns at once. Safe at any time and from any thread,
 * also when nothing runs (then it does nothing; it never affects a later _X). The conversion
 * ends within half a second: what was converted is finalised and kept under the target name,
 * its status line reads "Stopped by user: ...", and its WM_CONVERTDONE is still posted. One
 * exception: a stop in the first moments of an H.264 conversion, while libx264 still holds
 * every picture it was given, waits up to a second more for its first pictures, so that the
 * kept file has a picture track. Returns 0. */
KIVO_API int Mydll_Stop(void);

/* Set the callbacks of the conversions to come (and of the running one, from its next
 * report). Null switches the report off. Returns 0. */
KIVO_API int SetGetInfoCallBackFun(KivoInfoCallback callback);
KIVO_API int SetGetPercentCallBackFun(KivoPercentCallback callback);

/* Converts one file on the engine's thread and returns at once.
 *
 * `argv` holds `argc` entries: entry 0 is a program name (ignored), the last entry is the
 * output path, and in between come options (a repeated option: the last one counts):
 *   -y             overwrite an existing output (without it an existing output is an error,
 *                  also one that appears while the conversion runs: see "Output safety").
 *                  The source itself is never overwritten, -y or not: a target that is the
 *                  source (another spelling, a link, a second hard link) fails the conversion
 *                  with KIVO_REASON_OUTPUT_IS_SOURCE before anything is written
 *   -t SECONDS     decimal; the output's length at most (its picture never longer than that
 *                  plus one frame, its sound not longer than its picture by more than a
 *                  frame); 0 or absent: the whole source, to its last picture, which keeps
 *                  its whole duration (a source of a single picture gives a one-frame output)
 *   -ss SECONDS    decimal; the output starts at this moment of the source, accurately: the
 *                  source is read from the key frame before it, the pictures and the sound
 *                  before it are decoded and left out (the sound cut to the sample), and the
 *                  output's time starts at 0; -t counts from here. 0 or absent: the source's
 *                  beginning. A start at or beyond the source's end fails ("Failed:
 *                  clip.avi: the start lies beyond the end of the source")
 *   -i PATH        the source (required)
 *   -vol PERCENT   100 unchanged, 0 silent, up to 300 (louder samples clip at full scale);
 *                  values outside 0..300 are clipped to it
 *   -bitexact      no encoder or version strings in the output (no libx264 settings note,
 *                  no "Lavf"/"Lavc" names), and repeatable output where the encoder allows
 *                  it. Repeatable: MPEG-4, XVID, H.263 and the sound, for the same input and
 *                  vector with the same libraries on the same machine (the same number of
 *                  cores the process may use), give byte-identical output. Not repeatable:
 *                  another core count (another machine, or a CPU affinity mask) splits the
 *                  MPEG-4 pictures into another number of slices, so the bytes may differ;
 *                  and H.264 bytes may differ from run to run, because libx264's threads plan
 *                  a picture's bits from how far the pictures beside it have got whenever its
 *                  rate control keeps to a buffer, and it always keeps to the level's (see
 *                  "Levels"). What never differs: the picture size, frame rate, length,
 *                  profile, level and bit rate target. Threads: every encoder, the decoders,
 *                  the picture's filters (scaling, deinterlacing, turning, the change of
 *                  colour matrix) and the sound use every core with or without it.
 *                  A source whose sound lies several seconds away from the picture of the
 *                  same moment in the file (badly interleaved) may be muxed in another order
 *                  from one run to the next.
 *   -vcodec NAME   mpeg4 (MPEG-4 Part 2 Simple Profile), xvid (the same, tagged XVID where
 *                  the container carries tags; MP4 files always say mp4v), h263 (only at
 *                  128x96, 176x144, 352x288, 704x576, 1408x1152), h263p, h264 (Baseline with
 *                  one reference frame; for -f psp Main with at most two, B-pictures not kept
 *                  as references). Levels: see "Levels" below.
 *   -padtop, -padbottom, -padleft, -padright PIXELS   black bars inside the frame
 *   -s WxH         the final frame size, bars included: the picture, turned upright, is
 *                  scaled to the size minus the pads (the caller computes pads that keep the
 *                  display aspect from kivo_probe's display size); odd sizes are made even;
 *                  absent: the source's stored size
 *   -b KBITS       video bit rate, 1..100000
 *   -r RATE        decimal frame rate; 29.97, 23.976, 59.94 and 14.985 mean the exact NTSC
 *                  fractions (30000/1001 ...); absent: the source's rate
 *   -acodec aac    AAC-LC, the only audio codec
 *   -ac N          channels, 1..8; 0: the source's count, at most 2
 *   -ar HZ         sample rate; a rate AAC cannot carry becomes the nearest it can (11000
 *                  gives 11025, 22000 gives 22050)
 *   -ab KBITS      audio bit rate, 1..1000
 *   -f NAME        muxer: 3gp, 3g2, psp (its own brand) or mp4, or any other libav muxer;
 *                  empty or absent: chosen from the output's extension (.MP4 gives mp4)
 * A source without audio gives a video-only output, one without video an audio-only output;
 * for -f psp, whose container needs both, the missing one is generated (a black picture of
 * the -s size at the -r rate, or silence), as long as the other.
 *
 * The picture. What the output shows is what a player shows of the source:
 *   - turned upright by the stream's display matrix (phones store portrait and upside-down
 *     clips turned, with a 90, 180 or 270 degree rotation); the output says no rotation;
 *   - with square samples: an anamorphic source (a DVD's 720x480 with 32:27 samples) is
 *     scaled to what -s and the pads leave, which the caller makes of its display aspect;
 *   - deinterlaced when the stream says its pictures are interlaced (field order TT, BB, TB
 *     or BT) or its first picture is marked interlaced: bwdif, motion-adaptive, one output
 *     picture per source picture, before anything else; progressive sources are untouched;
 *   - in the colours of the source, converted to the output's matrix in the same step as the
 *     scaling: BT.709 for frames of 720 lines and more, BT.601 (SMPTE 170M) below, limited
 *     range, 8-bit 4:2:0 (10-bit sources dithered down). A source that does not say its
 *     matrix is taken as BT.709 when it has 720 lines or more, else BT.601. BT.2020 pictures
 *     have their primaries mapped into the output's, and HDR pictures (PQ, SMPTE ST 2084, or
 *     HLG, ARIB STD-B67) are tone-mapped to SDR (zimg's zscale and libav's tonemap with the
 *     Hable curve). Where libavfilter lacks those two filters, HDR pictures are converted by
 *     their matrix only and the last status line says so: "Finished clip.mkv (HDR colours
 *     were not tone-mapped (the zscale and tonemap filters are missing))".
 *   The output's picture stream says its colour description (matrix, primaries, transfer and
 *   range: BT.709 for HD, SMPTE 170M for SD, limited) in the container, and for H.264 also in
 *   the stream itself.
 * Tags. The source's title, artist, album artist, album, composer, genre, date, track, disc,
 * comment and copyright go to the output, which writes those its container has a place for.
 * An output of sound alone in an MP4 (-f mp4, or the .MP4 extension) also keeps the source's
 * cover picture (a JPEG, PNG or BMP picture attached to an MP3 or M4A) as its cover.
 * All entries are copied; the caller may reuse its buffers when _X returns.
 *
 * Levels. The level a stream signals is the lowest its frame size, frame rate (-r) and bit
 * rate (-b) respect, so that players that read it first get a true label:
 *   H.264: the lowest level of ITU-T H.264 Table A-1 (1, 1b, 1.1 ... 5.2) whose limits hold:
 *     MaxFS (macroblocks per picture, each side at most sqrt(8 x MaxFS) macroblocks), MaxMBPS
 *     (macroblocks per second at the output rate), MaxBR (the -b rate, Baseline and Main
 *     limits) and MaxDpbMbs (the reference frames). libx264's rate control keeps to that
 *     level: its buffer (VBV) has the level's MaxBR as maximum rate and MaxCPB as size. Level
 *     1b is written as level_idc 11 with constraint_set3_flag. A picture too large or fast for
 *     level 5.2 fails the conversion.
 *   MPEG-4 Part 2 (mpeg4, xvid): the lowest Simple Profile level whose picture size and
 *     macroblock rate hold: L1 (QCIF, 1485 macroblocks/s), L2 and L3 (CIF, 5940 and 11880),
 *     L4a (640x480, 36000), L5 (720x576, 40500), L6 (1280x720, 108000). Beyond L6 (larger
 *     pictures, or 1280x720 above 30 fps), where Simple Profile has no level, the stream says
 *     Advanced Simple Profile level 5 while using Simple Profile tools only (no B-pictures, no
 *     quarter-pixel motion, no global motion); it is decodable by every ASP player, but its
 *     size and rate exceed what ASP level 5 promises.
 * Device ceilings. The program checks these before it starts a conversion and refuses
 * settings above them (the engine cannot tell the families apart: the iPod's and MP4
 * players' vectors both say -f mp4): 3GP phones take H.264 up to level 1.3 at 176x144 and
 * below and up to 2.0 at larger sizes (352x288); the PSP up to 3.0; the iPod up to 1.3 at
 * 320x240 and below and up to 3.0 at larger sizes. PDAs and MP4 players have no ceiling
 * beyond the table's.
 *
 * While the conversion runs, the info callback gets status lines such as
 * "Converting clip.avi  42%  118.0 fps  speed 4.10x  time left 00:00:12" and the percent
 * callback 0..99 from the output time against -t, each at most about ten times a second.
 * When it ends the info callback gets the last status line, which says how it ended:
 * "Finished clip.avi" (after percent 100), "Stopped by user: clip.avi, the first 00:00:12 are
 * kept", or "Failed: clip.avi: <why, in plain words>" ("Failed: <why>" for a refused vector).
 * Then WM_CONVERTDONE is posted to `window`, exactly once per _X call, whatever happened, with
 * the outcome as its wparam (see WM_CONVERTDONE); a null `window` (or post) gets nothing.
 *
 * Output safety: the output is written to a temporary file beside the target, the hidden
 * ".NAME.partPID-N" (PID: the writing process), and renamed to the target when it is complete
 * or stopped. With -y that rename replaces an existing file; without it the name is taken
 * atomically and never replaces anything: when a file of the target's name appeared since the
 * start (a file the user saved, another program converting to the same target), that file
 * stays, the converted file is kept under the first free name beside it ("clip (2).MP4") and
 * the conversion fails with KIVO_REASON_OUTPUT_EXISTS, KivoEnd.path naming the kept file and
 * the reason text saying where it is. A failure deletes the temporary file and leaves
 * any existing file of the target's name untouched; when a complete temporary file can be
 * neither renamed nor deleted, the status line ends "the converted file was left as <path>".
 * Before it writes, a conversion deletes the temporary files in the target's folder that a
 * process which no longer runs left behind (killed while converting): only files of that
 * pattern, of the same user, whose process is gone. Failures of the output keep the operating
 * system's reason in their text and its errno in KivoEnd.systemError (a full disk, a name too
 * long, a file where a folder should be, a refused permission).
 * A source of which no picture and no sound could be read fails ("Failed: clip.avi: the
 * source holds no picture or sound that could be read"), and so does one without sound whose
 * every picture the decoder could only patch up (the first bytes of a cut file); a stop
 * before anything was converted keeps nothing either. A source that cannot be read on (an
 * input/output error, a file that shrinks while it is read, a removed drive or a lost network
 * share) fails the conversion with "Failed: <name>: could not read the source"; the part written is
 * deleted.
 *
 * Damage: damaged packets in the source are skipped and the conversion goes on. Timestamps
 * are made sane before anything is processed: a jump of more than three seconds forward or
 * back between neighbouring frames of a stream is closed up (the later frames follow on), and
 * sound that steps back is dropped where it repeats what was given, so the output's
 * timestamps only increase and the output is about as long as the real content. An MP4
 * whose edit list hides every sample is read as its samples are stored; a picture format
 * that the source does not declare is taken from the first decoded picture.
 *
 * A second _X while a conversion runs first waits for that one to end (it is not stopped).
 * Returns 0 when the conversion was started, -1 when the vector was refused (unknown option
 * or codec, a missing or malformed value, an illegal H.263 size, pads that leave no picture);
 * a refused vector is reported and posted like a failed conversion. */
KIVO_API int _X(KivoWindow* window, int argc, char** argv);

/*
 * Conversions side by side.
 *
 * Each conversion is an object of its own: started from the same argument vector _X takes,
 * with its own reports, stop, wait and outcome, and no state shared with the others (each
 * keeps its own log and last error). Any number may run at once, each on a thread of its own;
 * the exports above are a thin layer over one such conversion and behave as described there.
 *
 * Lifetime. kivo_conversion_start returns a conversion the caller owns and releases with
 * kivo_conversion_free, once, whether it ran, failed or was refused. Every other call takes a
 * conversion that has not been freed; a null conversion is ignored (the queries answer as for
 * a failed one).
 *
 * Reports. The three events are called on the conversion's own thread, never inside
 * kivo_conversion_start, each with the caller's user pointer. status and percent are the
 * status lines and percentages _X gives its two callbacks (at most about ten a second, the
 * last status line saying how it ended); ended comes exactly once, after the last report, with
 * the outcome and the reason. An event must not block or free its own conversion. Null
 * events are not called.
 */

/* The version of the side-by-side interface below; it grows when the interface does.
 * 2: reason codes, progress numbers and the end record. */
#define KIVO_API_VERSION 2

/* Outcomes of a conversion: the three of WM_CONVERTDONE, and two more. */
#define KIVO_CONVERSION_REFUSED 3    /* the vector was refused; nothing ran, nothing written */
#define KIVO_CONVERSION_RUNNING (-1) /* not ended yet (kivo_conversion_outcome, _wait) */

typedef struct KivoConversion KivoConversion;

/* Why a conversion ended as it did. Front ends choose their own words from these codes; the
 * reason text is for logs and for the described status line, never to be parsed. */
typedef enum KivoReason {
    KIVO_REASON_NONE = 0,              /* finished */
    KIVO_REASON_STOPPED = 1,           /* stopped by the user (what was converted is kept) */
    KIVO_REASON_SETTINGS_REFUSED = 2,  /* the vector was refused: unknown option or codec, a
                                          malformed value, a size or rate no level carries */
    KIVO_REASON_SOURCE_MISSING = 3,    /* the source does not exist */
    KIVO_REASON_SOURCE_NOT_A_FILE = 4, /* a folder, pipe or device: only regular files convert */
    KIVO_REASON_SOURCE_UNREADABLE = 5, /* permission refused or a read error (systemError) */
    KIVO_REASON_SOURCE_DAMAGED = 6,    /* not media, or its container cannot be read */
    KIVO_REASON_NOTHING_DECODABLE = 7, /* no picture or sound could be decoded */
    KIVO_REASON_START_BEYOND_END = 8,  /* -ss at or beyond the source's end */
    KIVO_REASON_OUTPUT_FOLDER_MISSING = 9,
    KIVO_REASON_OUTPUT_NOT_WRITABLE = 10, /* permission, read-only, name too long, not a folder
                                             (systemError tells which) */
    KIVO_REASON_OUTPUT_EXISTS = 11,       /* the target exists (or appeared) and -y was not given;
                                             KivoEnd.path names where the converted file is kept,
                                             or "" when nothing was kept */
    KIVO_REASON_DISK_FULL = 12,           /* no space left where the output is written */
    KIVO_REASON_OUTPUT_IS_SOURCE = 13,    /* the target is the source itself */
    KIVO_REASON_ENCODING_FAILED = 14,     /* an encoder, filter or the muxer failed */
    KIVO_REASON_OTHER = 15,               /* anything else (out of memory ...) */
    KIVO_REASON_RANGE_TOO_SHORT = 16      /* -t shorter than one picture of the output */
} KivoReason;

/* A conversion's progress as numbers; the status line is made from the same numbers. */
typedef struct KivoProgress {
    int percent;            /* 0..99 while running (100 only once complete) */
    double outputSeconds;   /* output time converted so far */
    double durationSeconds; /* the output's expected length; 0 when unknown */
    double framesPerSecond; /* pictures encoded per second of running time */
    double speed;           /* output seconds per second of running time */
    double secondsLeft;     /* estimated; negative when unknown */
} KivoProgress;

/* How a conversion ended, given once to the end event. */
typedef struct KivoEnd {
    int outcome;        /* KIVO_CONVERSION_FINISHED, _STOPPED, _FAILED or _REFUSED */
    int reason;         /* a KivoReason */
    int systemError;    /* the operating system's errno behind the reason, or 0 */
    double keptSeconds; /* finished or stopped: the length of the output kept */
    const char* text;   /* the reason in plain words, as kivo_conversion_reason gives it */
    const char* path;   /* the file the reason concerns (see KIVO_REASON_OUTPUT_EXISTS), or "" */
} KivoEnd;

typedef struct KivoConversionEvents {
    void* user;                                   /* handed back to every event */
    void (*status)(void* user, const char* text); /* UTF-8, valid only during the call */
    void (*percent)(void* user, int percent);     /* 0..100 */
    /* outcome: KIVO_CONVERSION_FINISHED, _STOPPED, _FAILED or _REFUSED; reason: "" when
     * finished or stopped, else why in plain words (the text after "Failed: <name>: " of the
     * last status line); valid only during the call. */
    void (*ended)(void* user, int outcome, const char* reason);
    /* Since version 2 (zero the struct so that older callers' missing fields read as null):
     * progress comes with every percent report, with the numbers it was made from; end comes
     * exactly once, right after ended, with the typed outcome. Both valid only during the call. */
    void (*progress)(void* user, const KivoProgress* progress);
    void (*end)(void* user, const KivoEnd* end);
} KivoConversionEvents;

/* The value of KIVO_API_VERSION the library was built with. */
KIVO_API int kivo_api_version(void);

/* Starts converting `argv` (argc entries, as for _X) on a thread of its own and returns at
 * once. `events` is copied (null: no events). A refused vector still gives a conversion: it
 * ends at once with KIVO_CONVERSION_REFUSED and the reason, through ended like any other.
 * Returns null only when the engine could not even create it (out of memory or threads); no
 * event is then called. */
KIVO_API KivoConversion* kivo_conversion_start(int argc, const char* const* argv,
                                               const KivoConversionEvents* events);

/* Asks the conversion to stop, as Mydll_Stop asks the running _X conversion (the same limits
 * apply); returns at once. Safe at any time from any thread, also from its own events and
 * after it ended (then it does nothing). Other conversions go on. */
KIVO_API void kivo_conversion_stop(KivoConversion* conversion);

/* Waits up to `milliseconds` (negative: without limit) for the conversion to end, including
 * its ended event. Returns its outcome, or KIVO_CONVERSION_RUNNING when it has not ended in
 * time. Must not be called from its own events. */
KIVO_API int kivo_conversion_wait(KivoConversion* conversion, int milliseconds);

/* The outcome so far: KIVO_CONVERSION_RUNNING until ended has been called. */
KIVO_API int kivo_conversion_outcome(const KivoConversion* conversion);

/* The reason of a failed or refused conversion ("" otherwise, and while it runs); valid until
 * the conversion is freed. */
KIVO_API const char* kivo_conversion_reason(const KivoConversion* conversion);

/* The reason code of the ended conversion (a KivoReason; KIVO_REASON_NONE while it runs). */
KIVO_API int kivo_conversion_reason_code(const KivoConversion* conversion);

/* Releases the conversion. One still running is stopped and waited for first (what it
 * converted is kept, and its events still come, as after kivo_conversion_stop). Must not be
 * called from its own events. */
KIVO_API void kivo_conversion_free(KivoConversion* conversion);

#ifdef __cplusplus
}
#endif
