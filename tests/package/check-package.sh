#!/usr/bin/env bash
# check-package.sh BUILD_FOLDER VERSION CPACK: makes the Debian packages of what BUILD_FOLDER
# built (stripped, as ./package.sh makes them of a Release build) and checks what a machine
# gets from them: the files, the package fields, the manual page, the desktop entry, the
# software centre description, and the program starting from an unpacked copy.
set -euo pipefail
build=$1
version=$2
cpack=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# gzip: quicker than the release packages' xz, and the contents are the same.
if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip \
    >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)
main="$work/out/kesta_${version}_${arch}.deb"
simulator="$work/out/kesta-recorder-simulator_${version}_${arch}.deb"
for deb in "$main" "$simulator"; do
    [ -f "$deb" ] || { ls "$work/out" >&2; echo "FAIL: no $(basename "$deb")" >&2; exit 1; }
done

# The files each package holds, folders left out; the simulator is never in the program's.
listed() { dpkg-deb -c "$1" | grep -v '^d' | sed 's|^[^.]*\./|/|' | sort; }
diff -u <(printf '%s\n' \
    /usr/bin/kesta \
    /usr/share/applications/kesta.desktop \
    /usr/share/doc/kesta/changelog.gz \
    /usr/share/doc/kesta/copyright \
    /usr/share/icons/hicolor/128x128/apps/kesta.png \
    /usr/share/icons/hicolor/256x256/apps/kesta.png \
    /usr/share/icons/hicolor/48x48/apps/kesta.png \
    /usr/share/icons/hicolor/64x64/apps/kesta.png \
    /usr/share/icons/hicolor/scalable/apps/kesta.svg \
    /usr/share/man/man1/kesta.1.gz \
    /usr/share/metainfo/invalid.kesta.kesta.metainfo.xml) <(listed "$main") || fail "files of kesta"
diff -u <(printf '%s\n' \
    "/opt/Orvalis/DI Duvi.exe" \
    /usr/share/doc/kesta-recorder-simulator/changelog.gz \
    /usr/share/doc/kesta-recorder-simulator/copyright \
    /usr/share/lintian/overrides/kesta-recorder-simulator) <(listed "$simulator") ||
    fail "files of kesta-recorder-simulator"

# What the program needs besides what it links: without the drivers it opens no database,
# without Qt's catalogue its standard buttons stay English.
field() { dpkg-deb -f "$1" "$2"; }
needs() { # PACKAGE FIELD NAME...
    local deb=$1 name=$2 value
    value=", $(field "$deb" "$name"),"
    shift 2
    for wanted in "$@"; do
        [[ $value == *", $wanted"[\ ,]* ]] || fail "$name of $(basename "$deb") lacks $wanted: $value"
    done
}
needs "$main" Depends libqt5sql5-sqlite libqt5sql5-psql qttranslations5-l10n libqt5widgets5 libc6 libmdb3
needs "$main" Recommends xdg-utils
needs "$main" Suggests postgresql-client
needs "$simulator" Depends kesta

root="$work/root"
dpkg -x "$main" "$root"
dpkg -x "$simulator" "$root"
kesta="$root/usr/bin/kesta"
for program in "$kesta" "$root/opt/Orvalis/DI Duvi.exe"; do
    readelf -S --wide "$program" | grep -q '\.symtab' && fail "not stripped: $program"
done

shown=$("$kesta" --version) || fail "kesta --version failed"
[ "$shown" = "kesta $version" ] || fail "kesta --version: $shown"
metainfo="$root/usr/share/metainfo/invalid.kesta.kesta.metainfo.xml"
newest=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "newest release in the description: $newest, not $version"
zcat "$root/usr/share/doc/kesta/changelog.gz" | head -1 | grep -qF "kesta ($version)" ||
    fail "changelog does not start at $version"

# The manual page renders without a warning and describes every mode --help names.
MANWIDTH=80 MAN_DISABLE_SECCOMP=1 man --warnings -l "$root/usr/share/man/man1/kesta.1.gz" \
    >"$work/page" 2>"$work/page-warnings" || fail "man -l failed"
[ -s "$work/page-warnings" ] && fail "man page warnings: $(cat "$work/page-warnings")"
for option in $("$kesta" --help | grep -o -- '--[a-z-]*' | sort -u); do
    grep -qF -- "$option" "$work/page" || fail "the manual page does not describe $option"
done
grep -q "Settings.xml" "$work/page" || fail "the manual page names no settings file"

out=$(desktop-file-validate "$root/usr/share/applications/kesta.desktop" 2>&1) ||
    fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$metainfo" >"$work/appstream" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/appstream")"

for size in 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/kesta.png" |
        grep -q "PNG image data, $size x $size" || fail "no $size px icon"
done

# Installed, the command line reads the user's settings as the window does: with a server
# set there, the copy tries that server (nothing listens on port 1) instead of refusing.
mkdir -p "$HOME/.config/kesta"
printf '<?xml version="1.0"?>\n<KestaSettings><ServerHost>127.0.0.1</ServerHost><ServerPort>1</ServerPort></KestaSettings>\n' \
    >"$HOME/.config/kesta/Settings.xml"
status=0
(cd "$work" && "$kesta" --copy-database-to-server "$work/none.sqlite" </dev/null >"$work/copy" 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "copy to server from the user's settings: status $status, $(cat "$work/copy")"

exit "$failed"
