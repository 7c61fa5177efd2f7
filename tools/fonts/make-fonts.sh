#!/usr/bin/env bash
# Regenerates resources/fonts/OpenSans/ from the OFL-licensed variable Open Sans.
# A developer step, not part of the build: needs npm and Debian's python3-fonttools
# and python3-brotli (woff2 decoding). The package is fetched into a temporary
# folder so nothing lands in the repository but the fonts and the licence.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../../resources/fonts/OpenSans"
version=5.3.0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && npm install --silent --no-audit --no-fund --no-save "@fontsource-variable/open-sans@$version" >/dev/null)
package="$tmp/node_modules/@fontsource-variable/open-sans"
/usr/bin/python3 "$here/make_fonts.py" "$package" "$out"
cp "$package/LICENSE" "$out/OFL.txt"
