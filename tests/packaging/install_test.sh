#!/usr/bin/env bash
# Installs the build tree into a scratch root as the package does (prefix /usr under
# DESTDIR), then checks what a user of the installed program meets: the programs run from
# there, the desktop files validate, the manual pages are found and render cleanly, the
# shell completion knows the options, scopes and operations, and a small batch works.
#
# usage: install_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail

build_dir=$(cd "$1" && pwd)
src_dir=$(cd "$2" && pwd)
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
note() { echo "note: $*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
root=$work/root

if ! DESTDIR=$root cmake --install "$build_dir" --prefix /usr >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi

usr=$root/usr
batch=$usr/bin/lexoquill-batch
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
with_gui=0
[ -x "$build_dir/src/gui/lexoquill" ] && with_gui=1

# --- the installed tree --------------------------------------------------------------
expected=(
  bin/lexoquill-batch
  share/man/man1/lexoquill-batch.1.gz
  share/man/zh_CN/man1/lexoquill-batch.1.gz
  share/bash-completion/completions/lexoquill-batch
  share/doc/lexoquill/copyright
  share/doc/lexoquill/changelog.gz
  share/lexoquill
)
if [ $with_gui = 1 ]; then
  expected+=(
    bin/lexoquill
    share/applications/lexoquill.desktop
    share/metainfo/lexoquill.metainfo.xml
    share/icons/hicolor/scalable/apps/lexoquill.svg
    share/man/man1/lexoquill.1.gz
    share/man/zh_CN/man1/lexoquill.1.gz
  )
  for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/lexoquill.png")
  done
fi
for f in "${expected[@]}"; do
  [ -e "$usr/$f" ] || fail "not installed: /usr/$f"
done
for f in "$src_dir"/data/*.txt; do
  [ -e "$f" ] || continue
  [ -e "$usr/share/lexoquill/$(basename "$f")" ] || fail "help text not installed: $f"
done

# The PNG icons must be the size their directory claims (they are rendered from the SVG).
if [ $with_gui = 1 ]; then
  for png in "$usr"/share/icons/hicolor/*x*/apps/lexoquill.png; do
    dir=$(basename "$(dirname "$(dirname "$png")")")
    got=$(od -An -tu1 -j16 -N8 "$png" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }')
    [ "$got" = "$dir" ] || fail "icon $dir/lexoquill.png is $got"
  done
fi

# --- the installed programs run from there ---------------------------------------------
out=$("$batch" --version 2>&1) || fail "lexoquill-batch --version exits $?"
[[ $out == *"$version"* ]] || fail "lexoquill-batch --version says '$out', expected $version"
help=$("$batch" --help 2>&1) || fail "lexoquill-batch --help exits $?"
[[ $help == *--help* ]] || fail "lexoquill-batch --help prints no usage"

# --- desktop entry and AppStream metadata --------------------------------------------------
if [ $with_gui = 1 ]; then
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$usr/share/applications/lexoquill.desktop" ||
      fail "desktop-file-validate"
  else
    note "desktop-file-validate not installed, desktop entry not validated"
  fi
  if command -v appstream-util >/dev/null; then
    appstream-util validate-relax --nonet "$usr/share/metainfo/lexoquill.metainfo.xml" \
      >"$work/appstream.log" 2>&1 || {
      cat "$work/appstream.log" >&2
      fail "appstream-util validate-relax"
    }
  fi
  grep -q "<release version=\"$version\"" "$usr/share/metainfo/lexoquill.metainfo.xml" ||
    fail "metainfo has no release entry for $version"
fi

# --- manual pages ---------------------------------------------------------------------------
if command -v man >/dev/null; then
  for lang in "" zh_CN; do
    found=$(MANPATH=$usr/share/man man ${lang:+-L "$lang"} -w lexoquill-batch 2>/dev/null)
    want=$usr/share/man/${lang:+$lang/}man1/lexoquill-batch.1.gz
    [ "$found" = "$want" ] || fail "man ${lang:+-L $lang }lexoquill-batch finds '$found'"
  done
  for page in "$usr"/share/man/man1/*.gz "$usr"/share/man/zh_CN/man1/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "manual page ${page#"$usr"/} renders with warnings: $warnings"
    zcat "$page" | grep -q "^\.TH .*\"Lexoquill $version\"" ||
      fail "manual page ${page#"$usr"/} is not marked with version $version"
  done
fi
zcat "$usr/share/doc/lexoquill/changelog.gz" | head -1 | grep -q "^lexoquill ($version)" ||
  fail "changelog does not start with version $version"

# --- shell completion ------------------------------------------------------------------------
completion=$usr/share/bash-completion/completions/lexoquill-batch
bash -n "$completion" || fail "completion script has a syntax error"

# Its operation classes are exactly the catalogue's, and both manual pages name each one.
catalogue_classes=$(grep -o '"TControlForm_[A-Za-z0-9_]*"' \
  "$src_dir/src/core/operations/catalogue.cpp" | tr -d '"' | sort -u)
completion_classes=$(grep -o 'TControlForm_[A-Za-z0-9_]*' "$completion" | sort -u)
[ "$catalogue_classes" = "$completion_classes" ] ||
  fail "completion classes differ from the catalogue: $(diff <(echo "$catalogue_classes") \
    <(echo "$completion_classes") | grep '^[<>]' | tr '\n' ' ')"
for page in man1/lexoquill-batch.1.gz zh_CN/man1/lexoquill-batch.1.gz; do
  for cls in $catalogue_classes; do
    zcat "$usr/share/man/$page" | grep -q "$cls" || fail "man/$page does not name $cls"
  done
done

if [ -r /usr/share/bash-completion/bash_completion ]; then
  # Runs the completion function as bash would for the words of LINE and prints the
  # candidates, one per line.
  complete_words() {
    bash -c '
      source /usr/share/bash-completion/bash_completion
      source "$1"
      COMP_LINE=$2 COMP_POINT=${#2}
      read -ra COMP_WORDS <<<"$COMP_LINE"
      [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      _lexoquill_batch lexoquill-batch "${COMP_WORDS[COMP_CWORD]}" \
        "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
      printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$1"
  }
  expect_completion() { # LINE EXPECTED (candidates joined by blanks, sorted)
    local got
    got=$(complete_words "$1" | sort | tr '\n' ' ' | sed 's/ $//')
    [ "$got" = "$2" ] || fail "completing '$1' gives '$got', expected '$2'"
  }
  expect_completion "lexoquill-batch --scope " "$(seq 1 15 | sort | tr '\n' ' ' | sed 's/ $//')"
  expect_completion "lexoquill-batch --op tcontrolform_BA" \
    "TControlForm_base64decode TControlForm_base64encode"
  expect_completion "lexoquill-batch --op 2" "2 20 21 22 23 24 25 26 27 28"
  expect_completion "lexoquill-batch --op TControlForm_th --set CheckBox_th" \
    "CheckBox_th_r1= CheckBox_th_r2="
  expect_completion "lexoquill-batch --op 21 --set RadioButton" \
    "RadioButton_ft2gb= RadioButton_gb2ft="
  expect_completion "lexoquill-batch --set Edit_line" "Edit_line1= Edit_line_m1= Edit_line_m2="
  expect_completion "lexoquill-batch --dry" "--dry-run"
  expect_completion "lexoquill-batch --encoding " "auto gbk utf-8"
  expect_completion "lexoquill-batch --eol " "crlf keep lf"

  # Every long option that the program's help names is completed and documented.
  if [[ $help == *--scope* ]]; then
    offered=$(complete_words "lexoquill-batch -")
    for page in man1/lexoquill-batch.1.gz zh_CN/man1/lexoquill-batch.1.gz; do
      documented=$(zcat "$usr/share/man/$page" | sed 's/\\-/-/g')
      for opt in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
        [[ $documented == *"$opt"* ]] || fail "man/$page does not document $opt"
      done
    done
    for opt in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
      grep -qx -- "$opt" <<<"$offered" || fail "completion does not offer $opt"
    done
  fi
else
  note "bash-completion not installed, completion not exercised"
fi

# --- a small batch with the installed program ----------------------------------------------
if [[ $help == *--scope* ]]; then
  corpus=$work/corpus
  mkdir -p "$corpus/sub"
  printf 'one\ntwo' >"$corpus/a.txt"
  printf '\xd6\xd0\xce\xc4\r\n' >"$corpus/b.txt" # GBK text passes through as bytes
  printf 'keep\n' >"$corpus/c.htm"
  printf 'deep\n' >"$corpus/sub/d.txt"
  expect_file() { # FILE BYTES
    [ "$(od -An -c "$1")" = "$(printf "$2" | od -An -c)" ] ||
      fail "after the batch ${1#"$work"/} holds '$(od -An -c "$1" | tr -s ' ')'"
  }
  # Without an operation every file keeps its bytes, line ends included.
  (cd "$work" && "$batch" -q -r --ext .txt corpus) || fail "batch run exits $?"
  expect_file "$corpus/a.txt" 'one\ntwo'
  expect_file "$corpus/b.txt" '\xd6\xd0\xce\xc4\r\n'
  (cd "$work" && "$batch" -q -r --ext .txt --eol crlf corpus) || fail "batch run exits $?"
  expect_file "$corpus/a.txt" 'one\r\ntwo\r\n'
  expect_file "$corpus/b.txt" '\xd6\xd0\xce\xc4\r\n'
  expect_file "$corpus/c.htm" 'keep\n'
  expect_file "$corpus/sub/d.txt" 'deep\r\n'

  # The program's own files ("ext1.txt" here): an installed program, whose directory the
  # user cannot write, keeps them in $XDG_CONFIG_HOME/lexoquill/; a portable copy in a
  # writable directory keeps them beside itself.
  ext_check() { # EXE EXT_FILE_DIR EXPECTED_CHANGED [COMMAND PREFIX...]
    local exe=$1 ext_dir=$2 changed=$3 name
    shift 3
    printf 'x\n' >"$work/ext/x.txt"
    printf 'x\n' >"$work/ext/x.htm"
    env -u LEXOQUILL_HOME XDG_CONFIG_HOME="$work/config" HOME="$work/config" \
      "$@" "$exe" -q --eol crlf "$work/ext" || fail "batch run of $exe exits $?"
    for name in x.txt x.htm; do
      if [ "$name" = "$changed" ]; then
        expect_file "$work/ext/$name" 'x\r\n'
      else
        expect_file "$work/ext/$name" 'x\n'
      fi
    done
    [[ $(od -An -c "$work/ext/$changed") == *'\r'* ]] ||
      fail "$exe did not take its extension list from $ext_dir"
  }
  mkdir -p "$work/ext" "$work/config/lexoquill" "$work/portable"
  touch "$work/ext/x.txt" "$work/ext/x.htm"
  printf '.htm\n' >"$work/config/lexoquill/ext1.txt"
  if [ "$(id -u)" = 0 ]; then
    # Root may write anywhere; a user may not write to the installed bin/ directory.
    chown -R 65534:65534 "$work/ext" "$work/config"
    ext_check "$batch" "\$XDG_CONFIG_HOME/lexoquill" x.htm \
      setpriv --reuid=65534 --regid=65534 --clear-groups
    chown -R "$(id -u):$(id -g)" "$work/ext" "$work/config"
  else
    chmod a-w "$usr/bin"
    ext_check "$batch" "\$XDG_CONFIG_HOME/lexoquill" x.htm
    chmod u+w "$usr/bin"
  fi
  cp "$batch" "$work/portable/"
  printf '.txt\n' >"$work/portable/ext1.txt"
  ext_check "$work/portable/lexoquill-batch" "the portable directory" x.txt
else
  note "lexoquill-batch has no --scope yet: batch run not tried"
fi

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installed tree OK"
