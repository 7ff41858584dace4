#!/usr/bin/env python3
"""The floor and varnix-cli statements run in turn, one after the other, many times.

hyperfine runs each command's runs as one block; on a shared or virtual machine the blocks drift
apart by more than the millisecond measured. Run in turn, both meet the same moments.

    bench/cli_alternating.py BUILD_FOLDER BOOK [RUNS]
"""
import os
import statistics
import sys
import time

build, book = sys.argv[1], sys.argv[2]
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 400
commands = {
    "floor": [f"{build}/bench/qtcore_floor", book],
    "varnix-cli": [f"{build}/app/varnix-cli", "statements", book, "--date", "2099/12/31"],
}
wall = {name: [] for name in commands}
cpu = {name: [] for name in commands}
quiet = os.open(os.devnull, os.O_WRONLY)
for _ in range(runs):
    for name, argv in commands.items():
        started = time.perf_counter()
        pid = os.posix_spawn(argv[0], argv, os.environ,
                             file_actions=[(os.POSIX_SPAWN_DUP2, quiet, 1)])
        _, status, usage = os.wait4(pid, 0)
        if status != 0:
            sys.exit(f"{name} failed")
        wall[name].append((time.perf_counter() - started) * 1000)
        cpu[name].append((usage.ru_utime + usage.ru_stime) * 1000)
for name in commands:
    print(f"{name:12}{statistics.median(wall[name]):8.2f} ms wall"
          f"{statistics.median(cpu[name]):8.2f} ms cpu (medians of {runs})")
print(f"above the floor: {statistics.median(wall['varnix-cli']) - statistics.median(wall['floor']):.2f} ms wall, "
      f"{statistics.median(cpu['varnix-cli']) - statistics.median(cpu['floor']):.2f} ms cpu")
