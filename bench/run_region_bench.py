#!/usr/bin/python3
"""Benchmark of the region selection in the real program, driven through XTest as a user would:
Ctrl+Shift+S, a drag of the left button across the frozen screen, the release, until the image
file is closed.

Builds the program's source (default: this checkout) with -DPIXLANCE_STAGE_TIMES=ON, as
run_e2e_bench.py does, and reads the program's own stamps: hot key to the overlay's first
complete paint, hot key to the full-screen frame (the grab), each pointer move during the drag
from its message to the repainted screen ("MOVES" lines), and the release to the file closed
(inotify, from just before the button goes up). Disk output only, BMP, upload off. Reports;
asserts nothing.

    bench/run_region_bench.py [--source DIR] [--build DIR] [--runs 9] [--moves 40]
                              [--sizes 1920x1080,3840x2160]
"""
import argparse
import os
import shutil
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True
import run_e2e_bench as e2e  # noqa: E402

STAGE = {name: index for index, name in enumerate(e2e.STAGES + e2e.REGION_STAGES)}


class Pointer(e2e.FarLinkInput):
    """The region combination and a long drag, through XTest."""

    def drag(self, start, end, moves):
        """Moves from start to end in equal steps, 15 ms apart; returns perf_counter just before
        the release."""
        self.move(*start)
        time.sleep(0.05)
        self.button(True)
        time.sleep(0.05)
        for step in range(1, moves + 1):
            self.move(start[0] + (end[0] - start[0]) * step // moves,
                      start[1] + (end[1] - start[1]) * step // moves)
            time.sleep(0.015)
        time.sleep(0.05)
        released = time.perf_counter()
        self.button(False)
        return released


def parse_moves(path):
    times = []
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                parts = line.split()
                if len(parts) > 2 and parts[0] == "MOVES":
                    frequency = float(parts[1])
                    times += [int(p) * 1000.0 / frequency for p in parts[2:]]
    return times


def run_region_series(session, runs, moves):
    width, height = map(int, session.size.split("x"))
    folder = tempfile.mkdtemp(prefix="regions-", dir=session.work)
    stage_file = os.path.join(session.work, "stages-region-%s.txt" % session.size)
    e2e.write_settings(session, folder, e2e.FORMAT_CODES["BMP"][0], False)
    watch = e2e.Inotify(folder)
    pointer = Pointer(session.display)
    program = e2e.start_program(session, stage_file)
    release_to_file = []
    try:
        # A warm-up first; the last capture only flushes the stamps of the one before it.
        for i in range(runs + 2):
            watch.drain()
            pointer.press_combination("s")
            time.sleep(1.5)
            released = pointer.drag((width // 10, height // 10),
                                    (width * 6 // 10, height * 6 // 10), moves)
            closed, _ = watch.wait_closed(".bmp", 60)
            if closed is None:
                raise RuntimeError("no region file within 60 s (capture %d)" % i)
            if 1 <= i <= runs:
                release_to_file.append((closed - released) * 1000)
            time.sleep(0.5)
            session.activate_focus_window()
    finally:
        watch.close()
        program.kill()
        program.wait(timeout=30)
        time.sleep(1)
    rows = e2e.parse_stages(stage_file)[1:runs + 1]

    def from_hook(stage):
        return [row[STAGE[stage]] for row in rows if row[STAGE[stage]] is not None]

    ended_to_closed = [row[STAGE["file closed"]] - row[STAGE["selection ended"]] for row in rows
                       if row[STAGE["file closed"]] is not None
                       and row[STAGE["selection ended"]] is not None]
    return {"overlay": from_hook("overlay painted"), "grab": from_hook("frame converted"),
            "ended": ended_to_closed,
            "moves": parse_moves(stage_file), "release": release_to_file}


def median_text(values):
    return "%.1f" % statistics.median(values) if values else "-"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", default=e2e.SOURCE)
    parser.add_argument("--build", default=None)
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--moves", type=int, default=40)
    parser.add_argument("--sizes", default="1920x1080,3840x2160")
    args = parser.parse_args()
    source = os.path.abspath(args.source)
    build = os.path.abspath(args.build or os.path.join(source, "build-stages"))
    for tool in ("Xvfb", "xdotool", "convert", "display"):
        if not shutil.which(tool):
            sys.exit("%s is missing (tools/install-deps.sh --bench installs it)" % tool)
    e2e.build_stage_program(source, build)

    work = tempfile.mkdtemp(prefix="pixlance-region-")
    results = {}
    try:
        for size in args.sizes.split(","):
            session = e2e.Session(build, size, work)
            try:
                session.start_focus_window()
                results[size] = run_region_series(session, args.runs, args.moves)
            finally:
                session.close()
    finally:
        shutil.rmtree(work, ignore_errors=True)

    print("Region selection, %s, medians in ms (%d captures, %d pointer moves each)"
          % (source, args.runs, args.moves))
    print("%-10s %10s %12s %12s %10s %16s %14s" % (
        "size", "grab", "overlay", "overlay-grab", "move", "release->file", "ended->closed"))
    for size, r in results.items():
        lag = [o - g for o, g in zip(r["overlay"], r["grab"])]
        print("%-10s %10s %12s %12s %10s %16s %14s" % (
            size, median_text(r["grab"]), median_text(r["overlay"]), median_text(lag),
            median_text(r["moves"]), median_text(r["release"]), median_text(r["ended"])))
        if r["moves"]:
            print("%-10s slowest move %.1f ms of %d" % ("", max(r["moves"]), len(r["moves"])))


if __name__ == "__main__":
    main()
