#!/usr/bin/env bash
# Builds the Debian package lexoquill_VERSION_ARCH.deb in build-deb/ (or $LQ_DEB_BUILD_DIR):
# a release build installed under /usr, packed by CPack, checked with lintian (no errors
# allowed), then unpacked into a scratch root where the installed CLI must run a batch.
#
# usage: packaging/build-deb.sh [--install]
#   --install   also install the package on this machine with apt-get (pulling in its
#               dependencies), run both programs' smoke tests from /usr/bin, and remove it
set -euo pipefail
cd "$(dirname "$0")/.."

install_too=0
[ "${1:-}" = "--install" ] && install_too=1

./scripts/setup.sh
for tool in lintian dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "Installing lintian and dpkg-dev for the package checks" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends lintian dpkg-dev >/dev/null
    break
  fi
done

build_dir=${LQ_DEB_BUILD_DIR:-build-deb}
# Debian's usual compiler and linker hardening (read by CMake when it first configures).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS CFLAGS LDFLAGS
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DLEXOQUILL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir"
rm -f "$build_dir"/lexoquill_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/lexoquill_*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends Installed-Size

echo "== lintian"
lintian --fail-on error --info --display-level '>=warning' "$deb"
echo "lintian: no errors"

# The package's own files must work from wherever they were unpacked.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch/root"
smoke() { # BATCH_EXE
  local corpus=$scratch/corpus
  rm -rf "$corpus" && mkdir -p "$corpus"
  printf 'one\ntwo' >"$corpus/a.txt"
  "$1" --version
  if "$1" --help | grep -q -- --scope; then
    "$1" -q "$corpus/a.txt"
    [ "$(cat "$corpus/a.txt")" = $'one\r\ntwo\r' ] || {
      echo "batch run from the package did not rewrite a.txt" >&2
      exit 1
    }
    echo "batch run OK"
  fi
}
echo "== unpacked package"
smoke "$scratch/root/usr/bin/lexoquill-batch"

if [ $install_too = 1 ]; then
  echo "== apt-get install $deb"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -qq --no-install-recommends "./$deb" >/dev/null
  smoke /usr/bin/lexoquill-batch
  QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/lexoquill --version >/dev/null 2>&1 ||
    [ $? = 124 ] || echo "note: lexoquill did not start offscreen" >&2
  man -w lexoquill-batch
  man -L zh_CN -w lexoquill-batch
  apt-get purge -y -qq lexoquill >/dev/null
  echo "installed, ran and removed again"
fi
