#!/usr/bin/python3
"""Makes the built-in demo capture (demo.capture, compiled into the program as a Qt resource).

The heart-rate part is a real recording of the repository's data/ppg turned into sensor reports by
`corvane-capture from-ppg`; this script adds what a hand on the mouse does meanwhile — clicks, a few
double clicks, the side buttons and cursor travel — and merges both by time. Run it again after
changing either:

    tools: cmake --build build --target corvane-capture
    src/app/resources/demo/make_demo_capture.py build/bin/corvane-capture
"""

import pathlib
import random
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parents[3]
RECORDING = ROOT / "data" / "ppg" / "welltory_s16.ppg.csv"  # clean signal, about 64 bpm, 95 s
SENSOR_MOUSE = r"\\?\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91e6bf6}"

LEFT_DOWN, LEFT_UP = 0x0001, 0x0002
RIGHT_DOWN, RIGHT_UP = 0x0004, 0x0008
FOURTH_DOWN, FOURTH_UP = 0x0040, 0x0080


def mouse(t_ms, flags, dx, dy, x, y):
    return (t_ms, f"{t_ms} mouse 0x{flags:04x} rel {dx} {dy} {x} {y} {SENSOR_MOUSE}")


def hand_lines(duration_ms):
    """Clicks and travel of someone working: a move then a click every second or two."""
    rng = random.Random(7)  # the same capture on every run
    lines = []
    x, y = 640, 400
    t = 1500
    n = 0
    while t < duration_ms - 1000:
        # Ten motion reports 8 ms apart.
        # A stroke of a few centimetres (1600 mouse units to the inch); the cursor moves a quarter.
        dx_total, dy_total = rng.randint(-4000, 4000), rng.randint(-2500, 2500)
        for i in range(10):
            dx, dy = dx_total // 10, dy_total // 10
            x, y = max(0, min(1919, x + dx // 4)), max(0, min(1079, y + dy // 4))
            lines.append(mouse(t + i * 8, 0, dx, dy, x, y))
        t += 200
        n += 1
        if n % 9 == 0:  # a double click: two presses at one spot within the double-click time
            for k in range(2):
                lines.append(mouse(t + k * 160, LEFT_DOWN, 0, 0, x, y))
                lines.append(mouse(t + k * 160 + 60, LEFT_UP, 0, 0, x, y))
        elif n % 7 == 0:
            lines.append(mouse(t, RIGHT_DOWN, 0, 0, x, y))
            lines.append(mouse(t + 70, RIGHT_UP, 0, 0, x, y))
        elif n % 17 == 0:
            lines.append(mouse(t, FOURTH_DOWN, 0, 0, x, y))
            lines.append(mouse(t + 70, FOURTH_UP, 0, 0, x, y))
        else:
            lines.append(mouse(t, LEFT_DOWN, 0, 0, x, y))
            lines.append(mouse(t + 70, LEFT_UP, 0, 0, x, y))
        t += rng.randint(900, 2200)
    return lines


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    tool = sys.argv[1]
    ppg = subprocess.run(
        [tool, "from-ppg", str(RECORDING), "--page-signal", "--rest-at", "2", "--lift-at", "90"],
        check=True, capture_output=True, text=True).stdout.splitlines()
    if not ppg or ppg[0] != "corvane-capture 1":
        print("make_demo_capture: unexpected output of from-ppg", file=sys.stderr)
        return 1
    sensor = []
    for line in ppg[1:]:
        if line and not line.startswith("#"):
            sensor.append((int(line.split(" ", 1)[0]), line))
    duration = sensor[-1][0] if sensor else 60000
    merged = sorted(sensor + hand_lines(duration), key=lambda e: e[0])  # stable: sensor first at a tie
    out = HERE / "demo.capture"
    with out.open("w", encoding="utf-8") as f:
        f.write("corvane-capture 1\n")
        f.write(f"# The demo: {RECORDING.name} of data/ppg (see data/ppg/README.md for its source and\n")
        f.write("# licence) as sensor reports, the thumb resting from 2 s to 90 s, with clicks and travel.\n")
        for _, line in merged:
            f.write(line + "\n")
    print(f"make_demo_capture: {len(sensor)} sensor and {len(merged) - len(sensor)} mouse reports -> {out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
