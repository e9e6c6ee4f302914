#!/usr/bin/env bash
# Draws Kivo's icon (a blue tile with white crop marks around a red dot) once, as the
# scalable SVG, and renders every PNG size the tray, the windows and the icon theme use
# from that SVG. Run it again only when the design changes; the results are committed
# under resources/icons/. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
command -v rsvg-convert >/dev/null || { echo "make-icons: needs rsvg-convert (apt-get install librsvg2-bin)" >&2; exit 1; }
out="$(dirname "$0")/../resources/icons"
mkdir -p "$out"

# One crop mark: an L of arms 24 long and 8 wide, inset 18 from the tile's corner (of 96).
mark='M18 18H42V26H26V42H18Z'
cat >"$out/kivo.svg" <<EOF
<svg xmlns="http://www.w3.org/2000/svg" width="96" height="96" viewBox="0 0 96 96">
  <rect width="96" height="96" rx="16" fill="#1f6fd1"/>
  <g fill="#fff">
    <path d="$mark"/>
    <path d="$mark" transform="matrix(-1 0 0 1 96 0)"/>
    <path d="$mark" transform="matrix(1 0 0 -1 0 96)"/>
    <path d="$mark" transform="matrix(-1 0 0 -1 96 96)"/>
  </g>
  <circle cx="48" cy="48" r="10.667" fill="#ff4d4d"/>
</svg>
EOF

for s in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$s" -h "$s" -o "$out/kivo-$s.png" "$out/kivo.svg"
done
