#!/usr/bin/env bash
# Copies the Material Design Icons the program uses into resources/, drawn in "#000"
# (the colour the theme manager recolours), with white "-dark" variants of the
# glyphs the style sheets draw. A developer step, not part of the build: needs npm.
# The package is fetched into a temporary folder so nothing lands in the repository
# but the icons and the licence.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
res="$here/../../resources"
version=7.4.47

# resource file (under resources/) = icon name in the package
icons=(
    icons/chevron-up.svg=chevron-up
    icons/chevron-down.svg=chevron-down
    icons/chevron-left.svg=chevron-left
    icons/chevron-right.svg=chevron-right
    icons/check.svg=check
    icons/folder-open.svg=folder-open
    icons/plus.svg=plus
    icons/refresh.svg=refresh
    icons/settings.svg=cog
    icons/information.svg=information
    icons/translate.svg=translate
    icons/edit.svg=pencil
    icons/folder.svg=folder
    icons/delete.svg=delete
    icons/play.svg=play
    icons/circle_cross.svg=close-circle
    icons/amplifier.svg=amplifier
    icons/alert.svg=alert-circle-outline
    icons/file-unregistered.svg=file-question-outline
    icons/waveform.svg=waveform
    icons/open-in-app.svg=open-in-app
    images/gender-male.svg=gender-male
    images/gender-female.svg=gender-female
    images/gender-unknown.svg=help-circle-outline
)
# white copies for the dark theme's style sheet
dark=(chevron-up chevron-down chevron-left chevron-right check)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && npm install --silent --no-audit --no-fund --no-save "@mdi/svg@$version" >/dev/null)
package="$tmp/node_modules/@mdi/svg"

# The package's id attribute is dropped and the colour is put on the opening tag,
# where the recolouring looks for it.
draw() {  # source colour target
    sed -e 's/ id="[^"]*"//' -e "s/<svg \\([^>]*\\)>/<svg \\1 fill=\"$2\">/" "$1" >"$3"
    echo >>"$3"
}

mkdir -p "$res/icons" "$res/images"
for entry in "${icons[@]}"; do
    draw "$package/svg/${entry#*=}.svg" "#000" "$res/${entry%%=*}"
done
for name in "${dark[@]}"; do
    draw "$package/svg/$name.svg" "#FFF" "$res/icons/$name-dark.svg"
done
cp "$package/LICENSE" "$res/icons/LICENSE-MaterialDesignIcons.txt"
