#!/usr/bin/env bash
# Installs what building, running and testing Lexoquill needs, from Debian's packages.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-translations-l10n
  libpcre2-dev nettle-dev libxxhash-dev duktape-dev libicu-dev libopencc-dev libopencc-data
  libgtest-dev libgmock-dev
  xvfb xauth fonts-wqy-microhei
  desktop-file-utils appstream-util bash-completion
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
