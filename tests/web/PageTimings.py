#!/usr/bin/env python3
"""Timings of the browser build in headless Chromium (figures for docs/PERFORMANCE.md, never
a pass or fail): the page's timedemo (fast=1) per level, the tick rate at real speed, the
time to the first frame and the download size.

    python3 tests/web/PageTimings.py build-web/site"""

import os
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import devtools  # noqa: E402


def main():
    site = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build-web/site")
    files = {f: os.path.getsize(os.path.join(site, f)) for f in sorted(os.listdir(site))
             if f.startswith("orbita.")}
    print("download: " + ", ".join(f"{f} {n / 1e6:.2f} MB" for f, n in files.items()) +
          f"; total {sum(files.values()) / 1e6:.2f} MB")
    for level in range(1, 9):
        with open(os.path.join(site, f"td{level}.txt"), "w") as f:
            f.write(f"orbita-script 1 seed=7 warp={level} god=1\n@1 hold Space\n@3001 release\n")
    server, base = devtools.serve(site)
    browser = devtools.Browser(os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    try:
        for level in range(1, 9):
            browser.open(base + f"orbita.html?fast=1&frames=3000&play=td{level}.txt")
            browser.wait_for("window.orbitaResult && window.orbitaResult.done", 300)
            s = browser.evaluate("window.orbitaResult.stats")
            print(f"level {level}: {s['ticks']} ticks, {s['ticks'] / s['seconds']:.0f} ticks per second, "
                  f"mean {s['mean']:.3f} ms, median {s['median']:.3f} ms, 99th percentile {s['p99']:.3f} ms")
        browser.open(base + "orbita.html?seed=7&warp=1")
        first = browser.wait_for("window.orbitaResult && window.orbitaResult.firstFrameMs", 60)
        start = browser.evaluate("[performance.now(), Module.orbitaPictures || 0]")
        time.sleep(10)
        end = browser.evaluate("[performance.now(), Module.orbitaPictures || 0]")
        rate = (end[1] - start[1]) / ((end[0] - start[0]) / 1000)
        print(f"first frame {first:.0f} ms after the page started; at real speed {rate:.2f} ticks per second")
    finally:
        browser.quit()
        server.shutdown()
        for level in range(1, 9):
            os.remove(os.path.join(site, f"td{level}.txt"))


if __name__ == "__main__":
    main()
