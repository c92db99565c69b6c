#!/usr/bin/env bash
# Builds the Debian package lexoquill_VERSION_ARCH.deb in build-deb/ (or $LQ_DEB_BUILD_DIR):
# a release build installed under /usr, packed by CPack, checked with lintian (no errors
# allowed), then unpacked into a scratch root where the installed CLI must run a batch.
#
# usage: packaging/build-deb.sh [--install] [--chroot]
#   --install   also install the package on this machine with apt-get (pulling in its
#               dependencies), run the smoke tests from /usr/bin, and remove it again
#   --chroot    also install it with apt-get into a fresh minimal Debian root made with
#               debootstrap (kept as build-deb/base-root.tar for later runs) and run the
#               smoke tests there: the proof that the package's dependencies suffice
set -euo pipefail
cd "$(dirname "$0")/.."

install_too=0
chroot_too=0
for arg in "$@"; do
  case $arg in
    --install) install_too=1 ;;
    --chroot) chroot_too=1 ;;
    *)
      echo "usage: $0 [--install] [--chroot]" >&2
      exit 2
      ;;
  esac
done

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
# GCC 12 reports impossible overlaps in inlined std::string copies (-Wrestrict) once
# these flags are on; the warning is the compiler's false positive, not the code's.
CXXFLAGS="$CXXFLAGS -Wno-restrict"
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
# The checks run on an installed or unpacked package; also sent into the fresh root.
smoke_script='
set -eu
batch=$1
corpus=$(mktemp -d)
printf "one\ntwo" >"$corpus/a.txt"
"$batch" --version
if "$batch" --help | grep -q -- --scope; then
  "$batch" -q "$corpus/a.txt"
  [ "$(od -An -c "$corpus/a.txt" | tr -s " ")" = " o n e \r \n t w o \r \n" ] || {
    echo "batch run from the package did not rewrite a.txt" >&2
    exit 1
  }
  echo "batch run OK"
fi
rm -rf "$corpus"
gui=$(dirname "$batch")/lexoquill
if [ -x "$gui" ]; then
  # The window program must come up; it runs until the time-out ends it.
  status=0
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(mktemp -d) timeout 3 "$gui" >/dev/null 2>&1 ||
    status=$?
  [ $status = 124 ] || { echo "lexoquill ended with status $status at start" >&2; exit 1; }
  echo "window program starts"
fi
'
smoke() { sh -c "$smoke_script" smoke "$1"; }
echo "== unpacked package"
smoke "$scratch/root/usr/bin/lexoquill-batch"

if [ $install_too = 1 ]; then
  echo "== apt-get install $deb"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -qq --no-install-recommends "./$deb" >/dev/null 2>&1
  smoke /usr/bin/lexoquill-batch
  man -w lexoquill-batch
  man -L zh_CN -w lexoquill-batch
  apt-get purge -y -qq lexoquill >/dev/null
  echo "installed, ran and removed again"
fi

if [ $chroot_too = 1 ]; then
  echo "== fresh Debian root"
  base=$build_dir/base-root.tar
  if [ ! -f "$base" ]; then
    command -v debootstrap >/dev/null ||
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        debootstrap >/dev/null
    # The same release and archive as this machine's.
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mirror=$(awk -v suite="$suite" '
      /^URIs:/ { uris = $2 }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite && !found) found = uris }
      END { print found }' /etc/apt/sources.list.d/*.sources 2>/dev/null)
    [ -n "$mirror" ] || mirror=$(awk -v suite="$suite" \
      '$1 == "deb" && $3 == suite { print $2; exit }' /etc/apt/sources.list)
    debootstrap --variant=minbase "$suite" "$scratch/base" "$mirror" >"$scratch/debootstrap.log" ||
      { tail "$scratch/debootstrap.log" >&2; exit 1; }
    tar -C "$scratch/base" -cf "$base" .
    rm -rf "$scratch/base"
  fi
  fresh=$scratch/fresh
  mkdir "$fresh" && tar -C "$fresh" -xf "$base"
  cp "$deb" "$fresh/tmp/"
  chroot "$fresh" /bin/sh -c "export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
    apt-get update -qq && apt-get install -y -qq --no-install-recommends \
      /tmp/$(basename "$deb")" >"$scratch/chroot-install.log" 2>&1 ||
    { tail -20 "$scratch/chroot-install.log" >&2; exit 1; }
  chroot "$fresh" /bin/sh -c "$smoke_script" smoke /usr/bin/lexoquill-batch
  echo "installed with apt-get into a fresh root and ran there"
fi
