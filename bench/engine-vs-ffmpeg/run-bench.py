#!/usr/bin/env python3
"""The conversion engine against the ffmpeg command-line tool.

Converts the same sources, made here by the ffmpeg tool at the length converted, with each
device family's default settings through the engine (engine-bench-driver, which calls the
library's exports as the program does) and through the ffmpeg tool given the same settings, in
turns over --pairs rounds (A B A B). The sources are like the users' clips:

  avi-640x480     MPEG-4 + MP3 AVI, 640x480 at 25 fps
  mp4-1280x720    H.264 + AAC, 1280x720 at 30 fps (a camera's or phone's clip)
  phone-1080p     H.264 + AAC, stored 1920x1080 at 30 fps and tagged to be turned 90 degrees:
                  a portrait phone clip
  camcorder-1080i H.264 + AAC, 1920x1080 interlaced at 25 frames (50 fields) a second

Per family and source it prints:

  - the headline: the median wall-time ratio engine / ffmpeg tool as a user runs it (its
    default threads everywhere, the tool turning the picture upright itself);
  - "same filters": the ratio against the ffmpeg tool given the engine's own picture filters
    (the deinterlacer, the change of colour matrix and the turn after the scaling);
  - "1 core / all": the engine limited to one core (taskset -c 0) against the engine on all
    cores, which shows how the engine scales with cores;
  - "priority": with --priority, the engine against the same engine whose conversion threads
    keep the normal priority (libkeep-priority.so preloaded), which shows what the lower
    priority costs;
  - the peak number of threads of each process and both peak memory sizes.

Then "-bitexact" against the same vector without it (A B A B) with the engine's peak thread
counts, and probe plus still against ffprobe plus a one-frame ffmpeg still.

    run-bench.py --driver build/bin/engine-bench-driver [--pairs 3] [--work DIR]
                 [--families MP4,PSP] [--sources mp4-1280x720,phone-1080p] [--seconds 30]
                 [--no-same-filters] [--no-single-core] [--priority] [--valgrind]

--valgrind also runs ten conversions, fifty probes and twenty stills in one process under
valgrind's leak checker and prints its summary.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
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

NTSC = {"29.97": "30000/1001", "23.976": "24000/1001", "59.94": "60000/1001"}

# H.264 levels (level_idc) and their Baseline/Main VBV limits in kbit/s (MaxBR, MaxCPB), so that
# the ffmpeg tool gets the same level and rate-control buffer as the engine writes.
H264_VBV = {9: (128, 350), 10: (64, 175), 11: (192, 500), 12: (384, 1000), 13: (768, 2000),
            20: (2000, 2000), 21: (4000, 4000), 22: (4000, 4000), 30: (10000, 10000),
            31: (14000, 14000), 32: (20000, 20000), 40: (20000, 25000), 41: (50000, 62500),
            42: (50000, 62500), 50: (135000, 135000), 51: (240000, 240000),
            52: (240000, 240000)}


def run_measured(command, env=None):
    """Runs `command`; returns (wall seconds, peak resident memory in KiB, peak threads, CPU
    seconds used)."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                               env=env)
    peak_threads = [0]
    done = threading.Event()

    def count_threads():
        task = "/proc/%d/task" % process.pid
        while not done.is_set():
            try:
                peak_threads[0] = max(peak_threads[0], len(os.listdir(task)))
            except OSError:
                pass
            done.wait(0.05)

    counter = threading.Thread(target=count_threads)
    counter.start()
    stderr = process.stderr.read().decode(errors="replace")
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    done.set()
    counter.join()
    process.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), stderr))
    return wall, usage.ru_maxrss, peak_threads[0], usage.ru_utime + usage.ru_stime


def probed_level(path):
    """The H.264 level_idc ffprobe reads from `path`, or None."""
    result = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0",
                             "-show_entries", "stream=codec_name,level", "-of",
                             "default=nw=1", path], capture_output=True, text=True)
    fields = dict(line.split("=", 1) for line in result.stdout.split() if "=" in line)
    if fields.get("codec_name") != "h264":
        return None
    return int(fields.get("level", "0"))


# Each source: its file name, the ffmpeg tool's arguments that make it (at {seconds} long), the
# clockwise turn that sets it upright and whether it is interlaced.
SOURCES = {
    "avi-640x480": ("mpeg4-mp3-{seconds}.avi",
                    "-f lavfi -i testsrc2=size=640x480:rate=25:duration={seconds} "
                    "-f lavfi -i sine=frequency=440:sample_rate=44100:duration={seconds} "
                    "-ac 2 -c:v mpeg4 -q:v 4 -c:a libmp3lame -b:a 128k", 0, False),
    "mp4-1280x720": ("h264-aac-{seconds}.mp4",
                     "-f lavfi -i testsrc2=size=1280x720:rate=30:duration={seconds} "
                     "-f lavfi -i sine=frequency=440:sample_rate=48000:duration={seconds} "
                     "-ac 2 -c:v libx264 -preset veryfast -b:v 3000k -c:a aac -b:a 128k",
                     0, False),
    "phone-1080p": ("phone-1080p-{seconds}.mp4",
                    "-f lavfi -i testsrc2=size=1920x1080:rate=30:duration={seconds} "
                    "-f lavfi -i sine=frequency=440:sample_rate=48000:duration={seconds} "
                    "-ac 2 -c:v libx264 -preset veryfast -b:v 12000k -pix_fmt yuv420p "
                    "-colorspace bt709 -color_primaries bt709 -color_trc bt709 "
                    "-c:a aac -b:a 128k", 90, False),
    "camcorder-1080i": ("camcorder-1080i-{seconds}.mp4",
                        "-f lavfi -i testsrc2=size=1920x1080:rate=50:duration={seconds} "
                        "-f lavfi -i sine=frequency=440:sample_rate=48000:duration={seconds} "
                        "-vf tinterlace=interleave_top,setfield=tff -ac 2 -c:v libx264 "
                        "-preset veryfast -b:v 12000k -flags +ildct+ilme -x264-params tff=1 "
                        "-colorspace bt709 -color_primaries bt709 -color_trc bt709 "
                        "-c:a aac -b:a 128k", 0, True),
}


def make_sources(work, seconds, wanted):
    paths = {}
    for name in wanted:
        file_name, arguments, _, _ = SOURCES[name]
        path = os.path.join(work, file_name.format(seconds=seconds))
        if not os.path.exists(path):
            print("making %s ..." % os.path.basename(path), flush=True)
            made = path + ".made.mp4" if SOURCES[name][2] else path
            subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y"] +
                           arguments.format(seconds=seconds).split() + [made], check=True)
            if made != path:
                # The tool writes the turn only when it copies the streams, and its "rotate"
                # tag counts counter-clockwise.
                subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-i", made, "-c",
                                "copy", "-metadata:s:v:0",
                                "rotate=%d" % ((360 - SOURCES[name][2]) % 360), path],
                               check=True)
                os.remove(made)
        paths[name] = path
    return paths


def picture_filters(source_name, family):
    """The picture filters the engine picks for `source_name` into `family`'s frame, for the
    ffmpeg tool (given -noautorotate): the deinterlacer first (on the picture made as narrow as
    the frame), the frame rate, the scaling in
    the stored orientation, the change of matrix from an HD source's BT.709 into the SD
    frame's BT.601, the turn on the small picture, the pads."""
    _, _, size, rate, _, _, _, _, _, _ = family
    _, _, rotation, interlaced = SOURCES[source_name]
    width, height = size.split("x")
    sideways = rotation in (90, 270)
    stored_width, stored_height = (height, width) if sideways else (width, height)
    chain = ""
    if interlaced:
        # Made narrower first (every source here is wider than the frames).
        chain = "scale=%s:ih:flags=bicubic,bwdif=mode=send_frame:parity=auto:deint=all," % (
            stored_width)
    chain += "fps=%s:start_time=0," % NTSC.get(rate, rate)
    chain += "scale=%s:%s:flags=bicubic,format=yuv420p" % (stored_width, stored_height)
    if source_name != "avi-640x480" and int(height) < 720:
        chain += ",colormatrix=src=bt709:dst=bt601"
    chain += {90: ",transpose=clock", 180: ",hflip,vflip", 270: ",transpose=cclock"}.get(
        rotation, "")
    return chain + ",pad=%s:%s:0:0:black,setsar=1" % (width, height)


def engine_command(driver, source, output, family, seconds, bitexact=True):
    _, vcodec, size, rate, vkbps, channels, arate, akbps, fmt, _ = family
    return ([driver, "convert", "-y", "-t", str(seconds), "-i", source, "-vol", "100"] +
            (["-bitexact"] if bitexact else []) +
            ["-vcodec", vcodec, "-padtop", "0", "-padbottom", "0", "-padleft", "0",
             "-padright", "0", "-s", size, "-b", vkbps, "-r", rate, "-acodec", "aac",
             "-ac", channels, "-ar", arate, "-ab", akbps, "-f", fmt, output])


def ffmpeg_command(source, output, family, seconds, level, same_filters=None):
    """The ffmpeg tool with the settings the engine uses for `family`: as a user runs it (default
    threads, the picture turned upright by the tool), or given the engine's picture filters
    `same_filters`."""
    _, vcodec, size, rate, vkbps, channels, arate, akbps, fmt, _ = family
    width, height = size.split("x")
    fraction = NTSC.get(rate, rate)
    video_filter = ("fps=%s:start_time=0,scale=%s:%s:flags=bicubic,pad=%s:%s:0:0:black,"
                    "setsar=1,format=yuv420p" % (fraction, width, height, width, height))
    command = ["ffmpeg", "-nostdin", "-v", "error", "-y"]
    if same_filters:
        command += ["-noautorotate"]
        video_filter = same_filters
    command += ["-i", source, "-t", str(seconds), "-filter:v", video_filter, "-bitexact",
                "-b:v", vkbps + "k"]
    if vcodec == "h264":
        command += ["-c:v", "libx264", "-profile:v", "main" if fmt == "psp" else "baseline",
                    "-refs", "2" if fmt == "psp" else "1"]
        if level in H264_VBV:
            max_rate, buffer = H264_VBV[level]
            command += ["-level", str(level), "-maxrate", "%dk" % max_rate,
                        "-bufsize", "%dk" % buffer]
    else:
        command += ["-c:v", "mpeg4", "-bf", "0", "-profile:v", "0"]
    command += ["-c:a", "aac", "-ac", channels, "-ar", arate, "-b:a", akbps + "k"]
    if fmt:
        command += ["-f", fmt]
    return command + [output]


def in_turns(runs, pairs):
    """Runs every callable of `runs` once per round, in order, for `pairs` rounds (A B A B);
    returns one list of results per callable."""
    results = [[] for _ in runs]
    for _ in range(pairs):
        for run, result in zip(runs, results):
            result.append(run())
    return results


def median_ratio(a, b):
    return statistics.median(x[0] / y[0] for x, y in zip(a, b))


def median_cpu_ratio(a, b):
    """The CPU time's ratio, which another load on the machine changes less than the wall
    time's."""
    return statistics.median(x[3] / y[3] for x, y in zip(a, b))


def median_wall(results):
    return statistics.median(r[0] for r in results)


def peak_memory(results):
    return max(r[1] for r in results) / 1024


def peak_threads(results):
    return max(r[2] for r in results)


def compare_family(options, driver, family, source_name, source):
    """One family on one source; returns (headline ratio, same-filters ratio or None,
    engine/ffmpeg peak memory)."""
    engine_out = os.path.join(options.work, "engine" + family[9])
    ffmpeg_out = os.path.join(options.work, "ffmpeg" + family[9])
    seconds = options.seconds
    # The H.264 level the engine writes, given to the ffmpeg tool too.
    run_measured(engine_command(driver, source, engine_out, family, 1))
    level = probed_level(engine_out)
    engine = engine_command(driver, source, engine_out, family, seconds)
    runs = [lambda: run_measured(engine),
            lambda: run_measured(ffmpeg_command(source, ffmpeg_out, family, seconds, level))]
    names = ["engine", "ffmpeg"]
    if options.same_filters:
        filters = picture_filters(source_name, family)
        runs.append(lambda: run_measured(ffmpeg_command(source, ffmpeg_out, family, seconds,
                                                        level, filters)))
        names.append("same")
    if options.single_core:
        runs.append(lambda: run_measured(["taskset", "-c", "0"] + engine))
        names.append("single")
    if options.priority:
        keep = dict(os.environ, LD_PRELOAD=options.keep_priority)
        runs.append(lambda: run_measured(engine, keep))
        names.append("priority")
    results = dict(zip(names, in_turns(runs, options.pairs)))
    ratio = median_ratio(results["engine"], results["ffmpeg"])
    line = "%-21s engine/ffmpeg %.2f (engine %.2f s, ffmpeg %.2f s; CPU %.2f)" % (
        "%s %s" % (family[0], source_name), ratio, median_wall(results["engine"]),
        median_wall(results["ffmpeg"]), median_cpu_ratio(results["engine"], results["ffmpeg"]))
    same = None
    if "same" in results:
        same = median_ratio(results["engine"], results["same"])
        line += "  same filters %.2f (CPU %.2f)" % (
            same, median_cpu_ratio(results["engine"], results["same"]))
    if "single" in results:
        line += "  engine 1 core/all %.2f" % median_ratio(results["single"], results["engine"])
    if "priority" in results:
        line += "  priority lower/normal %.2f" % median_ratio(results["engine"],
                                                             results["priority"])
    line += "  threads engine %d, ffmpeg %d  memory engine %.0f MiB, ffmpeg %.0f MiB" % (
        peak_threads(results["engine"]), peak_threads(results["ffmpeg"]),
        peak_memory(results["engine"]), peak_memory(results["ffmpeg"]))
    # Memory is weighed against the tool doing the same work: given the same filters.
    reference = results["same"] if "same" in results else results["ffmpeg"]
    if "same" in results:
        line += " (%.0f MiB with the same filters)" % peak_memory(results["same"])
    memory = peak_memory(results["engine"]) / peak_memory(reference)
    print(line, flush=True)
    return ratio, same, memory


def bitexact_cost(options, driver, family, source):
    """The same vector with and without -bitexact, A B A B."""
    output = os.path.join(options.work, "bitexact" + family[9])
    seconds = options.seconds
    with_it, without = in_turns(
        [lambda: run_measured(engine_command(driver, source, output, family, seconds, True)),
         lambda: run_measured(engine_command(driver, source, output, family, seconds, False))],
        options.pairs)
    print("%-5s -bitexact/without %.2f (%.2f s, %.2f s)  peak threads with %d, without %d" % (
        family[0], median_ratio(with_it, without), median_wall(with_it), median_wall(without),
        peak_threads(with_it), peak_threads(without)), flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--pairs", type=int, default=3)
    parser.add_argument("--seconds", type=int, default=30, help="length of the sources")
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "kivo-bench"))
    parser.add_argument("--families", default=",".join(f[0] for f in FAMILIES))
    parser.add_argument("--sources", default=",".join(SOURCES))
    parser.add_argument("--no-same-filters", dest="same_filters", action="store_false")
    parser.add_argument("--no-single-core", dest="single_core", action="store_false")
    parser.add_argument("--priority", action="store_true")
    parser.add_argument("--valgrind", action="store_true")
    options = parser.parse_args()
    if options.single_core and not shutil.which("taskset"):
        sys.exit("taskset is missing (util-linux); use --no-single-core")
    driver = os.path.abspath(options.driver)
    options.keep_priority = os.path.join(os.path.dirname(driver), "libkeep-priority.so")
    if options.priority and not os.path.exists(options.keep_priority):
        sys.exit("%s is missing: build the benchmarks" % options.keep_priority)
    os.makedirs(options.work, exist_ok=True)
    sources = make_sources(options.work, options.seconds, options.sources.split(","))
    with open("/proc/loadavg") as load:
        print("%d pairs, A B A B, %d s converted, %d cores, load %s" % (
            options.pairs, options.seconds, os.cpu_count(), " ".join(load.read().split()[:3])),
            flush=True)

    # Per family: the headline ratios on the HD sources and on the SD one, and the ratios
    # against the tool given the same filters.
    hd, sd, same = {}, {}, {}
    worst_memory = []
    wanted = options.families.split(",")
    chosen = [f for f in FAMILIES if f[0] in wanted]
    for family in chosen:
        for source_name, source in sources.items():
            ratio, same_ratio, memory = compare_family(options, driver, family, source_name,
                                                       source)
            (sd if source_name == "avi-640x480" else hd).setdefault(family[0], []).append(ratio)
            if same_ratio is not None:
                same.setdefault(family[0], []).append(same_ratio)
            worst_memory.append(memory)

    if "avi-640x480" in sources:
        print("\n-bitexact against the same vector without it (640x480 source):")
        for family in chosen:
            bitexact_cost(options, driver, family, sources["avi-640x480"])

    still_ratios = []
    for source_name, source in sources.items():
        jpeg = os.path.join(options.work, "still.jpg")

        def ffmpeg_probe_still():
            wall_probe, memory_probe, threads_probe, cpu_probe = run_measured(
                ["ffprobe", "-v", "error", "-show_format", "-show_streams", source])
            wall_still, memory_still, threads_still, cpu_still = run_measured(
                ["ffmpeg", "-nostdin", "-v", "error", "-y", "-ss", "5", "-i", source,
                 "-frames:v", "1", "-vf",
                 "scale=160:120:force_original_aspect_ratio=decrease,"
                 "pad=160:120:(ow-iw)/2:(oh-ih)/2", jpeg])
            return (wall_probe + wall_still, max(memory_probe, memory_still),
                    max(threads_probe, threads_still), cpu_probe + cpu_still)

        engine, ffmpeg = in_turns([lambda: run_measured([driver, "still", source, jpeg]),
                                   ffmpeg_probe_still], max(options.pairs, 5))
        ratio = median_ratio(engine, ffmpeg)
        print("probe+still %-15s ratio %.2f (engine %.3f s, ffmpeg %.3f s)" % (
            source_name, ratio, median_wall(engine), median_wall(ffmpeg)), flush=True)
        still_ratios.append(ratio)
        worst_memory.append(peak_memory(engine) / peak_memory(ffmpeg))

    print("\nmedian ratio engine/ffmpeg tool with its default threads, per family:")
    for family in chosen:
        name = family[0]
        line = "  %-5s" % name
        if name in hd:
            line += "  HD sources %.2f" % statistics.median(hd[name])
        if name in sd:
            line += "  640x480 %.2f" % statistics.median(sd[name])
        if name in same:
            line += "  against the same filters %.2f" % statistics.median(same[name])
        print(line)
    print("  probe+still %.2f" % statistics.median(still_ratios))
    print("largest engine/ffmpeg peak memory ratio (the tool given the same filters): %.2f"
          % max(worst_memory))

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
                                                      os.path.join(work, "vg.MP4"), family, 2)
    env = dict(os.environ, KIVO_REPEAT="10")
    result = subprocess.run(command, env=env, capture_output=True, text=True)
    lines = [l for l in result.stderr.splitlines()
             if "ERROR SUMMARY" in l or "definitely lost" in l or "indirectly lost" in l]
    print("\nvalgrind, 10 conversions in one process (exit %d):" % result.returncode)
    for line in lines:
        print("  " + line.split("== ", 1)[-1])


if __name__ == "__main__":
    main()
