#!/usr/bin/env python3
"""Whole-bank operations of tessellane-cli as ratios to reading the record file.

Writes the full bank (32,767 records) with make_bench_bank into a temporary
folder, reads it once so that it is in the page cache, then times each case
and `cat record.tzd > /dev/null` alternately, each process from its start to
its end. A case's figure is the median of its runs divided by the median of
the cat runs of the same case. More rows come from the window benchmarks
(their own figures in ms): the start-up to the card on a full bank, and the
search window with a result of about 4 MiB: how long until it is shown, and
how soon the window then answers a key press. The first row, the floor, is a
Qt Core program that only starts and ends: no ratio of tessellane-cli can be
lower on the same machine.

    python3 bench/ratios.py [--build build-rel] [--runs 9]

Exit status 1 when a target is missed, 2 when something cannot be run.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(2)


def machine():
    model, cores = "unknown CPU", os.cpu_count() or 0
    try:
        with open("/proc/cpuinfo", encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    try:
        load = "load %.2f %.2f %.2f" % os.getloadavg()
    except OSError:
        load = "load unknown"
    return "%s, %d cores, %s" % (model, cores, load)


def timed(argv):
    start = time.perf_counter()
    done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = (time.perf_counter() - start) * 1000.0
    if done.returncode != 0:
        fail("%s: exit status %d\n%s" % (" ".join(argv), done.returncode, done.stderr.decode("utf-8", "replace")))
    return elapsed


def ratio_case(argv, record_file, runs):
    cat = ["cat", record_file]
    timed(argv)  # the first run loads the libraries; it is not counted
    timed(cat)
    own, base = [], []
    for _ in range(runs):
        base.append(timed(cat))
        own.append(timed(argv))
    return statistics.median(own), statistics.median(base)


def window_bench(program):
    """What a window benchmark prints, or None when it cannot be run."""
    if not os.access(program, os.X_OK):
        return None
    done = subprocess.run([program], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return done.stdout.decode("utf-8", "replace")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="build-rel", help="the Release build folder (default build-rel)")
    parser.add_argument("--runs", type=int, default=9, help="runs of each command (default 9)")
    args = parser.parse_args()
    runs = max(1, args.runs)

    cli = os.path.join(args.build, "src", "tessellane-cli")
    maker = os.path.join(args.build, "bench", "make_bench_bank")
    for program in (cli, maker):
        if not os.access(program, os.X_OK):
            fail("%s not found: build with -DTZ_BENCH=ON first" % program)

    print("machine: %s" % machine())
    with tempfile.TemporaryDirectory(prefix="tz-ratios-") as temp:
        bank = os.path.join(temp, "full.bnk")
        made = subprocess.run([maker, bank], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if made.returncode != 0:
            fail("make_bench_bank failed: %s" % made.stderr.decode("utf-8", "replace"))
        words = made.stdout.decode("utf-8").strip()
        record_file = os.path.join(bank, "record.tzd")
        size_mb = os.path.getsize(record_file) / 1e6
        with open(record_file, "rb") as f:  # into the page cache
            while f.read(1 << 20):
                pass

        search = [cli, "search", bank]
        cases = [
            ("free keywords, 200 hits rendered",
             search + ["--kind", "Free Keyword", "--keys", words], 3.0),
            ("duplicate check, hit list",
             search + ["--kind", "Dbl_booked", "--max-hits", "32767", "--hits-only"], 2.0),
            ("year 1995, hit list",
             search + ["--kind", "Year", "--keys", "1995", "--max-hits", "32767", "--hits-only"], 1.5),
        ]
        rows, missed = [], False
        # The floor: a Qt Core program that does nothing, against cat too.
        floor = os.path.join(args.build, "bench", "qt_core_floor")
        if os.access(floor, os.X_OK):
            own, base = ratio_case([floor], record_file, runs)
            rows.append(("floor: a Qt Core program doing nothing", "%.1f" % own, "%.1f" % base,
                         "%.2f" % (own / base), "-", ""))
        for name, argv, target in cases:
            own, base = ratio_case(argv, record_file, runs)
            ratio = own / base if base > 0 else float("inf")
            ok = ratio <= target
            missed = missed or not ok
            rows.append((name, "%.1f" % own, "%.1f" % base, "%.2f" % ratio, "<= %.1f x cat" % target,
                         "ok" if ok else "MISSED"))

    # The window benchmarks: their own figures, in ms (a target of None: shown only).
    window_cases = [
        ("bench_startup", [("start-up to the card, full bank", r"start-up to the visible card ([0-9.]+) ms", 150.0)]),
        ("bench_search_window", [
            ("search window, 4 MiB result shown", r"characters, shown in ([0-9.]+) ms", None),
            ("search window, 4 MiB result: key press", r"key press answered in ([0-9.]+) ms", 50.0),
        ]),
    ]
    for program, figures in window_cases:
        text = window_bench(os.path.join(args.build, "bench", program))
        for name, pattern, target in figures:
            found = re.search(pattern, text) if text is not None else None
            limit = "-" if target is None else "< %.0f ms" % target
            if not found:
                rows.append((name, "-", "-", "-", limit, "not run"))
                missed = missed or target is not None
                continue
            ms = float(found.group(1))
            ok = target is None or ms < target
            missed = missed or not ok
            rows.append((name, "%.1f" % ms, "-", "-", limit, "" if target is None else "ok" if ok else "MISSED"))

    header = ("case", "ms", "cat ms", "ratio", "target", "")
    widths = [max(len(r[i]) for r in rows + [header]) for i in range(len(header))]
    line = lambda r: "  ".join(c.ljust(w) if i == 0 else c.rjust(w) for i, (c, w) in enumerate(zip(r, widths)))
    print("medians of %d runs, each against cat of the same record file (%.1f MB)" % (runs, size_mb))
    print(line(header))
    for r in rows:
        print(line(r))
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
