# Shared by run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run.

KESTA_PACKAGES=(
    cmake ninja-build g++ ccache lld pkg-config
    qtbase5-dev qttools5-dev qttools5-dev-tools libqt5svg5-dev libqt5sql5-sqlite
    qttranslations5-l10n  # Qt's own texts (standard buttons, file chooser) in Russian
    desktop-file-utils    # checks the desktop entry
    xdg-utils    # "Open in EEG viewer" and "Show in file manager" open through xdg-open
    # The package and its check: dpkg-shlibdeps (CPack asks file(1) which files are
    # programs), the manual page rendered, the software centre description validated.
    dpkg-dev file man-db appstream
    sqlite3 libsqlite3-dev libpq-dev
    # A shared server for several workstations: Qt's driver, and the server the tests start
    libqt5sql5-psql postgresql
    libedf-dev   # EDF+ files of the recorder simulator
    dbus-daemon  # a private session bus for the file manager test
    # Qt loads OpenSSL only when the first https request is made, so nothing fails at link
    # time without it; the certificates let it trust the version service.
    libssl3 ca-certificates
    # Backups: written and read with libarchive, checked with xxHash.
    libarchive-dev libxxhash-dev
    # Encrypted backups: OpenPGP through GPGME; gpg and its agent also make the tests' keys.
    libgpgme-dev gnupg gpg-agent
    mdbtools-dev # Access files of other systems, read when a clinic moves in
    python3      # an independent CSV reader for the export test
    xxhash       # xxh128sum, an independent check of a backup's checksum list in its test
    # A screen reader's view through AT-SPI: the accessibility bus and registry, the
    # library Orca reads with, and an X server (Qt speaks AT-SPI on xcb only).
    at-spi2-core python3-pyatspi xvfb xauth x11-utils
    poppler-utils  # pdftotext and pdftoppm read the printing tests' PDFs back
)

kesta_install_missing() {
    local missing=()
    local pkg
    for pkg in "${KESTA_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# kesta_build FOLDER BUILD_TYPE [CMAKE_ARGUMENTS...]: configures FOLDER (under the
# repository) the first time, passes later arguments on, and builds incrementally.
kesta_build() {
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    local build="$root/$1"
    local type=$2
    shift 2
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
    elif [ $# -gt 0 ]; then
        cmake "$build" "$@" >/dev/null
    fi
    cmake --build "$build"
}
