#!/usr/bin/python3
"""Re-measure recordings with numpy and with `vintor-cli measure`, and compare the time.

The numpy side is the working pass a user would script instead, vectorised wherever the
algorithm allows: the channel means, the mark scan (a vectorised edge search; only the few
edges go through Python), the synchronous averaging (one vector add per revolution), the 16-point
1x extraction and the broadband RMS. It reads each file with numpy.fromfile. Its results are
checked against vintor-cli's, so both do the same work.

Processing time only: the numpy time starts after the imports and covers reading and
processing; the vintor-cli time is the one call over all files less the start of the process
(a `vintor-cli help` call, timed the same way). Both are given as wall time and as CPU time
(user and system), which a busy machine disturbs less.

    tools/numpy-compare.py --cli build/dev/app/cli/vintor-cli            # twenty new recordings
    tools/numpy-compare.py --cli vintor-cli --aver 128 A.dat B.dat ...   # recordings on disk
"""

import argparse
import json
import math
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np

FRAMES_PER_BLOCK = 16384
TACHO_HIGH = 100
MIN_MARK_INTERVAL = 30
INTERVAL_TOLERANCE = 100
SPEED_CONSTANT = 1500000.0
WORKING_SPEED_FACTOR = 0.9977
REV_CAPACITY = 16384
AMPLITUDE_DIVISOR = 11.28
DEGREES_PER_RADIAN = 57.2958
COS16 = np.array([1.0, 0.923880, 0.707107, 0.382683, 0.0, -0.382683, -0.707107, -0.923880,
                  -1.0, -0.923880, -0.707107, -0.382683, 0.0, 0.382683, 0.707107, 0.923880])
SIN16 = np.array([0.0, 0.382683, 0.707107, 0.923880, 1.0, 0.923880, 0.707107, 0.382683,
                  0.0, -0.382683, -0.707107, -0.923880, -1.0, -0.923880, -0.707107, -0.382683])


def chan_scale(gain, kpr=20.0):
    return 5000.0 / (3.16227 ** gain * 2047 * kpr)


def gain_from_par(dat):
    stem, _ = os.path.splitext(dat)
    with open(stem + ".par", "rb") as f:
        return int(f.read(1))


def working_pass(path, aver_num, gain):
    """The working pass of a cycle without a sighting pass, as vintor-cli measure runs it."""
    raw = np.fromfile(path, dtype="<i2")
    frames = raw.size // 4
    d = raw[: frames * 4].reshape(frames, 4)
    # Means over every frame, 64-bit sums, nearest with ties to even; removed in 16 bits.
    m1 = int(np.rint(d[:, 0].sum(dtype=np.int64) / frames))
    m2 = int(np.rint(d[:, 1].sum(dtype=np.int64) / frames))
    x1 = d[:, 0] - np.int16(m1)
    x2 = d[:, 1] - np.int16(m2)
    # Falling edges of the tachometer (frame numbers from 1); the cycle starts Low.
    high = d[:, 2] >= TACHO_HIGH
    edges = np.flatnonzero(high[:-1] & ~high[1:]) + 2
    marks, delta_old, last, first, lend, irregular = [], 0, 0, 0, frames, False
    for k in edges.tolist():
        delta = k - last
        if delta_old > 0 and len(marks) > 1 and abs(delta - delta_old) > INTERVAL_TOLERANCE:
            irregular = True
        delta_old = delta
        if delta > MIN_MARK_INTERVAL:
            marks.append(k)
            last = k
            if len(marks) == 2:
                first = k
            if len(marks) > aver_num + 4:
                lend = k
                break
    peak = 0
    if lend > 0:
        peak = max(int(x1[:lend].max()), -int(x1[:lend].min()),
                   int(x2[:lend].max()), -int(x2[:lend].min()))
    M = len(marks)
    rev_period = (lend - first) / ((3 if M == 2 else M) - 2)
    rpm = SPEED_CONSTANT / rev_period * WORKING_SPEED_FACTOR if M >= 2 and rev_period > 0 else 0.0
    rev_len = int(np.rint(rev_period))
    out = {"file": path, "RPM": rpm, "RevPeriod": rev_period, "AdcMean1": m1, "AdcMean2": m2,
           "AdcPeak": peak, "First": first, "Lend": lend, "WrongTacho": irregular or rpm < 1}
    k1, k2 = chan_scale(gain), chan_scale(gain)
    if rpm >= 1 and rev_len <= REV_CAPACITY:
        # Revolutions on the grid First + nearest(m x RevPeriod), summed position by position.
        s1 = np.zeros(REV_CAPACITY, np.int64)
        s2 = np.zeros(REV_CAPACITY, np.int64)
        bounds = first + np.rint(np.arange(aver_num + 1) * rev_period).astype(np.int64)
        for a, b in zip(bounds[:-1].tolist(), bounds[1:].tolist()):
            if a > frames:
                break
            b = min(b, frames + 1)
            n = min(b - a, REV_CAPACITY)
            s1[:n] += x1[a - 1: a - 1 + n]
            s2[:n] += x2[a - 1: a - 1 + n]
        a1 = np.rint(s1[:rev_len] / aver_num).astype(np.int64)
        a2 = np.rint(s2[:rev_len] / aver_num).astype(np.int64)
        # 16 points, linearly interpolated at l x (RevLen - 1) / 16 + 1.
        pos = np.arange(16, dtype=np.int64) * (rev_len - 1) / 16.0
        i = np.rint(pos).astype(np.int64)

        def one_x(a, k):
            pad = np.zeros(REV_CAPACITY + 2, np.int64)
            pad[:rev_len] = a
            pts = np.rint((pos - i) * (pad[i + 2] - pad[i + 1])) + pad[i + 1]
            c = float(np.dot(k * pts, COS16))
            s = float(np.dot(k * pts, SIN16))
            amp = math.hypot(c, s)
            f = 0.0
            if amp != 0.0:
                f = math.acos(max(-1.0, min(1.0, c / amp))) * DEGREES_PER_RADIAN
                if s < 0:
                    f = -f
                if f < 0:
                    f += 360.0
            return amp / AMPLITUDE_DIVISOR, f

        out["V1o"], out["F1"] = one_x(a1, k1)
        out["V2o"], out["F2"] = one_x(a2, k2)
    # Broadband RMS over every frame.
    q1 = int(np.einsum("i,i->", x1, x1, dtype=np.int64))
    q2 = int(np.einsum("i,i->", x2, x2, dtype=np.int64))
    out["V1s"] = k1 / math.sqrt(frames) * math.sqrt(q1)
    out["V2s"] = k2 / math.sqrt(frames) * math.sqrt(q2)
    return out


def synthesise(folder, count, blocks, seed):
    """Recordings like the benchmark's: 300 rev/min, 1x and noise on both channels, gain 1."""
    rng = np.random.default_rng(seed)
    frames = blocks * FRAMES_PER_BLOCK
    period, first_edge, width = 4990.0, 120.0, 20
    k = np.arange(1, frames + 1, dtype=np.float64)
    angle = 2 * np.pi * (k - first_edge) / period
    tacho = np.zeros(frames, np.int16)
    edge = np.rint(first_edge + np.arange(frames // 4990 + 2) * period).astype(np.int64)
    for e in edge.tolist():
        tacho[max(e - width, 1) - 1: min(e, frames + 1) - 1] = 2000
    paths = []
    for n in range(count):
        d = np.zeros((frames, 4), np.int16)
        d[:, 0] = np.rint(12 + 300 * np.cos(angle - np.radians(60)) + 20 * rng.standard_normal(frames))
        d[:, 1] = np.rint(-7 + 150 * np.cos(angle - np.radians(210)) + 15 * rng.standard_normal(frames))
        d[:, 2] = tacho
        path = os.path.join(folder, "rec%02d.dat" % n)
        d.tofile(path)
        with open(os.path.join(folder, "rec%02d.par" % n), "wb") as f:
            f.write(b"1\r\n")
        paths.append(path)
    return paths


def timed(fns, runs):
    """Runs the functions in turn, `runs` rounds, so that a change of load hits all of them.
    Returns, for each, the median wall time, the median CPU time (this process and the children
    it waited for: user and system) and the last result."""
    walls = [[] for _ in fns]
    cpus = [[] for _ in fns]
    results = [None] * len(fns)

    def cpu_now():
        me = resource.getrusage(resource.RUSAGE_SELF)
        kids = resource.getrusage(resource.RUSAGE_CHILDREN)
        return me.ru_utime + me.ru_stime + kids.ru_utime + kids.ru_stime

    for _ in range(runs):
        for i, fn in enumerate(fns):
            cpu, wall = cpu_now(), time.perf_counter()
            results[i] = fn()
            walls[i].append(time.perf_counter() - wall)
            cpus[i].append(cpu_now() - cpu)
    return ([statistics.median(w) for w in walls], [statistics.median(c) for c in cpus], results)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("files", nargs="*", help="recordings with their .par beside them")
    ap.add_argument("--cli", required=True, help="path of vintor-cli")
    ap.add_argument("--aver", type=int, default=128, help="revolutions to average (default 128)")
    ap.add_argument("--count", type=int, default=20, help="recordings to make when none are given")
    ap.add_argument("--blocks", type=int, default=78, help="blocks per recording made")
    ap.add_argument("--runs", type=int, default=7, help="runs of each side; the median counts")
    args = ap.parse_args()

    with tempfile.TemporaryDirectory() as tmp:
        files = args.files or synthesise(tmp, args.count, args.blocks, 7)
        gains = [gain_from_par(f) for f in files]
        aver = max(2, min(128, args.aver))

        def numpy_side():
            return [working_pass(f, aver, g) for f, g in zip(files, gains)]

        def cli_side():
            run = subprocess.run([args.cli, "measure", *files, "--aver", str(args.aver)],
                                 stdout=subprocess.PIPE, check=False)
            return run.stdout

        def cli_start():
            subprocess.run([args.cli, "help"], stderr=subprocess.DEVNULL, check=False)

        numpy_side()  # first touch: both sides then read from the page cache
        walls, cpus, (ours, output, _) = timed([numpy_side, cli_side, cli_start], args.runs)
        size_mb = os.path.getsize(files[0]) / 1e6

    theirs = [json.loads(line) for line in output.decode().splitlines()]
    worst = 0.0
    for a, b in zip(ours, theirs):
        if "error" in b:
            sys.exit("vintor-cli: %s: %s" % (b["file"], b["error"]))
        for key in ("RPM", "RevPeriod", "AdcMean1", "AdcMean2", "AdcPeak", "First", "Lend",
                    "V1o", "F1", "V2o", "F2", "V1s", "V2s"):
            if key in a:
                worst = max(worst, abs(a[key] - b[key]) / max(1.0, abs(b[key])))
    if len(theirs) != len(ours) or worst > 1e-9:
        sys.exit("the results differ (largest relative difference %g)" % worst)

    n = len(files)
    print("recordings: %d, %.1f MB each; numpy %s; median of %d runs" %
          (n, size_mb, np.__version__, args.runs))
    print("%-28s %10s %10s" % ("", "wall ms", "CPU ms"))
    rows = [("numpy working pass", walls[0], cpus[0]),
            ("vintor-cli measure, call", walls[1], cpus[1]),
            ("vintor-cli process start", walls[2], cpus[2])]
    for name, w, c in rows:
        print("%-28s %10.1f %10.1f" % (name, w * 1e3, c * 1e3))
    wall_processing = max(walls[1] - walls[2], 1e-6)
    cpu_processing = max(cpus[1] - cpus[2], 1e-6)
    print("%-28s %10.1f %10.1f" % ("vintor-cli processing", wall_processing * 1e3,
                                     cpu_processing * 1e3))
    print("per recording: numpy %.2f ms, vintor-cli %.2f ms (wall)" %
          (walls[0] * 1e3 / n, wall_processing * 1e3 / n))
    print("numpy / vintor-cli, processing: %.1f x wall, %.1f x CPU; whole call: %.1f x wall" %
          (walls[0] / wall_processing, cpus[0] / cpu_processing, walls[0] / walls[1]))
    print("results agree (largest relative difference %.1g)" % worst)


if __name__ == "__main__":
    main()
