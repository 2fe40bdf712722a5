#!/usr/bin/env python3
"""Finds an input script that plays one level through without --god, fire held all the time,
by dodging: whenever the ship dies, it tries moving up or down for a while some ticks before
the death and keeps the first try that survives longer. Prints the script.

usage: dodge.py ORBITA DATA_DIR LEVEL [MAX_TICKS]
The result is turned into a replay with hashes by playing it once with --record."""
import json
import os
import subprocess
import sys
import tempfile


def script_of(moves, last):
    lines, held = [], None
    for t in range(1, last + 1):
        keys = "Space" + {-1: " Up", 1: " Down", 0: ""}[moves.get(t, 0)]
        if keys != held:
            lines.append(f"@{t} hold {keys}")
            held = keys
    return "\n".join(lines) + "\n"


def first_event(orbita, data, level, moves, frames, start):
    """The first tick from start on at which the ship is struck, or at which the level ends."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "s.txt")
        with open(path, "w") as f:
            f.write(script_of(moves, frames))
        args = [orbita, "--headless", "--seed", "7", "--warp", str(level), "--frames", str(frames), "--play", path]
        for t in range(start, frames + 1):
            args += ["--dump-state", f"{t}:{tmp}/{t}.json"]
        subprocess.run(args, cwd=data, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for t in range(start, frames + 1):
            with open(f"{tmp}/{t}.json") as f:
                d = json.load(f)
            if d["level"] != level:
                return "done", t
            if d["shipDying"]:
                return "death", t
    return "none", frames


def main():
    orbita, data, level = os.path.abspath(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    horizon = int(sys.argv[4]) if len(sys.argv) > 4 else 8000
    moves = {}
    start = 1
    while True:
        kind, t = first_event(orbita, data, level, moves, horizon, start)
        if kind != "death":
            break
        best = None
        for back in (8, 14, 20, 28, 36):
            for direction in (-1, 1):
                for length in (4, 8, 12):
                    trial = dict(moves)
                    for k in range(t - back, t - back + length):
                        if k >= 1:
                            trial[k] = direction
                    kind2, t2 = first_event(orbita, data, level, trial, min(horizon, t + 200), max(1, t - back))
                    if kind2 != "death" or t2 > t + 40:
                        best = trial
                        break
                if best:
                    break
            if best:
                break
        if not best:
            sys.exit(f"no way found past the death at tick {t}")
        moves = best
        start = max(1, t - 40)
        print(f"dodged the death at tick {t}", file=sys.stderr)
    print(f"level {level} {kind} at tick {t}", file=sys.stderr)
    sys.stdout.write(script_of(moves, t))


if __name__ == "__main__":
    main()
