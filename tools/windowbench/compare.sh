#!/usr/bin/env bash
# Times the main window as built from this tree beside the same window as built from an
# older commit (by default where this branch left main), alternating the two builds round
# by round on the same data folders, and prints the medians side by side:
#
#     tools/windowbench/compare.sh [BASE] [ROUNDS]
#
# Each start listens on the exchange port: run it where no other Kesta does. Both builds
# are Release builds: this tree's in build-release/, the older one's in build-base/ (its
# source from git archive, with this windowbench copied in). The data folders (10,000
# patients with 10 recordings each, and 100,000 patients) are made once for each build in
# build-release/windowbench-data/old and new.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
base=${1:-$(git -C "$root" merge-base HEAD main)}
rounds=${2:-5}
data="$root/build-release/windowbench-data"

build() { # source folder, build folder
    [ -f "$2/build.ninja" ] || cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$2" --target windowbench >/dev/null
}

build "$root" "$root/build-release"
old_source="$root/build-base/source"
if [ "$(cat "$root/build-base/commit" 2>/dev/null)" != "$(git -C "$root" rev-parse "$base")" ]; then
    rm -rf "$root/build-base"
    mkdir -p "$old_source"
    git -C "$root" archive "$base" | tar -x -C "$old_source"
    git -C "$root" rev-parse "$base" >"$root/build-base/commit"
fi
mkdir -p "$old_source/tools/windowbench"
cp "$root/tools/windowbench/main.cpp" "$root/tools/windowbench/CMakeLists.txt" "$old_source/tools/windowbench/"
grep -q windowbench "$old_source/tools/CMakeLists.txt" || echo "add_subdirectory(windowbench)" >>"$old_source/tools/CMakeLists.txt"
build "$old_source" "$root/build-base/build"

new="$root/build-release/tools/windowbench/windowbench"
old="$root/build-base/build/tools/windowbench/windowbench"
mkdir -p "$data"
# Each build fills its own folders: a newer layout is one an older build refuses to open.
for side in old new; do
    binary=$old
    [ "$side" = new ] && binary=$new
    [ -d "$data/$side/d10k" ] || "$binary" fill "$data/$side/d10k" 10000 10 >/dev/null
    [ -d "$data/$side/d100k" ] || "$binary" fill "$data/$side/d100k" 100000 0 --no-files >/dev/null
done

samples=$(mktemp)
trap 'rm -f "$samples"' EXIT
for round in $(seq "$rounds"); do
    order="old new"
    [ $((round % 2)) -eq 0 ] && order="new old"
    for side in $order; do
        binary=$old
        [ "$side" = new ] && binary=$new
        "$binary" run "$data/$side/d10k" select big --rounds 10 2>/dev/null | sed "s/^/$side 10k /" >>"$samples"
        # Enough recordings that the rate is the steady one, not the first few's.
        "$binary" run "$data/$side/d10k" sfn --rounds 100 2>/dev/null | sed "s/^/$side 10k /" >>"$samples"
        "$binary" run "$data/$side/d100k" focus type --rounds 5 2>/dev/null | sed "s/^/$side 100k /" >>"$samples"
        # Steps that add patients work on a copy, so that every run starts from the same list.
        rm -rf "$data/$side/changed"
        cp -r "$data/$side/d100k" "$data/$side/changed"
        "$binary" run "$data/$side/changed" live create sort --rounds 5 2>/dev/null | sed "s/^/$side 100k /" >>"$samples"
    done
done

python3 - "$samples" "$base" "$rounds" <<'EOF'
import statistics, sys
values = {}
for line in open(sys.argv[1]):
    side, data, word, name, wall, cpu = line.split()
    values.setdefault((data, name, side), []).append((float(wall), float(cpu)))
steps = [
    ("10k", "select", "Selecting a patient at 10k (card shown)", "< 10 ms"),
    ("10k", "big", "First selection of a patient with 5,000 records", "< 40 ms"),
    ("10k", "shown", "Window shown, 10k patients", "-"),
    ("100k", "shown", "Window shown, 100k patients", "< 1000 ms"),
    ("100k", "model", "  of which reading the patients", "-"),
    ("100k", "type", "100k: keystroke narrowing 100,000 rows to 12,500", "< 16 ms"),
    ("100k", "clear", "100k: clearing the filter", "< 16 ms"),
    ("100k", "focus", "100k: focusing the search field", "< 16 ms"),
    ("100k", "live", "100k: a patient from another workstation shown", "< 10 ms"),
    ("100k", "create", "100k: a patient created in the window, shown selected", "< 50 ms"),
    ("100k", "sort", "100k: sorting by a column", "< 100 ms"),
    ("100k", "sort-first", "  a column's first sort (its keys read)", "< 100 ms"),
    ("10k", "sfn", "A recording reported over the exchange (2,000 records)", "-"),
    ("10k", "sfn-rate", "  recordings registered per second", ">= 300 /s"),
]
print(f"base {sys.argv[2][:10]}, {sys.argv[3]} rounds alternating; medians, wall ms (CPU ms)")
print("| Step | old | new | old/new | target |")
print("|---|---|---|---|---|")
for data, name, title, target in steps:
    old, new = values.get((data, name, "old")), values.get((data, name, "new"))
    if not old or not new:
        continue
    ow, nw = statistics.median(w for w, _ in old), statistics.median(w for w, _ in new)
    oc, nc = statistics.median(c for _, c in old), statistics.median(c for _, c in new)
    if name == "sfn-rate":
        print(f"| {title} | {ow:.0f} | {nw:.0f} | {nw / ow:.1f}x | {target} |")
    else:
        print(f"| {title} | {ow:.1f} ({oc:.1f}) | {nw:.1f} ({nc:.1f}) | {ow / nw:.1f}x | {target} |")
EOF
