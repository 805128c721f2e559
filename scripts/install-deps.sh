#!/usr/bin/env bash
# Installs the Debian packages Mutaplot needs to build, test and run.
# Packages already present are skipped; sudo is used when not root.
set -euo pipefail

packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-ipafont-gothic qt6-translations-l10n poppler-utils
          dpkg-dev desktop-file-utils)
if [ "${MUTAPLOT_EXTRA_PACKAGES:-}" != "" ]; then
  read -r -a extra <<<"$MUTAPLOT_EXTRA_PACKAGES"
  packages+=("${extra[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
