#!/usr/bin/env python3
"""The same game in a real browser: builds the browser version, serves it on 127.0.0.1,
plays input scripts in headless Chromium and in the native headless program, and requires
the state dumps and the frame pictures to be identical at every checked tick. Then the page
for every visitor: the picture fitted to several windows, a phone's touch controls and a touch
player, a gamepad alone, the sound worklet and its remembered settings, a plain load that tells
nothing on the console, a player faster than the line, and an offline start.

Exit status 0 when everything matched, 1 on a difference or a failure, 77 (skipped) when
the browser build cannot be made here because Emscripten or Chromium is missing."""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import devtools  # noqa: E402

SKIP = 77

# name, options, script (a replay file or the text of one), last tick, dumps, screenshots.
REPLAYS = "tests/scenario/replays/"
SCENARIOS = [
    # Story, title, menu, the start box clicked, then the whole game with fire held and
    # the ship unbreakable: thousands of ticks of every level and the end text.
    ("whole game", {}, REPLAYS + "whole-game.txt", 36000,
     [5, 45, 61] + list(range(500, 36001, 1500)),
     [2, 45, 100, 4000, 9000, 14000, 19000, 24000, 29000, 35990]),
    # Level 1 fought through for real (the ship dies and comes back).
    ("level 1", {}, REPLAYS + "level1.txt", 5200, list(range(400, 5201, 800)), [1200, 5200]),
    # Level 4 at once, its turn from going down to going right, and a pause with its text.
    ("warp 4", {"seed": "3", "warp": "4"},
     "@1 hold Space\n@300 hold Space Up\n@700 hold Space Right\n@1000 release\n"
     "@1200 hold Enter\n@1201 release\n@1300 hold Escape\n@1301 release\n",
     1600, [1, 300, 800, 1200, 1250, 1600], [300, 1250, 1600]),
]


def native_run(program, options, script, frames, dumps, shots, out):
    args = [program, "--headless", "--frames", str(frames), "--play", script]
    for k, v in options.items():
        args += ["--" + k, v] if v is not True else ["--" + k]
    for t in dumps:
        args += ["--dump-state", f"{t}:{out}/dump-{t}.json"]
    for t in shots:
        args += ["--screenshot", f"{t}:{out}/shot-{t}.png"]
    r = subprocess.run(args, capture_output=True, text=True, timeout=600)
    if r.returncode != 0:
        raise RuntimeError(f"the native run failed ({r.returncode}): {r.stderr.strip()}")


def page_run(browser, base, options, script_name, frames, dumps, shots, timeout):
    query = dict(options)
    query.update({"fast": "1", "frames": str(frames), "play": script_name,
                  "dump": ",".join(map(str, dumps)), "shot": ",".join(map(str, shots))})
    url = base + "orbita.html?" + "&".join(f"{k}={v}" for k, v in query.items())
    browser.open(url)
    browser.wait_for("window.orbitaResult && window.orbitaResult.done", timeout)
    return json.loads(browser.evaluate("JSON.stringify(window.orbitaResult)"))


def first_json_difference(a, b, path="$"):
    if type(a) != type(b):
        return f"{path}: {a!r} against {b!r}"
    if isinstance(a, dict):
        for k in sorted(set(a) | set(b)):
            if k not in a or k not in b:
                return f"{path}.{k}: present on one side only"
            d = first_json_difference(a[k], b[k], f"{path}.{k}")
            if d:
                return d
        return None
    if isinstance(a, list):
        if len(a) != len(b):
            return f"{path}: {len(a)} entries against {len(b)}"
        for i, (x, y) in enumerate(zip(a, b)):
            d = first_json_difference(x, y, f"{path}[{i}]")
            if d:
                return d
        return None
    return None if a == b else f"{path}: {a!r} against {b!r}"


def compare(name, native_dir, page, dumps, shots):
    faults = []
    for t in dumps:
        with open(f"{native_dir}/dump-{t}.json") as f:
            native = f.read()
        web = page["dumps"].get(str(t))
        if web is None:
            faults.append(f"{name}: the page wrote no state dump at tick {t}")
        elif web != native:
            d = first_json_difference(json.loads(native), json.loads(web))
            faults.append(f"{name}: the state at tick {t} differs (native against browser): {d or 'in its text'}")
    for t in shots:
        with open(f"{native_dir}/shot-{t}.png", "rb") as f:
            native = devtools.read_png(f.read())
        data = page["shots"].get(str(t))
        if data is None:
            faults.append(f"{name}: the page wrote no picture at tick {t}")
            continue
        import base64
        web = devtools.read_png(base64.b64decode(data))
        if native[:2] != web[:2]:
            faults.append(f"{name}: the picture at tick {t} is {web[0]} x {web[1]}, natively {native[0]} x {native[1]}")
            continue
        rows = [y for y in range(native[1]) if native[2][y] != web[2][y]]
        if rows:
            y = rows[0]
            x = next(i for i in range(native[0]) if native[2][y][3 * i:3 * i + 3] != web[2][y][3 * i:3 * i + 3])
            faults.append(f"{name}: the picture at tick {t} differs in {len(rows)} rows, first at ({x}, {y})")
    return faults


def canvas_picture(browser, work):
    """The picture on the page's canvas as the browser shows it: (scale, width, height, rows)
    with every block of scale x scale screen pixels sampled at its centre."""
    rect = browser.evaluate("(function(){var r = document.getElementById('canvas').getBoundingClientRect();"
                            "return [r.left, r.top, r.width, r.height, window.devicePixelRatio];})()")
    left, top, width, height, ratio = rect
    scale = width / 640
    if scale != int(scale) or height != 480 * scale or ratio != 1:
        return scale, None
    shot = browser.call("Page.captureScreenshot", format="png",
                        clip={"x": left, "y": top, "width": width, "height": height, "scale": 1})["data"]
    import base64
    w, h, rows = devtools.read_png(base64.b64decode(shot))
    s = int(scale)
    picture = [bytes(b for x in range(640) for b in rows[y * s + s // 2][3 * (x * s + s // 2):3 * (x * s + s // 2) + 3])
               for y in range(480)]
    return s, picture


def page_behaviour(browser, base, site, native_shot):
    """What the page does for a person: the canvas shows the frame at a whole scale, keys that
    would scroll are kept from the page, focus loss stops the game, failures are told."""
    faults = []
    # The last scenario left its final picture on the canvas.
    scale, picture = canvas_picture(browser, site)
    if picture is None:
        faults.append(f"page: the canvas is shown at scale {scale}, not a whole number")
    else:
        with open(native_shot, "rb") as f:
            _, _, native = devtools.read_png(f.read())
        rows = sum(1 for y in range(480) if picture[y] != native[y])
        if rows:
            faults.append(f"page: the canvas at scale {scale} differs from the frame in {rows} rows")
    # Real speed: ticks run; blur stops them as a deactivated window; focus brings them back.
    browser.open(base + "orbita.html?seed=7&warp=1&nosw=1")
    browser.wait_for("window.orbitaResult && window.orbitaResult.firstFrameMs !== null", 60)
    kept = browser.evaluate("(function(){var r = [];['ArrowDown','ArrowUp','Space','KeyA','F5'].forEach(function(c){"
                            "var e = new KeyboardEvent('keydown', {code: c, key: c, bubbles: true, cancelable: true});"
                            "window.dispatchEvent(e); r.push(e.defaultPrevented);"
                            "window.dispatchEvent(new KeyboardEvent('keyup', {code: c, key: c, bubbles: true}));});"
                            "return r;})()")
    if kept[:3] != [True, True, True] or kept[4]:
        faults.append(f"page: keys kept from the page (ArrowDown, ArrowUp, Space, KeyA, F5): {kept}")
    time.sleep(0.5)
    count = lambda: browser.evaluate("Module.orbitaPictures || 0")
    before = count()
    time.sleep(0.5)
    running = count() - before
    browser.evaluate("window.dispatchEvent(new FocusEvent('blur'))")
    time.sleep(0.2)
    before = count()
    time.sleep(0.6)
    paused = count() - before
    browser.evaluate("window.dispatchEvent(new FocusEvent('focus'))")
    time.sleep(0.2)
    before = count()
    time.sleep(0.5)
    resumed = count() - before
    # 40 a second at most; a busy machine may give fewer animation frames, never more ticks.
    if not (5 <= running <= 24 and paused == 0 and 5 <= resumed <= 24):
        faults.append(f"page: ticks in half a second playing {running}, in 0.6 s after focus loss {paused}, "
                      f"in half a second after focus {resumed} (expected about 20, 0, 20)")
    # The pointer in picture coordinates whatever the scale: a move to three quarters across
    # and down the shown canvas is (480, 360) in the state the game keeps.
    browser.open(base + "orbita.html?seed=7&frames=60&dump=60")
    browser.wait_for("window.orbitaResult && window.orbitaResult.firstFrameMs !== null", 60)
    browser.evaluate("(function(){var c = document.getElementById('canvas'), r = c.getBoundingClientRect();"
                     "c.dispatchEvent(new MouseEvent('mousemove', {bubbles: true, clientX: r.left + r.width * 0.75,"
                     " clientY: r.top + r.height * 0.75}));})()")
    browser.wait_for("window.orbitaResult.done", 60)
    dump = json.loads(browser.evaluate("window.orbitaResult.dumps['60'] || '{}'"))
    if (dump.get("mouseX"), dump.get("mouseY")) != (480, 360):
        faults.append(f"page: a pointer at three quarters of the canvas gave ({dump.get('mouseX')}, "
                      f"{dump.get('mouseY')}), not (480, 360)")
    # An option out of range is told in the program's own words, and nothing runs.
    browser.open(base + "orbita.html?warp=9")
    browser.wait_for("window.orbitaResult && window.orbitaResult.done", 60)
    told = browser.evaluate("[document.getElementById('message').textContent, Module.orbitaStarted || false]")
    if "--warp: 9 is out of range" not in told[0] or told[1]:
        faults.append(f"page: ?warp=9 told {told[0]!r}, the game started: {told[1]}")
    # Data that cannot be loaded, and a browser without WebAssembly: a clear message each.
    os.rename(os.path.join(site, "first.pack.gz"), os.path.join(site, "first.pack.gz.away"))
    try:
        browser.open(base + "orbita.html")
        failed = browser.wait_for("window.orbitaResult && window.orbitaResult.done && window.orbitaResult.failed", 60)
        # In the page's language: Czech unless English was chosen.
        if ("nepodařilo načíst" not in failed and "could not be loaded" not in failed) or "404" not in failed:
            faults.append(f"page: missing data reported as {failed!r}")
    finally:
        os.rename(os.path.join(site, "first.pack.gz.away"), os.path.join(site, "first.pack.gz"))
    script = browser.call("Page.addScriptToEvaluateOnNewDocument", source="delete window.WebAssembly;")
    try:
        browser.open(base + "orbita.html")
        failed = browser.wait_for("window.orbitaResult && window.orbitaResult.done && window.orbitaResult.failed", 60)
        if "WebAssembly" not in failed:
            faults.append(f"page: a browser without WebAssembly told {failed!r}")
    finally:
        browser.call("Page.removeScriptToEvaluateOnNewDocument", identifier=script["identifier"])
    return faults


def page_events(browser, since):
    """Warnings, errors and failed requests the page reported after event number `since`."""
    told = []
    for e in browser.events[since:]:
        m, p = e["method"], e.get("params", {})
        if m == "Runtime.consoleAPICalled" and p.get("type") in ("warning", "error", "assert"):
            told.append("console " + p["type"] + ": " + " ".join(str(a.get("value", a.get("description", "")))
                                                                  for a in p.get("args", [])))
        elif m == "Log.entryAdded" and p["entry"].get("level") in ("warning", "error"):
            told.append("log " + p["entry"]["level"] + ": " + p["entry"].get("text", "") + " " + p["entry"].get("url", ""))
        elif m == "Runtime.exceptionThrown":
            told.append("exception: " + json.dumps(p.get("exceptionDetails", {}))[:300])
        elif m == "Network.loadingFailed" and not p.get("canceled"):
            told.append("request failed: " + p.get("errorText", ""))
        elif m == "Network.responseReceived" and p["response"].get("status", 200) >= 400:
            told.append(f"HTTP {p['response']['status']}: {p['response']['url']}")
    return told


def window_size(browser, width, height, ratio=1, mobile=False, touch=False):
    browser.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=ratio,
                 mobile=mobile)
    browser.call("Emulation.setTouchEmulationEnabled", enabled=touch, maxTouchPoints=5 if touch else 1)


def picture_fit(browser):
    """The canvas's place and scale as the page shows it, and the window's size."""
    return browser.evaluate("(function(){var r = document.getElementById('canvas').getBoundingClientRect();"
                            "return {left: r.left, top: r.top, right: r.right, bottom: r.bottom, width: r.width,"
                            " height: r.height, W: window.innerWidth, H: window.innerHeight,"
                            " ratio: window.devicePixelRatio, backing: document.getElementById('canvas').width,"
                            " fit: window.orbitaResult.fit};})()")


def fit_faults(name, f):
    faults = []
    fits = min(f["W"] / 640, f["H"] / 480)
    if f["width"] < 0.85 * 640 * fits - 0.01 or abs(f["width"] * 3 - f["height"] * 4) > 1:
        faults.append(f"{name}: the picture is {f['width']:.1f} x {f['height']:.1f} in a {f['W']} x {f['H']} "
                      f"window (the fitting scale is {fits:.3f})")
    if f["left"] < -0.01 or f["top"] < -0.01 or f["right"] > f["W"] + 0.01 or f["bottom"] > f["H"] + 0.01:
        faults.append(f"{name}: the picture is not wholly in view: {f}")
    # Even pixels: either the canvas is the frame itself at a whole scale of the screen's
    # pixels, or it holds the frame at a whole scale no smaller than it is shown.
    device = f["width"] * f["ratio"]
    if f["backing"] == 640:
        if abs(device / 640 - round(device / 640)) > 0.01 and device > 640:
            faults.append(f"{name}: the frame is shown at {device / 640:.3f} screen pixels a pixel, not a whole number")
    elif f["backing"] % 640 or f["backing"] < device - 1 or f["backing"] > device + 640:
        faults.append(f"{name}: the canvas holds {f['backing']} pixels a row for {device:.1f} shown")
    return faults


def touch(browser, kind, points):
    browser.call("Input.dispatchTouchEvent", type=kind,
                 touchPoints=[{"x": x, "y": y, "id": i} for i, (x, y) in points])


def centre(browser, selector):
    return browser.evaluate(f"(function(){{var r = document.querySelector('{selector}').getBoundingClientRect();"
                            "return [r.left + r.width / 2, r.top + r.height / 2];})()")


def pointer_shown(browser):
    """Whether the game shows its pointer (the menu, once its picture is in place): the pointer
    is moved over the middle of the picture, where no box is, and its shape read back."""
    return browser.evaluate("(function(){var c = document.getElementById('canvas'), r = c.getBoundingClientRect();"
                            "c.dispatchEvent(new MouseEvent('mousemove', {bubbles: true, clientX: r.left + r.width / 2,"
                            " clientY: r.top + r.height / 2})); return c.style.cursor;})()") not in ("", "none")


def played(dumps, name):
    """Whether the dumps show level 1 entered from the menu, the ship climbed and shots out."""
    faults = []
    states = [json.loads(dumps[t]) for t in sorted(dumps, key=int)]
    playing = [s for s in states if not (s["inStory"] or s["inTitle"] or s["inMenu"])]
    if not playing or playing[0]["level"] != 1:
        faults.append(f"{name}: level 1 was never reached")
        return faults
    if min(s["shipY"] for s in playing) > 40:
        faults.append(f"{name}: the ship never climbed (lowest y {min(s['shipY'] for s in playing)})")
    fired = any(slot["x"] != 800 for s in playing for g in s["shotGroups"][:1] for slot in g["slots"])
    if not fired:
        faults.append(f"{name}: no shot was ever in flight")
    return faults


def page_additions(browser, base, site, chromium):
    """The page for every visitor: fitted to any window, touch controls on a phone, a gamepad
    alone, a clean plain load, sound through the worklet, offline start."""
    faults = []
    browser.call("Log.enable")
    browser.call("Network.enable")
    # A plain load tells nothing on the console and fails no request.
    since = len(browser.events)
    browser.open(base + "orbita.html?nosw=1")
    browser.wait_for("window.orbitaResult && window.orbitaResult.levelsMs !== null", 60)
    time.sleep(1)
    faults += ["plain load: " + t for t in page_events(browser, since)]
    # Fitted: no less than 85 % of the fitting scale, wholly in view, even pixels.
    for w, h in ((1920, 970), (1366, 768), (1280, 720), (800, 600), (390, 844)):
        window_size(browser, w, h)
        time.sleep(0.3)
        faults += fit_faults(f"window {w} x {h}", picture_fit(browser))
    # Sound: the worklet is made at the first gesture and then takes samples from the mixer.
    browser.call("Input.dispatchKeyEvent", type="keyDown", key="Shift", code="ShiftLeft", windowsVirtualKeyCode=16)
    browser.call("Input.dispatchKeyEvent", type="keyUp", key="Shift", code="ShiftLeft", windowsVirtualKeyCode=16)
    try:
        browser.wait_for("Module.orbitaAudio && Module.orbitaAudio.frames > 4096", 10)
    except TimeoutError:
        faults.append("sound: the audio worklet took no samples from the mixer after a key press: " +
                      str(browser.evaluate("Module.orbitaAudio ? JSON.stringify({s: Module.orbitaAudio.context && "
                                           "Module.orbitaAudio.context.state, f: Module.orbitaAudio.frames}) : 'none'")))
    # Mute and volume are remembered.
    browser.evaluate("var v = document.getElementById('volume'); v.value = '40'; v.dispatchEvent(new Event('input'));"
                     "document.getElementById('mute').click();")
    browser.open(base + "orbita.html?nosw=1")
    browser.wait_for("window.orbitaResult && window.orbitaResult.firstFrameMs !== null", 60)
    kept = browser.evaluate("[document.getElementById('mute').getAttribute('aria-pressed'),"
                            " document.getElementById('volume').value, document.getElementById('touch').offsetParent !== null]")
    if kept[:2] != ["true", "40"]:
        faults.append(f"sound: mute and volume after a reload {kept[:2]}, not muted at 40")
    if kept[2]:
        faults.append("page: touch controls shown on a desktop")
    browser.evaluate("localStorage.clear()")

    # A phone: the whole picture in both orientations, controls with their keys and names,
    # and a touch player from the story into level 1, climbing and firing.
    dumps = list(range(20, 1201, 20))
    for w, h in ((390, 844), (844, 390)):
        window_size(browser, w, h, ratio=3, mobile=True, touch=True)
        browser.open(base + "orbita.html?nosw=1&seed=7&frames=1200&dump=" + ",".join(map(str, dumps)))
        browser.wait_for("window.orbitaResult && window.orbitaResult.firstFrameMs !== null", 60)
        time.sleep(0.3)
        faults += fit_faults(f"phone {w} x {h}", picture_fit(browser))
        controls = browser.evaluate(
            "Array.prototype.map.call(document.querySelectorAll('#touch [data-key]'), function(e){"
            "var r = e.getBoundingClientRect(); return [e.getAttribute('data-key'), e.getAttribute('aria-label'),"
            " r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight, r.width, r.height];})")
        names = sorted(c[0] for c in controls)
        if names != sorted(["Up", "Down", "Left", "Right", "Space", "Tab", "Enter", "Escape"]):
            faults.append(f"phone {w} x {h}: the touch controls are {names}")
        for key, label, inside, cw, ch in controls:
            if not label or not inside or min(cw, ch) < 36:
                faults.append(f"phone {w} x {h}: control {key} (label {label!r}) {cw:.0f} x {ch:.0f}, in view: {inside}")
    # In landscape (the last page open): Escape twice, a tap on the start box, then Up and
    # fire held together.
    for _ in range(2):
        x, y = centre(browser, "#touch [data-key=Escape]")
        touch(browser, "touchStart", [(0, (x, y))])
        time.sleep(0.15)
        touch(browser, "touchEnd", [])
        time.sleep(0.4)
    try:
        deadline = time.time() + 20
        while not pointer_shown(browser):
            if time.time() > deadline:
                raise TimeoutError("the menu did not show its pointer after two taps of Escape")
            time.sleep(0.2)
        f = picture_fit(browser)
        touch(browser, "touchStart", [(0, (f["left"] + f["width"] * 525 / 640, f["top"] + f["height"] * 415 / 480))])
        time.sleep(0.1)
        touch(browser, "touchEnd", [])
        time.sleep(0.5)
        up, fire = centre(browser, "#touch [data-key=Up]"), centre(browser, "#touch [data-key=Space]")
        touch(browser, "touchStart", [(0, up)])
        touch(browser, "touchStart", [(0, up), (1, fire)])
        time.sleep(2.5)
        touch(browser, "touchEnd", [])
        browser.wait_for("window.orbitaResult.done", 60)
        faults += played(browser.evaluate("window.orbitaResult.dumps"), "touch player")
    except TimeoutError as e:
        faults.append(f"touch player: {e}")
    window_size(browser, 1400, 1100)

    # A gamepad alone: fire (the fourth button) through the story and the title, Start in the
    # menu, then up and fire in level 1.
    pad = browser.call("Page.addScriptToEvaluateOnNewDocument", source=(
        "window.orbitaPad = {id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: 1,"
        " axes: [0, 0, 0, 0], buttons: []};"
        "for (var i = 0; i < 17; ++i) orbitaPad.buttons.push({pressed: false, touched: false, value: 0});"
        "window.orbitaPress = function (b, down) { orbitaPad.buttons[b].pressed = down;"
        " orbitaPad.buttons[b].value = down ? 1 : 0; orbitaPad.timestamp += 1; };"
        "navigator.getGamepads = function () { return [orbitaPad]; };"))
    try:
        browser.open(base + "orbita.html?nosw=1&seed=7&frames=1200&dump=" + ",".join(map(str, dumps)))
        browser.wait_for("window.orbitaResult && window.orbitaResult.firstFrameMs !== null", 60)
        deadline = time.time() + 30
        while time.time() < deadline and not pointer_shown(browser):
            browser.evaluate("orbitaPress(3, true)")
            time.sleep(0.15)
            browser.evaluate("orbitaPress(3, false)")
            time.sleep(0.35)
        if not pointer_shown(browser):
            faults.append("gamepad: the fire button did not get through the story and the title to the menu")
        else:
            browser.evaluate("orbitaPress(9, true)")
            time.sleep(0.2)
            browser.evaluate("orbitaPress(9, false); orbitaPad.axes[1] = -1; orbitaPress(3, true)")
            time.sleep(2.5)
            browser.evaluate("orbitaPad.axes[1] = 0; orbitaPress(3, false)")
            browser.wait_for("window.orbitaResult.done", 60)
            faults += played(browser.evaluate("window.orbitaResult.dumps"), "gamepad player")
    finally:
        browser.call("Page.removeScriptToEvaluateOnNewDocument", identifier=pad["identifier"])

    # A player faster than the line: the start box clicked before the levels' data is in.
    # The game waits with a progress line (no tick, no picture) and goes on when it arrives.
    browser.call("Network.setCacheDisabled", cacheDisabled=True)
    browser.call("Network.emulateNetworkConditions", offline=False, latency=40,
                 downloadThroughput=3e6 / 8, uploadThroughput=3e6 / 8)
    try:
        browser.open(base + "orbita.html?nosw=1&seed=7")
        browser.wait_for("window.orbitaResult && window.orbitaResult.firstFrameMs !== null", 60)
        for _ in range(2):
            browser.evaluate("window.dispatchEvent(new KeyboardEvent('keydown', {code: 'Escape', key: 'Escape', bubbles: true}));"
                             "window.dispatchEvent(new KeyboardEvent('keyup', {code: 'Escape', key: 'Escape', bubbles: true}));")
            time.sleep(0.3)
        deadline = time.time() + 20
        while not pointer_shown(browser) and time.time() < deadline:
            time.sleep(0.2)
        browser.evaluate("(function(){var c = document.getElementById('canvas'), r = c.getBoundingClientRect();"
                         "var at = {bubbles: true, button: 0, clientX: r.left + r.width * 525 / 640, clientY: r.top + r.height * 415 / 480};"
                         "['mousemove', 'mousedown', 'mouseup'].forEach(function(t){c.dispatchEvent(new MouseEvent(t, at));});})()")
        time.sleep(1)
        waiting = browser.evaluate("[window.orbitaResult.levelsMs, getComputedStyle(document.getElementById('wait')).display,"
                                   " Module.orbitaPictures]")
        time.sleep(1)
        still = browser.evaluate("Module.orbitaPictures")
        if waiting[0] is not None:
            faults.append("levels' data: it arrived before the start box was clicked; nothing was tested")
        elif waiting[1] != "block" or still != waiting[2]:
            faults.append(f"levels' data: clicked before it arrived, the wait line is {waiting[1]!r} and "
                          f"{still - waiting[2]} pictures came in a second (expected a shown line and none)")
        browser.wait_for("window.orbitaResult.levelsMs !== null", 120)
        time.sleep(1.5)
        after = browser.evaluate("[getComputedStyle(document.getElementById('wait')).display, Module.orbitaPictures,"
                                 " window.orbitaResult.messages]")
        # In a level the game hides its pointer (the menu shows it).
        pointer_shown(browser)
        time.sleep(0.2)
        if pointer_shown(browser):
            faults.append("levels' data: after it arrived the game is still in the menu")
        if after[0] != "none" or after[1] - still < 20 or after[2]:
            faults.append(f"levels' data: after it arrived the wait line is {after[0]!r}, {after[1] - still} pictures "
                          f"came, the page told {after[2]}")
    except TimeoutError as e:
        faults.append(f"levels' data: {e}")
    finally:
        browser.call("Network.emulateNetworkConditions", offline=False, latency=0, downloadThroughput=-1,
                     uploadThroughput=-1)
        browser.call("Network.setCacheDisabled", cacheDisabled=False)

    # Offline: a visit that played once starts again with the server gone.
    server, own = devtools.serve(site)
    since = len(browser.events)
    try:
        browser.open(own + "orbita.html")
        browser.wait_for("window.orbitaResult && window.orbitaResult.levelsMs !== null", 60)
        browser.wait_for("navigator.serviceWorker.ready.then(function(){return caches.keys()}).then(function(k){"
                         "return k.length ? caches.open(k[0]).then(function(c){return c.keys()}).then(function(r){"
                         "return r.length >= 9;}) : false;})", 60)
        faults += ["plain load with the service worker: " + t for t in page_events(browser, since)]
    except TimeoutError as e:
        faults.append(f"offline: the service worker did not keep the site: {e}")
    finally:
        server.shutdown()
        server.server_close()
    try:
        browser.open(own + "orbita.html")
        browser.wait_for("window.orbitaResult && (window.orbitaResult.levelsMs !== null || window.orbitaResult.failed)", 60)
        failed = browser.evaluate("window.orbitaResult.failed")
        if failed:
            faults.append(f"offline: the page failed without its server: {failed}")
    except TimeoutError as e:
        faults.append(f"offline: {e}")
    finally:
        try:
            browser.evaluate("navigator.serviceWorker.getRegistrations().then(function(r){return Promise.all("
                             "r.map(function(x){return x.unregister();}))}).then(function(){return caches.keys()})"
                             ".then(function(k){return Promise.all(k.map(function(n){return caches.delete(n);}))})"
                             ".then(function(){return true;})")
        except RuntimeError as e:
            # A page that did not load offline (the browser's error page) has no worker to remove.
            faults.append(f"offline: nothing to clean up, the page was not there: {e}")
    return faults


def build_web(source, native, web):
    env = dict(os.environ)
    env.setdefault("NODE_PATH", "/usr/share/nodejs")
    jobs = str(min(2, os.cpu_count() or 2))
    for need in ("orbita", "data/pozadi", "tools/assets/BuiltinsData.cpp", "icons/orbita-64.png"):
        if not os.path.exists(os.path.join(native, need)):
            raise RuntimeError(f"the native build {native} has no {need}: build it first")
    subprocess.run(["emcmake", "cmake", "-S", os.path.join(source, "browser"), "-B", web,
                    "-DORBITA_NATIVE_BUILD=" + native], check=True, env=env, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", web, "-j", jobs], check=True, env=env, stdout=subprocess.DEVNULL)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--source", required=True, help="the source tree")
    ap.add_argument("--native", required=True, help="the native build tree")
    ap.add_argument("--web", required=True, help="where the browser build goes")
    ap.add_argument("--chromium", default=shutil.which("chromium") or "/usr/bin/chromium")
    ap.add_argument("--keep", help="keep the outputs in this folder")
    a = ap.parse_args()
    source, native, web = (os.path.abspath(p) for p in (a.source, a.native, a.web))

    if not shutil.which("emcmake") or not shutil.which("em++"):
        print("skipped: Emscripten (Debian package emscripten) is not installed")
        return SKIP
    if not os.access(a.chromium, os.X_OK):
        print("skipped: Chromium (Debian package chromium) is not installed")
        return SKIP
    started = time.time()
    try:
        build_web(source, native, web)
    except (RuntimeError, subprocess.CalledProcessError) as e:
        print(f"FAULT: the browser build failed: {e}")
        return 1
    print(f"browser build ready in {time.time() - started:.0f} s")

    work = a.keep or tempfile.mkdtemp(prefix="orbita-web-test-")
    os.makedirs(work, exist_ok=True)
    site = os.path.join(work, "site")
    os.makedirs(site, exist_ok=True)
    for f in os.listdir(os.path.join(web, "site")):
        target = os.path.join(site, f)
        if not os.path.exists(target):
            os.symlink(os.path.join(web, "site", f), target)
    server, base = devtools.serve(site)
    browser = devtools.Browser(a.chromium)
    faults = []
    try:
        # A window where the picture fits at a whole scale (2): the canvas is compared pixel
        # for pixel with the frame.
        window_size(browser, 1400, 1100)
        for i, (name, options, script, frames, dumps, shots) in enumerate(SCENARIOS):
            script_name = f"script-{i}.txt"
            script_path = os.path.join(site, script_name)
            if script.startswith(REPLAYS):
                # The replays' hashes belong to the scenario tests' own small data set; here
                # the game's real data plays, and the comparison is the dumps and pictures.
                with open(os.path.join(source, script)) as f:
                    script = "".join(line for line in f if " hash " not in line)
            # A script that ends before the run hands the controls to the person at the
            # machine in a browser (as in a window): this one lasts the whole run.
            with open(script_path, "w") as f:
                f.write(script + f"@{frames + 1} release\n")
            out = os.path.join(work, f"native-{i}")
            os.makedirs(out, exist_ok=True)
            t0 = time.time()
            native_run(os.path.join(native, "orbita"), options, script_path, frames, dumps, shots, out)
            t1 = time.time()
            page = page_run(browser, base, options, script_name, frames, dumps, shots, timeout=300)
            t2 = time.time()
            if page.get("failed"):
                faults.append(f"{name}: the page failed: {page['failed']}")
            problems = [m for m in page.get("messages", []) if m.strip()]
            if problems:
                faults.append(f"{name}: the page reported: " + " | ".join(problems))
            faults += compare(name, out, page, dumps, shots)
            stats = page.get("stats") or {}
            print(f"{name}: {frames} ticks, native {t1 - t0:.1f} s, browser {t2 - t1:.1f} s "
                  f"({stats.get('ticks', 0)} ticks timed, median {stats.get('median', 0):.3f} ms), "
                  f"{len(dumps)} dumps and {len(shots)} pictures compared")
        last = len(SCENARIOS) - 1
        faults += page_behaviour(browser, base, site, os.path.join(work, f"native-{last}",
                                                                   f"shot-{SCENARIOS[last][5][-1]}.png"))
        faults += page_additions(browser, base, site, a.chromium)
    finally:
        browser.quit()
        server.shutdown()
        if not a.keep:
            shutil.rmtree(work, ignore_errors=True)
    for f in faults:
        print("FAULT: " + f)
    print(f"browser test {'failed' if faults else 'passed'} in {time.time() - started:.0f} s")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
