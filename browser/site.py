#!/usr/bin/env python3
"""The browser build's site beside the program: the game's data in two packages, the icons,
the web app manifest and the service worker.

    site.py pack DATA FONT SITE      first.pack.gz (what the story, title and menu read) and
                                     levels.pack.gz (everything else, with the text's face)
    site.py finish ICONS SITE        favicon.ico, the icons, orbita.webmanifest and sw.js,
                                     whose cache name is the digest of every file it keeps

A package is gzip-compressed: a little-endian 32-bit length, a JSON list of [path, size] and
the files' bytes in that order. Every path is one of the program's file system."""

import gzip
import hashlib
import json
import os
import shutil
import struct
import sys

# Read before the menu's start box can be used: the story (its pictures and music), the title
# and the menu picture. The levels' pictures and music and the text face follow. Each language
# folder (lang/XX/) holds its own versions of some of these files, with its texts and its HUD
# panel, which the program reads at start: those come first too.
FIRST = ["pozadi/story.dxg", "pozadi/menu.dxg", "zvuky/menu1.dxg"]
LANGUAGE_FIRST = FIRST + ["texts.txt", "podklad.dxg"]


def is_first(path):
    parts = path.split("/")
    if len(parts) > 2 and parts[0] == "lang":
        return "/".join(parts[2:]) in LANGUAGE_FIRST
    return path in FIRST
FONT_PATH = "usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

# What the page needs, in the order it loads them; the service worker keeps all of them.
SITE_FILES = ["orbita.html", "orbita.js", "orbita.wasm.gz", "first.pack.gz", "levels.pack.gz",
              "orbita.webmanifest", "orbita-64.png", "orbita-256.png", "favicon.ico"]


def write_atomically(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def package(entries):
    index = [[path, len(data)] for path, data in entries]
    head = json.dumps(index, separators=(",", ":")).encode()
    raw = struct.pack("<I", len(head)) + head + b"".join(data for _, data in entries)
    # mtime 0: the same data gives the same bytes (and the same cache name) in every build
    return gzip.compress(raw, 9, mtime=0)


def pack(data_dir, font, site):
    files = []
    for top in ("pozadi", "alin", "vob", "zvuky", "lang"):
        for root, _, names in os.walk(os.path.join(data_dir, top)):
            for n in sorted(names):
                full = os.path.join(root, n)
                files.append(os.path.relpath(full, data_dir).replace(os.sep, "/"))
    files.sort()
    missing = [f for f in FIRST if f not in files]
    if missing:
        sys.exit("site.py: the data has no " + ", ".join(missing))

    def read(path):
        with open(path, "rb") as f:
            return f.read()
    first = [(f, read(os.path.join(data_dir, f))) for f in FIRST]
    first += [(f, read(os.path.join(data_dir, f))) for f in files if is_first(f) and f not in FIRST]
    rest = [(f, read(os.path.join(data_dir, f))) for f in files if not is_first(f)]
    rest.append((FONT_PATH, read(font)))
    os.makedirs(site, exist_ok=True)
    write_atomically(os.path.join(site, "first.pack.gz"), package(first))
    write_atomically(os.path.join(site, "levels.pack.gz"), package(rest))


def favicon(png):
    """An ICO file holding one PNG picture (every current browser reads those)."""
    width, height = struct.unpack(">II", png[16:24])
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png), 6 + 16)
    return struct.pack("<HHH", 0, 1, 1) + entry + png


def finish(icons, site):
    for size in (64, 256):
        shutil.copyfile(os.path.join(icons, f"orbita-{size}.png"), os.path.join(site, f"orbita-{size}.png"))
    with open(os.path.join(icons, "orbita-64.png"), "rb") as f:
        write_atomically(os.path.join(site, "favicon.ico"), favicon(f.read()))
    manifest = {
        "name": "Orbita", "short_name": "Orbita", "lang": "cs",
        "description": "Vesmírná střílečka / A space shooter",
        "start_url": "orbita.html", "scope": "./", "display": "fullscreen",
        "orientation": "landscape", "background_color": "#000000", "theme_color": "#000000",
        "icons": [{"src": "orbita-64.png", "sizes": "64x64", "type": "image/png"},
                  {"src": "orbita-256.png", "sizes": "256x256", "type": "image/png", "purpose": "any"}],
    }
    write_atomically(os.path.join(site, "orbita.webmanifest"),
                     json.dumps(manifest, ensure_ascii=False, indent=1).encode())
    digest = hashlib.sha256()
    for name in SITE_FILES:
        with open(os.path.join(site, name), "rb") as f:
            digest.update(name.encode() + b"\0" + f.read())
    version = digest.hexdigest()[:16]
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "sw.js")) as f:
        worker = f.read()
    worker = worker.replace("@VERSION@", version).replace("@FILES@", json.dumps(SITE_FILES))
    write_atomically(os.path.join(site, "sw.js"), worker.encode())


def main():
    if len(sys.argv) == 5 and sys.argv[1] == "pack":
        pack(sys.argv[2], sys.argv[3], sys.argv[4])
    elif len(sys.argv) == 4 and sys.argv[1] == "finish":
        finish(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
