#!/usr/bin/python3
"""Runs the output pipeline and keyboard hook benchmarks and prints their tables.

Starts a test FTP server (tests/support/ftp_server.py) on a loopback address, runs
pixlance_bench.exe under Wine (tools/wine-run.sh), sends the same encoded frames with
`curl -T` in active mode as the reference, and prints minimum and median times with the
targets. Needs root for port 21, like the tests. Then runs `pixlance_bench.exe --keys` and prints
the delay of a key press with and without the hook, the GUI thread idle or encoding.

    bench/run_bench.py [--build build] [--runs 7] [--address 127.0.0.18] [--keys-only | --grab-only]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
SIZES = ("1920x1080", "3840x2160")
FORMATS = (("BMP", ".bmp"), ("PNG", ".png"), ("JPEG", ".jpg"))


def start_server(address, root):
    server = subprocess.Popen(
        ["/usr/bin/python3", os.path.join(SOURCE, "tests/support/ftp_server.py"),
         "--address", address, "--root", root, "--mode", "normal"],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if server.stdout.readline().strip() != "ready":
        server.kill()
        sys.exit("the FTP server did not start on %s (port 21 needs root)" % address)
    return server


def run_bench(build, address, folder, runs):
    env = dict(os.environ, PIXLANCE_WINE_DIR=os.path.join(build, "wine"))
    windows_folder = "Z:" + folder.replace("/", "\\")
    result = subprocess.run(
        [os.path.join(SOURCE, "tools/wine-run.sh"), os.path.join(build, "bench/pixlance_bench.exe"),
         address, windows_folder, str(runs)],
        env=env, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("pixlance_bench failed:\n" + result.stdout + result.stderr)
    rows = {}
    for line in result.stdout.splitlines():
        parts = line.strip().split("\t")
        if len(parts) == 5 and parts[0] == "ROW":
            rows[(parts[1], parts[2])] = (float(parts[3]), float(parts[4]))
    return rows


def run_mode(build, mode, tag, fields, runs):
    """Runs pixlance_bench.exe MODE RUNS and returns the fields of its lines tagged TAG."""
    env = dict(os.environ, PIXLANCE_WINE_DIR=os.path.join(build, "wine"))
    result = subprocess.run(
        [os.path.join(SOURCE, "tools/wine-run.sh"), os.path.join(build, "bench/pixlance_bench.exe"),
         mode, str(runs)],
        env=env, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("pixlance_bench %s failed:\n" % mode + result.stdout + result.stderr)
    rows = []
    for line in result.stdout.splitlines():
        parts = line.strip().split("\t")
        if len(parts) == fields + 1 and parts[0] == tag:
            rows.append(parts[1:])
    return rows


def run_key_bench(build, runs):
    return [(label, int(samples), *map(float, times))
            for label, samples, *times in run_mode(build, "--keys", "KEY", 5, runs)]


def print_key_table(rows):
    width = max(len(row[0]) for row in rows)
    print("\nKey press to the focused window's WM_KEYDOWN, milliseconds\n")
    print("| %-*s | samples |    min | median |     max |" % (width, "case"))
    print("|" + "-" * (width + 2) + "|---------|--------|--------|---------|")
    for label, samples, low, median, high in rows:
        print("| %-*s | %7d | %6.2f | %6.2f | %7.2f |" % (width, label, samples, low, median, high))
    base = {label: median for label, _, _, median, _ in rows}
    for label in ("hook thread, GUI thread idle", "hook thread, GUI thread encoding"):
        print("- %s: the hook adds %.2f ms (median) over no hook"
              % (label, base[label] - base["no hook"]))


def run_grab_bench(build, runs):
    return [(label, size, float(low), float(median))
            for label, size, low, median in run_mode(build, "--grab", "GRAB", 4, runs)]


def print_grab_table(rows):
    width = max(len(row[0]) for row in rows)
    print("\nFull-screen grab, milliseconds\n")
    print("| %-*s | screen    |    min | median |" % (width, "case"))
    print("|" + "-" * (width + 2) + "|-----------|--------|--------|")
    for label, size, low, median in rows:
        print("| %-*s | %-9s | %6.1f | %6.1f |" % (width, label, size, low, median))
    median = {label: value for label, _, _, value in rows}
    grab = median["grabFullScreen (DIB section taken over)"]
    floor = median["BitBlt into a DIB section alone (floor)"]
    print("- grab %.1f ms = %.2f x the floor %.1f ms, target <= 1.3 x: %s"
          % (grab, grab / floor, floor, "met" if grab <= 1.3 * floor else "MISSED"))


def time_curl(address, path, runs):
    command = ["curl", "-s", "-S", "--ftp-port", "-", "-u", "tester:secret", "-T", path,
               "ftp://%s/curl_%s" % (address, os.path.basename(path))]
    times = []
    for _ in range(runs + 1):
        start = time.perf_counter()
        subprocess.run(command, check=True)
        times.append((time.perf_counter() - start) * 1000)
    times = sorted(times[1:])  # the first run is a warm-up
    return times[0], statistics.median(times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(SOURCE, "build"))
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--address", default="127.0.0.18")
    parser.add_argument("--keys-only", action="store_true",
                        help="only the keyboard hook's delay (needs no FTP server)")
    parser.add_argument("--grab-only", action="store_true",
                        help="only the full-screen grab (needs no FTP server)")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    if not shutil.which("curl"):
        sys.exit("curl is missing (tools/install-deps.sh installs it)")
    subprocess.run(["cmake", "--build", build, "--target", "pixlance_bench"], check=True,
                   stdout=subprocess.DEVNULL)
    if args.keys_only:
        print_key_table(run_key_bench(build, args.runs))
        return
    if args.grab_only:
        print_grab_table(run_grab_bench(build, args.runs))
        return

    work = tempfile.mkdtemp(prefix="pixlance-bench-")
    root = os.path.join(work, "served")
    folder = os.path.join(work, "encoded")
    os.makedirs(root)
    os.makedirs(folder)
    server = start_server(args.address, root)
    try:
        rows = run_bench(build, args.address, folder, args.runs)
        for size in SIZES:
            for name, extension in FORMATS:
                path = os.path.join(folder, "bench_%s%s" % (size, extension))
                rows[(name + " curl -T of the file", size)] = time_curl(args.address, path,
                                                                      args.runs)
                encode = rows[(name + " writer -> file", size)]
                curl = rows[(name + " curl -T of the file", size)]
                rows[(name + " encode to file, then curl", size)] = (
                    encode[0] + curl[0], encode[1] + curl[1])
    finally:
        server.terminate()
        server.wait()
        shutil.rmtree(work, ignore_errors=True)

    print_table(rows, args.runs)
    print_targets(rows)
    print_grab_table(run_grab_bench(build, args.runs))
    print_key_table(run_key_bench(build, args.runs))


def print_table(rows, runs):
    labels = []
    for label, _ in rows:
        if label not in labels:
            labels.append(label)
    labels.sort(key=lambda l: (next(i for i, (n, _) in enumerate(FORMATS) if l.startswith(n)),
                               l))
    width = max(len(l) for l in labels)
    print("Milliseconds, min / median of %d runs (after one warm-up run)\n" % runs)
    header = "| %-*s | %-19s | %-19s |" % (width, "measurement", *("%s min / med" % s
                                                                    for s in SIZES))
    print(header)
    print("|" + "-" * (width + 2) + "|" + "-" * 21 + "|" + "-" * 21 + "|")
    for label in labels:
        cells = []
        for size in SIZES:
            value = rows.get((label, size))
            cells.append("%8.1f / %8.1f" % value if value else "")
        print("| %-*s | %-19s | %-19s |" % (width, label, *cells))


def print_targets(rows):
    def value(label, size, which):
        return rows[(label, size)][which]

    def verdict(ok):
        return "met" if ok else "MISSED"

    print("\nTargets (reported, not asserted): median, then min in brackets\n")
    for size, limit in (("1920x1080", 10.0), ("3840x2160", 50.0)):
        put = [value("PNG FTP output: put returns", size, i) for i in (1, 0)]
        print("- %s put returns in %.1f ms [%.1f], target < %.0f ms: %s [%s]"
              % (size, put[0], put[1], limit, verdict(put[0] < limit), verdict(put[1] < limit)))
    for size in SIZES:
        wall = [value("PNG FTP output: upload wall time", size, i) for i in (1, 0)]
        local = [value("PNG writer -> file", size, i) + 30 for i in (1, 0)]
        curl = [value("PNG encode to file, then curl", size, i) for i in (1, 0)]
        print("- %s PNG upload %.1f ms [%.1f] vs PNG to local file + 30 ms %.1f [%.1f]: %s [%s]"
              % (size, wall[0], wall[1], local[0], local[1], verdict(wall[0] <= local[0]),
                 verdict(wall[1] <= local[1])))
        print("- %s PNG upload %.1f ms [%.1f] vs encode then curl %.1f [%.1f]: %s [%s]"
              % (size, wall[0], wall[1], curl[0], curl[1], verdict(wall[0] <= curl[0]),
                 verdict(wall[1] <= curl[1])))
    for size in SIZES:
        for name in ("PNG", "JPEG"):
            for label in (" writer -> file", " writer -> file, GDI+ running"):
                extra = [(value(name + label, size, i) /
                          value(name + " bare GDI+ -> file", size, i) - 1) * 100 for i in (1, 0)]
                print("- %s %s%s: %+.1f %% [%+.1f %%] over bare GDI+, target <= 10 %%: %s [%s]"
                      % (size, name, label, extra[0], extra[1], verdict(extra[0] <= 10),
                         verdict(extra[1] <= 10)))


if __name__ == "__main__":
    main()
