#!/usr/bin/env bash
# Draws Kivo's icon (a blue tile with white crop marks around a red dot) at the four sizes
# the tray and the desktop use. Run it again only when the design changes; the PNGs are
# committed under resources/icons/.
set -euo pipefail
out="$(dirname "$0")/../resources/icons"
mkdir -p "$out"
for s in 16 24 32 48; do
    # Draw at 8x and scale down for clean edges at every size.
    S=$((s * 8))
    r=$((S / 6))          # tile corner radius
    m=$((S * 3 / 16))     # inset of the crop marks
    l=$((S / 4))          # length of one arm of a crop mark
    w=$((S / 12))         # stroke width
    c=$((S / 2)); d=$((S / 9))
    a=$m; b=$((S - m)); e=$((m + l)); f=$((S - m - l))
    convert -size ${S}x${S} xc:none \
        -fill '#1f6fd1' -draw "roundrectangle 0,0 $((S - 1)),$((S - 1)) $r,$r" \
        -fill white \
        -draw "rectangle $a,$a $e,$((a + w))" -draw "rectangle $a,$a $((a + w)),$e" \
        -draw "rectangle $f,$a $b,$((a + w))" -draw "rectangle $((b - w)),$a $b,$e" \
        -draw "rectangle $a,$((b - w)) $e,$b" -draw "rectangle $a,$f $((a + w)),$b" \
        -draw "rectangle $f,$((b - w)) $b,$b" -draw "rectangle $((b - w)),$f $b,$b" \
        -stroke none -fill '#ff4d4d' -draw "circle $c,$c $((c + d)),$c" \
        -filter Lanczos -resize ${s}x${s} -strip -define png:exclude-chunks=date,time \
        "PNG32:$out/kivo-$s.png"
done
