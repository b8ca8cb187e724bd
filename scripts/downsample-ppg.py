#!/usr/bin/env python3
"""Downsamples evenly sampled PPG recordings ("t_s,ppg" CSV) to 50 Hz for the repository's data/ppg.

    downsample-ppg.py SOURCE_RATE_HZ OUT_FOLDER FILE.ppg.csv...

A Blackman-windowed sinc low-pass at 20 Hz (the pulse lies below 10 Hz) is evaluated at t = n / 50;
the recording's ends are extended with their edge values. The NAME.ref.csv beside each input is copied
unchanged. Keeps the repository small: 125 Hz recordings shrink to 40 % of their size, and the
evaluator resamples to 20 or 21.7 Hz anyway.
"""
import math
import os
import shutil
import sys

OUT_RATE = 50.0
CUTOFF_HZ = 20.0
HALF_WIDTH_S = 0.2


def kernel(source_rate, phase):
    """Weights of the input samples around an output time that lies `phase` samples after sample 0."""
    half = int(HALF_WIDTH_S * source_rate)
    taps = {}
    for k in range(-half, half + 2):
        x = (k - phase) / source_rate  # seconds from the output time
        if abs(x) > HALF_WIDTH_S:
            continue
        sinc = 1.0 if x == 0 else math.sin(2 * math.pi * CUTOFF_HZ * x) / (2 * math.pi * CUTOFF_HZ * x)
        w = 0.42 + 0.5 * math.cos(math.pi * x / HALF_WIDTH_S) + 0.08 * math.cos(2 * math.pi * x / HALF_WIDTH_S)
        taps[k] = sinc * w
    total = sum(taps.values())
    return {k: v / total for k, v in taps.items()}


def read_ppg(path, source_rate):
    with open(path) as f:
        rows = [line.strip().split(",") for line in f.readlines()[1:] if line.strip()]
    times = [float(r[0]) for r in rows]
    values = [float(r[1]) for r in rows]
    for i, t in enumerate(times):
        if abs(t - times[0] - i / source_rate) > 0.6 / source_rate:
            sys.exit(f"{path}: row {i + 2} is not at {source_rate} Hz")
    return values


def downsample(values, source_rate):
    step = source_rate / OUT_RATE
    cache = {}
    out = []
    n = 0
    while n * step <= len(values) - 1 + 1e-9:
        pos = n * step
        base = math.floor(pos + 1e-9)
        phase = round(pos - base, 6)
        taps = cache.setdefault(phase, kernel(source_rate, phase))
        acc = 0.0
        for k, w in taps.items():
            i = min(max(base + k, 0), len(values) - 1)
            acc += w * values[i]
        out.append(acc)
        n += 1
    return out


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    source_rate, out_folder = float(sys.argv[1]), sys.argv[2]
    for path in sys.argv[3:]:
        name = os.path.basename(path)[: -len(".ppg.csv")]
        values = downsample(read_ppg(path, source_rate), source_rate)
        with open(os.path.join(out_folder, name + ".ppg.csv"), "w") as f:
            f.write("t_s,ppg\n")
            for n, v in enumerate(values):
                f.write(f"{n / OUT_RATE:.2f},{v:.5f}\n")
        shutil.copyfile(path[: -len(".ppg.csv")] + ".ref.csv", os.path.join(out_folder, name + ".ref.csv"))


if __name__ == "__main__":
    main()
