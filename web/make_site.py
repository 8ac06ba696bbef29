#!/usr/bin/env python3
"""Lays out the browser build's site from what the compiler made.

    make_site.py STAGE SITE PAGE_FOLDER ICON_FOLDER

STAGE holds zorvel.js, zorvel.wasm and zorvel.data as the compiler wrote them. Into SITE go the page, the service
worker, the web app manifest, the icons and the three files named by their content (zorvel.<hash>.js.gz,
.wasm.gz and .data.gz, compressed for the page to unpack), so an update never mixes old and new files. Files of
earlier builds are removed from SITE.

The sounds' samples compress better as the steps between neighbours (delta coding per channel); the page undoes
it exactly after unpacking, from the list of places in "deltas", so the game reads the same bytes.
"""
import gzip
import hashlib
import json
import pathlib
import re
import shutil
import struct
import sys

ICON_SIZES = (192, 512)


def content_name(stem, data, suffix):
    return f"{stem}.{hashlib.sha256(data).hexdigest()[:12]}{suffix}"


def package_files(script):
    """The files of the package and where each lies in it, from the loader the compiler wrote."""
    found = re.search(rb'loadPackage\((\{"files":.*?\})\)', script)
    if not found:
        sys.exit("no package listing in zorvel.js")
    return json.loads(found.group(1))["files"]


def wave_samples(package, start, end):
    """(offset, length, channels, bytes per sample) of a PCM WAV file's samples, or None."""
    data = package[start:end]
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        return None
    at, channels, width = 12, 0, 0
    while at + 8 <= len(data):
        kind, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        if kind == b"fmt " and size >= 16:
            tag, channels, _, _, _, bits = struct.unpack_from("<HHIIHH", data, at + 8)
            if tag != 1 or bits not in (8, 16):
                return None
            width = bits // 8
        elif kind == b"data" and channels:
            length = min(size, len(data) - at - 8)
            return (start + at + 8, length - length % (channels * width), channels, width)
        at += 8 + size + (size & 1)
    return None


def delta_code(package, place):
    """Replaces each sample by its difference from the one before in its channel (wrapping)."""
    offset, length, channels, width = place
    if width == 1:
        samples = package[offset:offset + length]
        for i in range(length - 1, channels - 1, -1):
            package[offset + i] = (samples[i] - samples[i - channels]) & 0xFF
        return
    count = length // 2
    values = list(struct.unpack_from(f"<{count}H", package, offset))
    for i in range(count - 1, channels - 1, -1):
        values[i] = (values[i] - values[i - channels]) & 0xFFFF
    struct.pack_into(f"<{count}H", package, offset, *values)


def main():
    stage, site, page, icons = (pathlib.Path(a) for a in sys.argv[1:5])
    site.mkdir(parents=True, exist_ok=True)
    for old in list(site.glob("zorvel.*")) + list(site.glob("zorvel-music.*")):
        old.unlink()

    script = (stage / "zorvel.js").read_bytes()
    wasm = (stage / "zorvel.wasm").read_bytes()
    package = bytearray((stage / "zorvel.data").read_bytes())
    deltas = []
    for entry in package_files(script):
        if entry["filename"].lower().endswith(".wav"):
            place = wave_samples(package, entry["start"], entry["end"])
            if place:
                delta_code(package, place)
                deltas.append(place)
    # mtime 0: the same content gives the same bytes, so the same name, on every build.
    packed = {name: gzip.compress(data, compresslevel=9, mtime=0)
              for name, data in (("js", script), ("wasm", wasm), ("data", bytes(package)))}
    build = {name: content_name("zorvel", data, f".{name}.gz") for name, data in packed.items()}
    build["sizes"] = {"js": len(script), "wasm": len(wasm), "data": len(package)}
    build["bytes"] = {build[name]: len(data) for name, data in packed.items()}
    build["deltas"] = deltas
    for name, data in packed.items():
        (site / build[name]).write_bytes(data)
    # Files the page fetches after the package, by the name the game opens them with (already compressed).
    build["later"] = {}
    music = stage / "music.mp3"
    if music.exists():
        data = music.read_bytes()
        name = content_name("zorvel-music", data, ".mp3")
        (site / name).write_bytes(data)
        build["later"]["music.mp3"] = name

    icon_names = []
    for size in ICON_SIZES:
        name = f"icon-{size}.png"
        shutil.copyfile(icons / f"{size}x{size}" / "apps" / "zorvel.png", site / name)
        icon_names.append(name)
    shutil.copyfile(icons / "64x64" / "apps" / "zorvel.png", site / "icon.png")
    manifest = {
        "name": "Zorvel",
        "short_name": "Zorvel",
        "description": "A true/false quiz against the clock",
        "start_url": "./",
        "scope": "./",
        "display": "standalone",
        "orientation": "landscape",
        "background_color": "#000000",
        "theme_color": "#000000",
        "icons": [{"src": name, "sizes": f"{size}x{size}", "type": "image/png"}
                  for name, size in zip(icon_names, ICON_SIZES)],
    }
    (site / "manifest.webmanifest").write_text(json.dumps(manifest, indent=1) + "\n")

    # The version is the files': a page, a worker and a cache of one build name the same files.
    versioned = [build["js"], build["wasm"], build["data"]] + list(build["later"].values())
    build["version"] = hashlib.sha256(" ".join(versioned).encode()).hexdigest()[:12]
    shell = ["./", "index.html", "manifest.webmanifest", "icon.png"] + icon_names
    build["files"] = shell + versioned
    marker = "/*BUILD*/null"
    for name in ("index.html", "sw.js"):
        text = (page / name).read_text()
        if marker not in text:
            sys.exit(f"{page / name} has no {marker} for the build's names")
        (site / name).write_text(text.replace(marker, json.dumps(build)))
    total = sum((site / name).stat().st_size for name in ["index.html", "sw.js"] + build["files"][2:])
    print(f"site: {len(package) + len(script) + len(wasm)} bytes packed to {sum(build['bytes'].values())}, "
          f"{total} bytes in all")


if __name__ == "__main__":
    main()
