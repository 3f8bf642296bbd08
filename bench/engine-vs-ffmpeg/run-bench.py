#!/usr/bin/env python3
"""The conversion engine against the ffmpeg command-line tool.

Converts the same two sources (a 60 s 640x480 MPEG-4 + MP3 AVI and a 60 s 1280x720 H.264 + AAC
MP4, made here by the ffmpeg tool) with each device family's default settings, once through the
engine (engine-bench-driver, which calls the library's exports as the program does) and once
with the ffmpeg tool given the equivalent options and thread settings, in the order A B A B over
--pairs pairs. Prints, per family, the median wall-time ratio engine/ffmpeg and both peak
memory sizes; then the same for probe plus still against ffprobe plus a one-frame ffmpeg still.

    run-bench.py --driver build-engine/bin/engine-bench-driver [--pairs 3] [--work DIR]
                 [--valgrind]

--valgrind also runs ten conversions, fifty probes and twenty stills in one process under
valgrind's leak checker and prints its summary.
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

# The families' default settings, as the profile catalog selects them when a family opens
# (letterbox off, volume 100): codec, size, rate, video kbit/s, channels, audio Hz, audio
# kbit/s, format, extension.
FAMILIES = [
    ("3GP", "mpeg4", "176x144", "15", "192", "1", "22050", "32", "3gp", ".3g2"),
    ("PSP", "mpeg4", "320x240", "29.97", "768", "2", "48000", "128", "psp", ".MP4"),
    ("IPOD", "mpeg4", "320x240", "29.97", "768", "2", "44100", "128", "mp4", ".MP4"),
    ("PDA", "mpeg4", "320x240", "25", "384", "2", "44100", "96", "", ".MP4"),
    ("MP4", "h264", "640x480", "29.97", "1500", "2", "48000", "128", "mp4", ".MP4"),
]

# The engine's fixed slice count for bit-exact output (engine/Transcoder.cpp); libx264 runs on
# one thread then.
BITEXACT_THREADS = "4"

NTSC = {"29.97": "30000/1001", "23.976": "24000/1001", "59.94": "60000/1001"}


def run_measured(command, env=None):
    """Runs `command`; returns (wall seconds, peak resident memory in KiB)."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                               env=env)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    stderr = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), stderr))
    return wall, usage.ru_maxrss


def make_sources(work):
    sources = {
        "avi-640x480": ("mpeg4-mp3.avi",
                        ["-f", "lavfi", "-i", "testsrc2=size=640x480:rate=25:duration=60",
                         "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=60",
                         "-ac", "2", "-c:v", "mpeg4", "-q:v", "4", "-c:a", "libmp3lame",
                         "-b:a", "128k"]),
        "mp4-1280x720": ("h264-aac.mp4",
                         ["-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=30:duration=60",
                          "-f", "lavfi", "-i",
                          "sine=frequency=440:sample_rate=48000:duration=60", "-ac", "2",
                          "-c:v", "libx264", "-preset", "veryfast", "-b:v", "3000k",
                          "-c:a", "aac", "-b:a", "128k"]),
    }
    paths = {}
    for name, (file_name, arguments) in sources.items():
        path = os.path.join(work, file_name)
        if not os.path.exists(path):
            print("making %s ..." % file_name, flush=True)
            subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y"] + arguments + [path],
                           check=True)
        paths[name] = path
    return paths


def engine_command(driver, source, output, family):
    _, vcodec, size, rate, vkbps, channels, arate, akbps, fmt, _ = family
    return [driver, "convert", "-y", "-t", "60", "-i", source, "-vol", "100", "-bitexact",
            "-vcodec", vcodec, "-padtop", "0", "-padbottom", "0", "-padleft", "0",
            "-padright", "0", "-s", size, "-b", vkbps, "-r", rate, "-acodec", "aac",
            "-ac", channels, "-ar", arate, "-ab", akbps, "-f", fmt, output]


def ffmpeg_command(source, output, family):
    """The ffmpeg tool with the options and thread settings the engine uses for `family`."""
    _, vcodec, size, rate, vkbps, channels, arate, akbps, fmt, _ = family
    width, height = size.split("x")
    fraction = NTSC.get(rate, rate)
    video_filter = ("fps=%s:start_time=0,scale=%s:%s:flags=bicubic,pad=%s:%s:0:0:black,"
                    "setsar=1,format=yuv420p" % (fraction, width, height, width, height))
    command = ["ffmpeg", "-nostdin", "-v", "error", "-y", "-i", source, "-t", "60",
               "-filter:v", video_filter, "-filter_threads", "1", "-bitexact",
               "-threads", "1" if vcodec == "h264" else BITEXACT_THREADS,
               "-thread_type", "slice", "-b:v", vkbps + "k"]
    if vcodec == "h264":
        command += ["-c:v", "libx264", "-profile:v", "main" if fmt == "psp" else "baseline",
                    "-level", "30", "-refs", "2" if fmt == "psp" else "1"]
    else:
        command += ["-c:v", "mpeg4", "-bf", "0", "-profile:v", "0"]
    command += ["-c:a", "aac", "-ac", channels, "-ar", arate, "-b:a", akbps + "k"]
    if fmt:
        command += ["-f", fmt]
    return command + [output]


def pairs_of(a, b, pairs):
    """Runs a and b alternately; returns the lists of (wall, memory) of each."""
    results_a, results_b = [], []
    for _ in range(pairs):
        results_a.append(a())
        results_b.append(b())
    return results_a, results_b


def summary(name, engine, ffmpeg):
    ratios = [e[0] / f[0] for e, f in zip(engine, ffmpeg)]
    ratio = statistics.median(ratios)
    engine_memory = max(m for _, m in engine) / 1024
    ffmpeg_memory = max(m for _, m in ffmpeg) / 1024
    print("%-24s ratio %.2f  (engine %.2f s, ffmpeg %.2f s)  peak memory engine %.0f MiB, "
          "ffmpeg %.0f MiB" % (name, ratio, statistics.median(e[0] for e in engine),
                               statistics.median(f[0] for f in ffmpeg), engine_memory,
                               ffmpeg_memory), flush=True)
    return ratio, engine_memory, ffmpeg_memory


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--pairs", type=int, default=3)
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "kivo-bench"))
    parser.add_argument("--families", default=",".join(f[0] for f in FAMILIES))
    parser.add_argument("--valgrind", action="store_true")
    options = parser.parse_args()
    os.makedirs(options.work, exist_ok=True)
    driver = os.path.abspath(options.driver)
    sources = make_sources(options.work)
    print("%d pairs, A B A B, %d cores" % (options.pairs, os.cpu_count()), flush=True)

    family_ratios = {}
    worst_memory = []
    wanted = options.families.split(",")
    for family in (f for f in FAMILIES if f[0] in wanted):
        ratios = []
        for source_name, source in sources.items():
            engine_out = os.path.join(options.work, "engine" + family[9])
            ffmpeg_out = os.path.join(options.work, "ffmpeg" + family[9])
            engine, ffmpeg = pairs_of(
                lambda: run_measured(engine_command(driver, source, engine_out, family)),
                lambda: run_measured(ffmpeg_command(source, ffmpeg_out, family)),
                options.pairs)
            ratio, engine_memory, ffmpeg_memory = summary(
                "%s %s" % (family[0], source_name), engine, ffmpeg)
            ratios.append(ratio)
            worst_memory.append(engine_memory / ffmpeg_memory)
        family_ratios[family[0]] = statistics.median(ratios)

    still_ratios = []
    for source_name, source in sources.items():
        jpeg = os.path.join(options.work, "still.jpg")

        def ffmpeg_probe_still():
            wall_probe, memory_probe = run_measured(
                ["ffprobe", "-v", "error", "-show_format", "-show_streams", source])
            wall_still, memory_still = run_measured(
                ["ffmpeg", "-nostdin", "-v", "error", "-y", "-ss", "5", "-i", source,
                 "-frames:v", "1", "-vf",
                 "scale=160:120:force_original_aspect_ratio=decrease,"
                 "pad=160:120:(ow-iw)/2:(oh-ih)/2", jpeg])
            return wall_probe + wall_still, max(memory_probe, memory_still)

        engine, ffmpeg = pairs_of(lambda: run_measured([driver, "still", source, jpeg]),
                                  ffmpeg_probe_still, max(options.pairs, 5))
        ratio, engine_memory, ffmpeg_memory = summary("probe+still " + source_name, engine,
                                                      ffmpeg)
        still_ratios.append(ratio)
        worst_memory.append(engine_memory / ffmpeg_memory)

    print("\nmedian ratio engine/ffmpeg per family:")
    for name, ratio in family_ratios.items():
        print("  %-5s %.2f" % (name, ratio))
    print("  probe+still %.2f" % statistics.median(still_ratios))
    print("largest engine/ffmpeg peak memory ratio: %.2f" % max(worst_memory))

    if options.valgrind:
        run_valgrind(driver, options.work)


def run_valgrind(driver, work):
    short = os.path.join(work, "short.avi")
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                    "testsrc2=size=320x240:rate=25:duration=2", "-f", "lavfi", "-i",
                    "sine=duration=2", "-c:v", "mpeg4", "-c:a", "libmp3lame", short], check=True)
    family = FAMILIES[1]
    command = ["valgrind", "--leak-check=full", "--errors-for-leak-kinds=definite",
               "--error-exitcode=3"] + engine_command(driver, short,
                                                      os.path.join(work, "vg.MP4"), family)
    env = dict(os.environ, KIVO_REPEAT="10")
    result = subprocess.run(command, env=env, capture_output=True, text=True)
    lines = [l for l in result.stderr.splitlines()
             if "ERROR SUMMARY" in l or "definitely lost" in l or "indirectly lost" in l]
    print("\nvalgrind, 10 conversions in one process (exit %d):" % result.returncode)
    for line in lines:
        print("  " + line.split("== ", 1)[-1])


if __name__ == "__main__":
    main()
