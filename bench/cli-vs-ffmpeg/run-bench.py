#!/usr/bin/env python3
"""qor-convert against the ffmpeg command-line tool on the same three files.

Makes three 20 s sources with the ffmpeg tool (640x480 MPEG-4 + MP3 AVI, 1280x720 H.264 + AAC
MP4, 320x240 MPEG-4 + AAC MP4) and, per family, converts all three with
`qor-convert --device FAMILY` (the family's default profile, as a user runs it) and with the
ffmpeg tool given the same settings one file after another (its default threads), and with the
engine alone (engine-bench-driver beside qor-convert, the same vector one file after another), in
turns over --pairs rounds (A B A C). Prints the median wall-time ratios qor-convert / ffmpeg tool
and qor-convert --jobs 1 / engine alone (what the front end adds) per family.

    run-bench.py --qor-convert build/bin/qor-convert [--pairs 3] [--families 3GP,PSP,MP4]
"""

import argparse
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
engine_bench_file = importlib.util.spec_from_file_location(
    "engine_bench", os.path.join(HERE, "..", "engine-vs-ffmpeg", "run-bench.py"))
engine_bench = importlib.util.module_from_spec(engine_bench_file)
engine_bench_file.loader.exec_module(engine_bench)

SECONDS = 20
SOURCES = [
    ("mpeg4-mp3.avi", ["-f", "lavfi", "-i", "testsrc2=size=640x480:rate=25:duration=20",
                       "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=20",
                       "-ac", "2", "-c:v", "mpeg4", "-q:v", "4", "-c:a", "libmp3lame"]),
    ("h264-aac.mp4", ["-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=30:duration=20",
                      "-f", "lavfi", "-i", "sine=frequency=330:sample_rate=48000:duration=20",
                      "-ac", "2", "-c:v", "libx264", "-preset", "veryfast", "-b:v", "3000k",
                      "-c:a", "aac"]),
    ("small.mp4", ["-f", "lavfi", "-i", "testsrc2=size=320x240:rate=30:duration=20",
                   "-f", "lavfi", "-i", "sine=frequency=550:sample_rate=44100:duration=20",
                   "-c:v", "mpeg4", "-q:v", "3", "-c:a", "aac"]),
]


def make_sources(work):
    paths = []
    for name, arguments in SOURCES:
        path = os.path.join(work, name)
        if not os.path.exists(path):
            subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y"] + arguments + [path],
                           check=True)
        paths.append(path)
    return paths


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--qor-convert", required=True)
    parser.add_argument("--pairs", type=int, default=3)
    parser.add_argument("--families", default="3GP,PSP,MP4")
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "qor-cli-bench"))
    options = parser.parse_args()
    driver = os.path.join(os.path.dirname(os.path.abspath(options.qor_convert)),
                          "engine-bench-driver")
    if not os.path.exists(driver):
        sys.exit("%s is missing: build the benchmarks" % driver)
    os.makedirs(options.work, exist_ok=True)
    sources = make_sources(options.work)
    families = {f[0]: f for f in engine_bench.FAMILIES}
    for name in options.families.split(","):
        family = families[name]
        ours = os.path.join(options.work, "qor-" + name)
        theirs = os.path.join(options.work, "ffmpeg-" + name)
        for folder in (ours, theirs):
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
        qor = [options.qor_convert, "--device", name, "--overwrite", "--output", ours] + sources
        # Against the engine alone, one file after another like the driver.
        one_by_one = qor[:1] + ["--jobs", "1"] + qor[1:]
        engine_bench.run_measured(qor)  # also gives the level the H.264 outputs signal
        level = engine_bench.probed_level(
            os.path.join(ours, os.listdir(ours)[0])) if family[1] == "h264" else None

        def ffmpeg_all():
            wall = 0.0
            for i, source in enumerate(sources):
                output = os.path.join(theirs, "%d%s" % (i, family[9]))
                wall += engine_bench.run_measured(engine_bench.ffmpeg_command(
                    source, output, family, SECONDS, level))[0]
            return wall

        def engine_all():
            wall = 0.0
            for i, source in enumerate(sources):
                output = os.path.join(theirs, "engine%d%s" % (i, family[9]))
                wall += engine_bench.run_measured(engine_bench.engine_command(
                    driver, source, output, family, SECONDS, bitexact=False))[0]
            return wall

        qor_walls, ffmpeg_walls, engine_walls = [], [], []
        for _ in range(options.pairs):
            qor_walls.append(engine_bench.run_measured(qor)[0])
            ffmpeg_walls.append(ffmpeg_all())
            qor_walls.append(engine_bench.run_measured(one_by_one)[0])
            engine_walls.append(engine_all())
        ratios = sorted(a / b for a, b in zip(qor_walls[0::2], ffmpeg_walls))
        front = sorted(a / b for a, b in zip(qor_walls[1::2], engine_walls))
        print("%-4s qor-convert %.2f s, ffmpeg tool %.2f s, engine alone %.2f s (medians of %d):"
              " ratio %.2f, qor-convert/engine %.2f"
              % (name, sorted(qor_walls)[len(qor_walls) // 2],
                 sorted(ffmpeg_walls)[len(ffmpeg_walls) // 2],
                 sorted(engine_walls)[len(engine_walls) // 2], options.pairs,
                 ratios[len(ratios) // 2], front[len(front) // 2]), flush=True)


if __name__ == "__main__":
    sys.exit(main())
