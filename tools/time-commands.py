#!/usr/bin/python3
"""Times whole commands, run in turn round after round so that a change of load on a shared
machine hits each of them alike; prints the median and the smallest wall time and the median
CPU time (user and system) of each. Output of the commands is thrown away.

    tools/time-commands.py --runs 60 \\
        "build/dev/app/cli/vintor-cli help" \\
        "build/dev/app/cli/vintor-cli measure rec.dat --aver 128"
"""

import argparse
import resource
import shlex
import statistics
import subprocess
import time


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("commands", nargs="+", help="commands, each one argument")
    ap.add_argument("--runs", type=int, default=40, help="rounds (default 40)")
    ap.add_argument("--warmup", type=int, default=3, help="rounds not counted (default 3)")
    args = ap.parse_args()

    commands = [shlex.split(c) for c in args.commands]
    walls = [[] for _ in commands]
    cpus = [[] for _ in commands]
    for round_ in range(args.warmup + args.runs):
        for i, cmd in enumerate(commands):
            before = resource.getrusage(resource.RUSAGE_CHILDREN)
            start = time.perf_counter()
            subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
            wall = time.perf_counter() - start
            after = resource.getrusage(resource.RUSAGE_CHILDREN)
            if round_ >= args.warmup:
                walls[i].append(wall)
                cpus[i].append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)

    print("%10s %10s %10s  %s" % ("median ms", "min ms", "CPU ms", "command"))
    for text, w, c in zip(args.commands, walls, cpus):
        print("%10.2f %10.2f %10.2f  %s" %
              (statistics.median(w) * 1e3, min(w) * 1e3, statistics.median(c) * 1e3, text))


if __name__ == "__main__":
    main()
