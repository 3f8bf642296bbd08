#!/usr/bin/env python3
"""Several files at once: qor-convert --jobs against the ffmpeg command-line tool.

Makes --clips generated sources of --seconds (640x480 MPEG-4 video + AAC in .mp4, by the ffmpeg
tool) and, per family, converts all of them with the family's default profile, timed as wall
time, in turns over --pairs rounds (A B A B):

  - qor-convert --jobs 1, --jobs 2 and --jobs auto;
  - the ffmpeg tool converting the same files one after another with the settings
    `qor-convert --dry-run` prints for the family (codec, size, rates, bit rates, container),
    at its default threads, as a user runs it.

Prints per family each variant's median wall time, its median ratio to the ffmpeg run and the
cores' use (CPU time of the children / wall time, out of the core count). Everything it makes
goes to a temporary folder that is deleted at the end.

    run-bench.py --qor-convert build/bin/qor-convert [--pairs 3] [--clips 8] [--seconds 20]
                 [--families 3GP,PSP]
"""

import argparse
import importlib.util
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
engine_bench_file = importlib.util.spec_from_file_location(
    "engine_bench", os.path.join(HERE, "..", "engine-vs-ffmpeg", "run-bench.py"))
engine_bench = importlib.util.module_from_spec(engine_bench_file)
engine_bench_file.loader.exec_module(engine_bench)


def make_clips(folder, count, seconds):
    paths = []
    for i in range(count):
        path = os.path.join(folder, "clip%d.mp4" % (i + 1))
        subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                        "testsrc2=size=640x480:rate=25:duration=%d" % seconds, "-f", "lavfi",
                        "-i", "sine=frequency=%d:sample_rate=44100:duration=%d"
                        % (330 + 55 * i, seconds), "-ac", "2", "-c:v", "mpeg4", "-q:v", "4",
                        "-c:a", "aac", "-b:a", "128k", path], check=True)
        paths.append(path)
    return paths


def family_settings(qor_convert, name, clip, folder):
    """The family's default settings as `qor-convert --dry-run` hands them to the engine, in
    the form the engine benchmark's ffmpeg_command takes."""
    printed = subprocess.run([qor_convert, "--device", name, "--dry-run", "--output", folder,
                              clip], capture_output=True, text=True, check=True).stdout
    entries = printed.rstrip("\n").split("\n")
    value = {entries[i]: entries[i + 1] for i in range(len(entries) - 1)
             if entries[i].startswith("-")}
    extension = os.path.splitext(entries[-1])[1]
    return (name, value["-vcodec"], value["-s"], value["-r"], value["-b"], value["-ac"],
            value["-ar"], value["-ab"], value.get("-f", ""), extension)


def run_timed(command):
    """Runs `command`; returns (wall seconds, CPU seconds of it and its children)."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    stderr = process.stderr.read().decode(errors="replace")
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    process.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), stderr))
    return wall, usage.ru_utime + usage.ru_stime


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--qor-convert", required=True)
    parser.add_argument("--pairs", type=int, default=3)
    parser.add_argument("--clips", type=int, default=8)
    parser.add_argument("--seconds", type=int, default=20)
    parser.add_argument("--families", default="3GP,PSP")
    options = parser.parse_args()
    qor_convert = os.path.abspath(options.qor_convert)
    cores = len(os.sched_getaffinity(0))
    with tempfile.TemporaryDirectory(prefix="qor-batch-bench-") as work:
        clips = make_clips(work, options.clips, options.seconds)
        with open("/proc/loadavg") as load:
            print("%d clips of %d s 640x480, %d pairs, A B A B, %d cores, load %s" % (
                options.clips, options.seconds, options.pairs, cores,
                " ".join(load.read().split()[:3])), flush=True)
        for name in options.families.split(","):
            out = os.path.join(work, name)
            os.makedirs(out)
            family = family_settings(qor_convert, name, clips[0], out)
            level = None
            if family[1] == "h264":
                # The H.264 level the engine writes, given to the ffmpeg tool too.
                run_timed([qor_convert, "--device", name, "--overwrite", "--output", out,
                           "--jobs", "1", clips[0]])
                level = engine_bench.probed_level(
                    os.path.join(out, "clip1" + family[9]))

            def qor(jobs):
                return lambda: run_timed([qor_convert, "--device", name, "--overwrite",
                                          "--output", out, "--jobs", jobs] + clips)

            def ffmpeg_serial():
                wall, cpu = 0.0, 0.0
                for i, clip in enumerate(clips):
                    output = os.path.join(out, "ffmpeg%d%s" % (i + 1, family[9]))
                    one = run_timed(engine_bench.ffmpeg_command(
                        clip, output, family, options.seconds, level))
                    wall, cpu = wall + one[0], cpu + one[1]
                return wall, cpu

            variants = [("qor-convert --jobs 1", qor("1")), ("qor-convert --jobs 2", qor("2")),
                        ("qor-convert --jobs auto", qor("auto")), ("ffmpeg tool, serial",
                                                                  ffmpeg_serial)]
            results = engine_bench.in_turns([run for _, run in variants], options.pairs)
            reference = results[-1]
            print("%s (%s %s %s fps, %s kbit/s):" % (name, family[1], family[2], family[3],
                                                    family[4]), flush=True)
            for (label, _), result in zip(variants, results):
                use = statistics.median(cpu / wall for wall, cpu in result)
                print("  %-24s %7.2f s  ratio to ffmpeg %.2f  cores' use %.2f of %d" % (
                    label, engine_bench.median_wall(result),
                    engine_bench.median_ratio(result, reference), use, cores), flush=True)
            shutil.rmtree(out)


if __name__ == "__main__":
    sys.exit(main())
