#!/usr/bin/env python3
"""Times commands in turns: each round runs every command once, in a new
random order, so that a machine's load drifting over a sitting weighs on all
of them alike (hyperfine runs one command's runs, then the next's). Prints
each command's median wall time, its median CPU time (user + system, from
wait4) and its ratio to the first command's median.

Usage: bench/in-turns.py RUNS WARMUP 'COMMAND' 'COMMAND' ...
A command is split on spaces and run without a shell, output discarded."""
import os
import random
import statistics
import sys
import time


def main():
    runs, warmup = int(sys.argv[1]), int(sys.argv[2])
    commands = [c.split() for c in sys.argv[3:]]
    wall = [[] for _ in commands]
    cpu = [[] for _ in commands]
    devnull = os.open(os.devnull, os.O_WRONLY)
    quiet = [(os.POSIX_SPAWN_DUP2, devnull, 1), (os.POSIX_SPAWN_DUP2, devnull, 2)]
    for round_ in range(warmup + runs):
        order = list(range(len(commands)))
        random.shuffle(order)
        for i in order:
            started = time.perf_counter()
            pid = os.posix_spawnp(commands[i][0], commands[i], os.environ, file_actions=quiet)
            _, status, usage = os.wait4(pid, 0)
            took = time.perf_counter() - started
            if os.waitstatus_to_exitcode(status) not in (0, 1):
                sys.exit(f"failed: {' '.join(commands[i])}")
            if round_ >= warmup:
                wall[i].append(took)
                cpu[i].append(usage.ru_utime + usage.ru_stime)
    first = statistics.median(wall[0])
    for i, command in enumerate(commands):
        median = statistics.median(wall[i])
        print(f"{median * 1000:9.1f} ms  cpu {statistics.median(cpu[i]) * 1000:9.1f} ms"
              f"  ratio {median / first:5.3f}  {' '.join(command)}")


main()
