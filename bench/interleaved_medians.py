#!/usr/bin/env python3
"""Times shell commands in turns (one run of each, RUNS times over) after one warm-up run
of each, and prints each command's median wall time in seconds, one per line, in the
order given. Taking turns spreads the host's slow spells over all commands alike.

    interleaved_medians.py RUNS COMMAND...
"""
import statistics
import subprocess
import sys
import time


def run(command):
    subprocess.run(command, shell=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    runs, commands = int(sys.argv[1]), sys.argv[2:]
    for command in commands:
        run(command)
    times = [[] for _ in commands]
    for _ in range(runs):
        for k, command in enumerate(commands):
            start = time.perf_counter()
            run(command)
            times[k].append(time.perf_counter() - start)
    for series in times:
        print(statistics.median(series))


if __name__ == "__main__":
    main()
