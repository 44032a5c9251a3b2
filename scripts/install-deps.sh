#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building and testing Vextune needs,
# only those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  libcli11-dev nlohmann-json3-dev ccache
  qt6-base-dev qt6-svg-dev fonts-dejavu-core xvfb xauth
  desktop-file-utils
  dpkg-dev file groff-base appstream zsh
)
# dpkg-dev and file: make package computes the .deb's dependencies; groff-base,
# appstream and zsh: the tests check the manual pages, the AppStream metadata
# and the zsh completion with them.
# The fuzz targets need clang with its libFuzzer runtime (--fuzz).
# The Windows build (--windows): the MinGW-w64 cross compiler with POSIX
# threads (for std::thread), GoogleTest's sources to build it for Windows, and
# Wine to run the Windows programs and tests.
for option in "$@"; do
  case "$option" in
    --fuzz) packages+=(clang libclang-rt-dev) ;;
    --windows) packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64) ;;
    *) echo "install-deps.sh: unknown option $option (known: --fuzz, --windows)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
