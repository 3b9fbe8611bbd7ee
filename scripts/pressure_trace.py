#!/usr/bin/env python3
"""Prints six hours of believable barometer readings as a trace for
`ostractl sensor import`: one row every two minutes (offset seconds, hPa).

The pressure falls slowly by about four hectopascals and recovers part of it,
around 1013 hPa, with a little sensor noise; --end-hpa shifts it so that it
ends at the live reading and the history joins what the sensor says now. The
same seed gives the same trace, so screenshots made from it are reproducible."""

import argparse
import math
import random


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--hours", type=float, default=6.0)
    parser.add_argument("--step", type=int, default=120, help="seconds between rows")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--end-hpa", type=float, help="pressure of the last row")
    args = parser.parse_args()

    def swing(offset):
        # A weather system passing: lowest three quarters of the way through.
        return 2.2 * math.cos(2 * math.pi * offset / (1.5 * args.hours * 3600))

    rows = int(args.hours * 3600 / args.step) + 1
    last = (rows - 1) * args.step
    base = 1013.0 if args.end_hpa is None else args.end_hpa - swing(last)
    noise = random.Random(args.seed)
    for row in range(rows):
        offset = row * args.step
        print(f"{offset},{base + swing(offset) + noise.gauss(0, 0.05):.2f}")


if __name__ == "__main__":
    main()
