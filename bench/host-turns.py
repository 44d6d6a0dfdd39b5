#!/usr/bin/env python3
"""The host's turn between exchanges, from a velor-devsim --log: the time from each reply the
device sent ("tx") to the next frame it received ("rx"). Prints the exchange count, the median
and the 90th percentile in milliseconds, and the span from the first frame to the last reply."""
import statistics
import sys

turns = []
first = last = None
replied = None
with open(sys.argv[1], encoding="utf-8", errors="replace") as log:
    for line in log:
        parts = line.split(maxsplit=2)
        if len(parts) < 2:
            continue
        try:
            at = float(parts[0])
        except ValueError:
            continue
        if parts[1] == "rx":
            first = at if first is None else first
            if replied is not None:
                turns.append((at - replied) * 1000)
                replied = None
        elif parts[1] == "tx":
            replied = at
            last = at
if not turns:
    sys.exit("host-turns: no exchanges in " + sys.argv[1])
turns.sort()
print("%d exchanges, host turn median %.2f ms, 90%% %.2f ms, device busy %.1f s" % (
    len(turns) + 1, statistics.median(turns), turns[int(len(turns) * 0.9)], last - first))
