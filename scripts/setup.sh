#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quillet needs.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsodium-dev libzstd-dev zlib1g-dev libssl-dev libzxcvbn-dev
  libgtest-dev googletest libgmock-dev libbenchmark-dev
  fonts-liberation
  xvfb xauth imagemagick x11-utils
  python3 clang-format
  clang libclang-rt-14-dev
  # packaging: icon, manual pages, the Debian package and the desktop's validators and databases
  librsvg2-bin scdoc dpkg-dev file lintian appstream desktop-file-utils shared-mime-info
  libglib2.0-bin xdg-utils man-db bash-completion
  # Qt's own texts in German; a window manager for the screenshots
  qt6-translations-l10n openbox
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
