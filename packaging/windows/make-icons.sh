#!/usr/bin/env bash
# Renders the Windows icons ryd-configurator.ico (the program) and
# ryd-document.ico (a .ryd file) from their SVG drawings. They are kept in the
# project, so the build needs neither tool; run this after changing a drawing.
# Needs rsvg-convert (librsvg2-bin) and python3.
set -euo pipefail
cd "$(dirname "$0")"
make_ico() { # svg ico
    local tmp
    tmp=$(mktemp -d)
    for size in 16 24 32 48 64 256; do
        rsvg-convert -w "$size" -h "$size" "$1" -o "$tmp/$size.png"
    done
    # An .ico holding PNG images: a header, one directory entry per size, the images.
    python3 - "$2" "$tmp"/{16,24,32,48,64,256}.png <<'PY'
import struct, sys
images = [open(p, "rb").read() for p in sys.argv[2:]]
sizes = [int(p.rsplit("/", 1)[1].split(".")[0]) for p in sys.argv[2:]]
out = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, data in zip(sizes, images):
    out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
open(sys.argv[1], "wb").write(out + b"".join(images))
PY
    rm -r "$tmp"
}
make_ico ../com.morvell.RydConfigurator.svg ryd-configurator.ico
make_ico ryd-document.svg ryd-document.ico
