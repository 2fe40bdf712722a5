#!/usr/bin/env python3
"""Timings of the browser build in headless Chromium (figures for docs/PERFORMANCE.md, never
a pass or fail): the page's timedemo (fast=1) per level beside the native program's of the
same script, the tick rate at real speed, the time to the first frame cold, warm and over a
throttled line (10 Mbit/s, 40 ms), and what each file weighs.

    python3 tests/web/PageTimings.py build-web/site build/orbita"""

import os
import re
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import devtools  # noqa: E402

FIRST_VISIT = ["orbita.html", "orbita.js", "orbita.wasm.gz", "first.pack.gz"]


def native_timedemo(program, script):
    out = subprocess.run([program, "--headless", "--frames", "3000", "--timedemo", script],
                         capture_output=True, text=True, check=True).stdout
    m = re.search(r"(\d+) frames, ([\d.]+) seconds.*median ([\d.]+) ms, 99th percentile ([\d.]+) ms", out)
    frames, seconds, median, p99 = int(m.group(1)), float(m.group(2)), float(m.group(3)), float(m.group(4))
    return {"mean": seconds * 1000 / frames, "median": median, "p99": p99}


def first_frame(browser, url, throttled, cold):
    browser.call("Network.setCacheDisabled", cacheDisabled=cold)
    if throttled:
        browser.call("Network.emulateNetworkConditions", offline=False, latency=40,
                     downloadThroughput=10e6 / 8, uploadThroughput=10e6 / 8)
    else:
        browser.call("Network.emulateNetworkConditions", offline=False, latency=0,
                     downloadThroughput=-1, uploadThroughput=-1)
    browser.open(url)
    first = browser.wait_for("window.orbitaResult && window.orbitaResult.firstFrameMs", 120)
    levels = browser.wait_for("window.orbitaResult && window.orbitaResult.levelsMs", 120)
    return first, levels


def main():
    site = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build-web/site")
    native = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "build/orbita")
    files = {f: os.path.getsize(os.path.join(site, f)) for f in sorted(os.listdir(site))
             if not f.startswith("td")}
    print("weights: " + ", ".join(f"{f} {n / 1e3:.1f} kB" for f, n in files.items()) +
          f"; first visit before the first frame {sum(files[f] for f in FIRST_VISIT) / 1e6:.2f} MB,"
          f" all {sum(files.values()) / 1e6:.2f} MB")
    for level in range(1, 9):
        with open(os.path.join(site, f"td{level}.txt"), "w") as f:
            f.write(f"orbita-script 1 seed=7 warp={level} god=1\n@1 hold Space\n@3001 release\n")
    server, base = devtools.serve(site)
    browser = devtools.Browser(os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    try:
        browser.call("Network.enable")
        for level in range(1, 9):
            browser.open(base + f"orbita.html?fast=1&frames=3000&play=td{level}.txt")
            browser.wait_for("window.orbitaResult && window.orbitaResult.done", 300)
            s = browser.evaluate("window.orbitaResult.stats")
            n = native_timedemo(native, os.path.join(site, f"td{level}.txt"))
            print(f"level {level}: browser {s['ticks']} ticks, {s['ticks'] / s['seconds']:.0f} ticks per second, "
                  f"mean {s['mean']:.3f} ms, median {s['median']:.3f} ms, 99th percentile {s['p99']:.3f} ms; "
                  f"native mean {n['mean']:.3f} ms, median {n['median']:.3f} ms, 99th percentile {n['p99']:.3f} ms; "
                  f"browser / native mean {s['mean'] / n['mean']:.2f}")
        browser.open(base + "orbita.html?seed=7&warp=1&nosw=1")
        browser.wait_for("window.orbitaResult && window.orbitaResult.firstFrameMs", 60)
        start = browser.evaluate("[performance.now(), Module.orbitaPictures || 0]")
        time.sleep(10)
        end = browser.evaluate("[performance.now(), Module.orbitaPictures || 0]")
        rate = (end[1] - start[1]) / ((end[0] - start[0]) / 1000)
        print(f"at real speed {rate:.2f} ticks per second")
        url = base + "orbita.html?nosw=1"
        for name, throttled, cold in (("cold", False, True), ("warm", False, False),
                                      ("cold over 10 Mbit/s and 40 ms", True, True),
                                      ("warm over 10 Mbit/s and 40 ms", True, False)):
            runs = [first_frame(browser, url, throttled, cold) for _ in range(3)]
            runs.sort()
            f, l = runs[1]
            print(f"first frame {name}: {f:.0f} ms after the page was asked for (median of 3), "
                  f"levels' data in place at {l:.0f} ms")
    finally:
        browser.quit()
        server.shutdown()
        for level in range(1, 9):
            os.remove(os.path.join(site, f"td{level}.txt"))


if __name__ == "__main__":
    main()
