#!/usr/bin/env bash
# Install the Debian packages Kivo needs to build, run and test (with "fuzz": also what
# the fuzz target needs). Quiet and idempotent: does nothing when everything is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-private-dev qt6-image-formats-plugins libgif-dev libdeflate-dev libxcb1-dev libxcb-shm0-dev
  fonts-noto-cjk
  xvfb openbox trayer xdotool xclip imagemagick x11-utils x11-xserver-utils
  qt6-translations-l10n
  # make deb and its checks
  dpkg-dev file lintian desktop-file-utils appstream man-db
  # reading the texts of the real program's dialogs in the end-to-end tests
  dbus at-spi2-core python3-gi gir1.2-atspi-2.0
  # the headless Wayland session of the end-to-end tests (scripts/wayland-session.sh)
  qt6-wayland sway swaybg grim wl-clipboard wtype xwayland
  pipewire xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk python3-dbus
)
[ "${1:-}" = fuzz ] && packages+=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]} (run as root, or install them yourself)" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
