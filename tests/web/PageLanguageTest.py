#!/usr/bin/env python3
"""The page's language: Czech by default, English with ?lang=en, and the CZ / EN switch,
whose choice the browser remembers. Only the page is served (no game build is needed): its
own texts, including the message that the game's data is missing, come in the language
chosen, and the language it hands to the game is read back.

Exit status 0 when all holds, 1 on a fault, 77 (skipped) when Chromium is missing."""

import argparse
import os
import shutil
import sys
import tempfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import devtools  # noqa: E402


def state(browser):
    return browser.evaluate(
        "({lang: document.documentElement.lang, help: document.getElementById('help').textContent,"
        " full: document.getElementById('full').textContent, language: window.orbitaResult.language,"
        " message: document.getElementById('message').textContent})")


def wait_loaded(browser, url):
    browser.open(url)
    # The page ends in its message that the data cannot be loaded (none is served here).
    browser.wait_for("document.readyState === 'complete' && window.orbitaResult && window.orbitaResult.done", 30)
    return state(browser)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--source", required=True)
    ap.add_argument("--chromium", default=shutil.which("chromium") or "/usr/bin/chromium")
    a = ap.parse_args()
    if not os.access(a.chromium, os.X_OK):
        print("skipped: Chromium (Debian package chromium) is not installed")
        return 77
    site = tempfile.mkdtemp(prefix="orbita-page-")
    shutil.copy(os.path.join(a.source, "browser", "orbita.html"), site)
    server, base = devtools.serve(site)
    browser = devtools.Browser(a.chromium)
    faults = []

    def expect(what, ok):
        if not ok:
            faults.append(what)

    try:
        page = base + "orbita.html"
        s = wait_loaded(browser, page)
        expect(f"Czech by default: {s}", s["lang"] == "cs" and s["language"] == "cs" and s["help"].startswith("Šipky")
               and s["full"] == "Celá obrazovka" and "Data hry se nepodařilo načíst" in s["message"])
        s = wait_loaded(browser, page + "?lang=en")
        expect(f"English by the address: {s}", s["lang"] == "en" and s["language"] == "en"
               and s["help"].startswith("Arrows") and s["full"] == "Full screen"
               and "The game's data could not be loaded" in s["message"] and "Data hry" not in s["message"])
        s = wait_loaded(browser, page)
        expect(f"the address alone is not remembered: {s}", s["language"] == "cs")
        # The switch: English, remembered without the address saying so, then Czech again.
        browser.evaluate("document.getElementById('lang').click()")
        browser.wait_for("window.location.search.indexOf('lang=en') >= 0 && window.orbitaResult"
                         " && window.orbitaResult.done", 30)
        expect(f"the switch turns to English: {state(browser)}", state(browser)["language"] == "en")
        s = wait_loaded(browser, page)
        expect(f"the switch's choice is remembered: {s}", s["language"] == "en" and s["help"].startswith("Arrows"))
        s = wait_loaded(browser, page + "?lang=cs")
        expect(f"the address wins over the remembered choice: {s}", s["language"] == "cs")
        browser.evaluate("document.getElementById('lang').click()")
        browser.wait_for("window.location.search.indexOf('lang=en') >= 0 && window.orbitaResult"
                         " && window.orbitaResult.done", 30)
        browser.evaluate("document.getElementById('lang').click()")
        browser.wait_for("window.location.search.indexOf('lang=cs') >= 0 && window.orbitaResult"
                         " && window.orbitaResult.done", 30)
        s = wait_loaded(browser, page)
        expect(f"switched back to Czech and remembered: {s}", s["language"] == "cs" and s["help"].startswith("Šipky"))
        s = wait_loaded(browser, page + "?lang=xx")
        expect(f"an unknown language in the address is Czech: {s}", s["language"] == "cs")
    finally:
        browser.quit()
        server.shutdown()
        shutil.rmtree(site, ignore_errors=True)
    for f in faults:
        print("FAULT:", f)
    print("page language:", "ok" if not faults else f"{len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
