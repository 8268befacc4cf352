#!/usr/bin/env bash
# Installs the build into a scratch root (DESTDIR) and runs the installed programs as a workstation
# would; then builds the Debian package, unpacks it into another scratch root and does the same there.
#   install_test.sh BUILD_DIR SOURCE_DIR CMAKE CPACK VERSION [LABEL_BUILT]
# LABEL_BUILT is 1 when the build has the label renderer (kemnoa-label), which is then installed too.
set -euo pipefail
build=$1 src=$2 cmake=$3 cpack=$4 version=$5 label_built=${6:-0}

skip() { echo "SKIP   : packaging $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v dpkg-deb >/dev/null 2>&1 || skip "dpkg-deb not found (Debian package dpkg)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Runs an installed program with a home of its own and no KEMNOA_HOME; prints its output, keeps its status.
run() { # home program args...
    local home=$1; shift
    env -u KEMNOA_HOME HOME="$home" XDG_CONFIG_HOME="$home/.config" "$@" 2>&1
}

check_tree() { # root label
    local root=$1 label=$2 bin=$1/usr/bin data=$1/usr/share/kemnoa out rc
    echo "== $label"
    for f in usr/bin/kemnoa usr/bin/kemnoa-cli usr/share/kemnoa/BMP/1010.bmp usr/share/kemnoa/絵表示.layout \
             usr/share/kemnoa/MST_DEF.xlsx usr/share/kemnoa/kemnoa.ini.example \
             usr/share/applications/kemnoa.desktop usr/share/icons/hicolor/scalable/apps/kemnoa.svg \
             usr/share/doc/kemnoa/admin.md usr/share/doc/kemnoa/workstation-grants.sql; do
        [ -f "$root/$f" ] || fail "$label: $f is not installed"
    done
    if [ "$label_built" = 1 ]; then
        [ -f "$bin/kemnoa-label" ] && [ -x "$bin/kemnoa-label" ] || fail "$label: usr/bin/kemnoa-label is not installed"
    fi
    if command -v desktop-file-validate >/dev/null 2>&1; then
        desktop-file-validate "$root/usr/share/applications/kemnoa.desktop" || fail "$label: desktop entry invalid"
    fi
    grep -qx 'Exec=kemnoa' "$root/usr/share/applications/kemnoa.desktop" || fail "$label: desktop entry Exec"
    if command -v xmllint >/dev/null 2>&1; then
        xmllint --noout "$root/usr/share/icons/hicolor/scalable/apps/kemnoa.svg" || fail "$label: icon is not XML"
    fi

    local home=$scratch/home-$label
    mkdir -p "$home"
    out=$(run "$home" "$bin/kemnoa-cli" --version) || fail "$label: kemnoa-cli --version failed: $out"
    [ "$out" = "kemnoa $version" ] || fail "$label: kemnoa-cli --version printed '$out'"
    out=$(run "$home" "$bin/kemnoa" --version) || fail "$label: kemnoa --version failed: $out"
    [ "$out" = "kemnoa $version" ] || fail "$label: kemnoa --version printed '$out'"

    # The first run makes the workstation's folder, fills it with the installed data and names the
    # settings file it misses there.
    local folder=$home/.config/kemnoa
    rc=0; out=$(run "$home" "$bin/kemnoa-cli" db-check) || rc=$?
    [ "$rc" = 1 ] || fail "$label: db-check without settings ended with $rc: $out"
    grep -qF "settings file not found: $folder/kemnoa.ini" <<<"$out" || fail "$label: no settings diagnosis: $out"
    [ "$(stat -c %a "$folder")" = 700 ] || fail "$label: workstation folder mode $(stat -c %a "$folder")"
    for f in BMP/1010.bmp BMP/6040.bmp 絵表示.layout 付記用語登録依頼書.layout MST_DEF.xlsx 受領確認.xlsx; do
        cmp -s "$data/$f" "$folder/$f" || fail "$label: $f was not copied into the workstation folder"
    done
    [ ! -e "$folder/kemnoa.ini.example" ] || fail "$label: the example settings were copied"

    # The example settings read as they are.
    cp "$data/kemnoa.ini.example" "$folder/kemnoa.ini"
    out=$(run "$home" "$bin/kemnoa-cli" settings) || fail "$label: the example settings do not read: $out"
    grep -qx 'DB_NM=kemwork' <<<"$out" || fail "$label: example settings printed: $out"

    # The demo settings: the databases are made and checked.
    "$src/scripts/demo-settings" "$folder"
    out=$(run "$home" "$bin/kemnoa-cli" init-db) || fail "$label: init-db failed: $out"
    out=$(run "$home" "$bin/kemnoa-cli" db-check) || fail "$label: db-check failed: $out"
    grep -q '^kemnoa-cli: db-check: done' <<<"$out" || fail "$label: db-check said: $out"

    # A file the office replaced stays as it is on the next run.
    echo custom >"$folder/MST_DEF.xlsx"
    run "$home" "$bin/kemnoa-cli" --version >/dev/null
    run "$home" "$bin/kemnoa-cli" db-check >/dev/null || fail "$label: second db-check failed"
    [ "$(cat "$folder/MST_DEF.xlsx")" = custom ] || fail "$label: a replaced template was overwritten"

    # KEMNOA_HOME still names the program folder.
    local other=$scratch/other-$label
    mkdir -p "$other"
    rc=0; out=$(HOME="$home" XDG_CONFIG_HOME="$home/.config" KEMNOA_HOME="$other" "$bin/kemnoa-cli" db-check 2>&1) || rc=$?
    [ "$rc" = 1 ] || fail "$label: db-check in KEMNOA_HOME ended with $rc"
    grep -qF "settings file not found: $other/kemnoa.ini" <<<"$out" || fail "$label: KEMNOA_HOME ignored: $out"
    cmp -s "$data/BMP/1010.bmp" "$other/BMP/1010.bmp" || fail "$label: KEMNOA_HOME folder not filled"
    echo "$label: ok"
}

# 1. cmake --install into a scratch root.
DESTDIR="$scratch/root" "$cmake" --install "$build" --prefix /usr --strip >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; fail "cmake --install failed"; }
check_tree "$scratch/root" install

# 2. The Debian package from the same rules, unpacked into another scratch root.
(cd "$build" && "$cpack" -G DEB -B "$scratch/packages" >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(ls "$scratch"/packages/kemnoa_"$version"_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { ls -R "$scratch/packages"; fail "no kemnoa_${version}_*.deb was made"; }
info=$(dpkg-deb --info "$deb")
grep -q '^ Package: kemnoa$' <<<"$info" || fail "package name: $info"
for dep in libqt6core6 libqt6widgets6 libqt6sql6-sqlite libqt6sql6-psql; do
    grep -q "^ Depends:.*\b$dep\b" <<<"$info" || fail "package does not depend on $dep: $info"
done
dpkg-deb -x "$deb" "$scratch/debroot"
check_tree "$scratch/debroot" package
