#!/usr/bin/env bash
# Times the main window as built from this tree beside the same window as built from an
# older commit (by default where this branch left main), alternating the two builds round
# by round on the same data folders, and prints the medians of every step side by side:
#
#     tools/windowbench/compare.sh [BASE] [ROUNDS] [--only STEP,...] [--server]
#
# --only makes just the runs that hold the named steps (select, big, sfn, idle, focus,
# type, live, create, sort; the start is timed by every run); --server also times live and
# create over a private PostgreSQL server of 100,000 patients, started and filled anew by
# each run. Each start listens on the exchange port: run it where no other Kesta does.
# Both builds are Release builds: this tree's in build-release/, the older one's in
# build-base/ (its source from git archive, with this windowbench copied in). The data
# folders (10,000 patients with 10 recordings each, and 100,000 patients) are made once
# for each build in build-release/windowbench-data/old and new.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
only=""
server=no
positional=()
while [ $# -gt 0 ]; do
    case $1 in
    --only)
        only=",$2,"
        shift 2
        ;;
    --server)
        server=yes
        shift
        ;;
    *)
        positional+=("$1")
        shift
        ;;
    esac
done
base=${positional[0]:-$(git -C "$root" merge-base HEAD main)}
rounds=${positional[1]:-5}
data="$root/build-release/windowbench-data"

# The steps among the given ones that --only asks for, or all of them.
chosen() {
    local step picked=()
    for step in "$@"; do
        if [ -z "$only" ] || [[ $only == *",$step,"* ]]; then
            picked+=("$step")
        fi
    done
    echo "${picked[*]:-}"
}

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
mkdir -p "$old_source/tools/windowbench" "$old_source/tests/support"
cp "$root/tools/windowbench/main.cpp" "$root/tools/windowbench/CMakeLists.txt" "$old_source/tools/windowbench/"
cp "$root/tests/support/testserver.cpp" "$root/tests/support/testserver.h" "$old_source/tests/support/"
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
# One run of a build over a folder, its lines labelled; none when no step of it is chosen.
# A run that ends early keeps what it printed and says so, so the other steps still count.
measure() { # side binary label folder options step...
    local side=$1 binary=$2 label=$3 folder=$4 options=$5
    shift 5
    local steps
    steps=$(chosen "$@")
    [ -n "$steps" ] || return 0
    # A run that starts from the idle window still does, whatever --only picks.
    if [ "$1" = idle ] && [[ " $steps " != *" idle "* ]]; then
        steps="idle $steps"
    fi
    # shellcheck disable=SC2086
    "$binary" run "$folder" $steps $options 2>/dev/null | sed "s/^/$side $label /" >>"$samples" \
        || echo "$side $label: the run of $steps ended early" >&2
}
for round in $(seq "$rounds"); do
    order="old new"
    [ $((round % 2)) -eq 0 ] && order="new old"
    for side in $order; do
        binary=$old
        [ "$side" = new ] && binary=$new
        measure $side "$binary" 10k "$data/$side/d10k" "--rounds 10" select big
        # Enough recordings that the rate is the steady one, not the first few's.
        measure $side "$binary" 10k "$data/$side/d10k" "--rounds 100" sfn
        measure $side "$binary" 100k "$data/$side/d100k" "--rounds 5" focus type
        # The same once the window has done what it does after showing the list.
        if [ -n "$(chosen idle)" ]; then
            measure $side "$binary" 100k-idle "$data/$side/d100k" "--rounds 5" idle focus type
        fi
        # Steps that add patients work on a copy, so that every run starts from the same list.
        if [ -n "$(chosen live create sort)" ]; then
            rm -rf "$data/$side/changed"
            cp -r "$data/$side/d100k" "$data/$side/changed"
            # From the idle window: the search texts read after the start would
            # otherwise take their slices inside the first rounds.
            measure $side "$binary" 100k "$data/$side/changed" "--rounds 5" idle live create sort
        fi
        if [ "$server" = yes ]; then
            rm -rf "$data/$side/server"
            measure $side "$binary" server "$data/$side/server" "--rounds 5 --server 100000" idle live create
        fi
    done
done

python3 - "$samples" "$base" "$rounds" <<'EOF'
import statistics, sys
values = {}
for line in open(sys.argv[1]):
    fields = line.split()
    if len(fields) != 6 or fields[2] != "step":
        continue
    side, data, _, name, wall, cpu = fields
    values.setdefault((data, name, side), []).append((float(wall), float(cpu)))
steps = [
    ("10k", "select", "Selecting a patient at 10k (card shown)", "< 10 ms"),
    ("10k", "big", "First selection of a patient with 5,000 records", "< 40 ms"),
    ("10k", "shown", "Window shown, 10k patients", "-"),
    ("100k", "shown", "Window shown, 100k patients", "< 1000 ms"),
    ("100k", "model", "  of which reading the patients", "-"),
    ("100k", "type-first", "100k: first keystroke, straight after the focus", "< 16 ms"),
    ("100k-idle", "idle", "100k: window idle after the list is shown", "-"),
    ("100k-idle", "type-first", "100k: first keystroke, the window idle before the focus", "< 16 ms"),
    ("100k", "type", "100k: later keystrokes narrowing 100,000 rows to 12,500", "< 16 ms"),
    ("100k", "rows", "  rows the keystroke leaves", "-"),
    ("100k", "clear", "100k: clearing the filter", "< 16 ms"),
    ("100k", "focus", "100k: focusing the search field", "< 16 ms"),
    ("100k", "live", "100k: a patient from another workstation shown", "< 10 ms"),
    ("100k", "create", "100k: a patient created in the window, shown selected", "< 50 ms"),
    ("100k", "sort", "100k: sorting by a column", "< 100 ms"),
    ("100k", "sort-first", "  a column's first sort (its keys read)", "< 100 ms"),
    ("10k", "sfn", "A recording reported over the exchange (2,000 records)", "-"),
    ("10k", "sfn-rate", "  recordings registered per second", ">= 300 /s"),
    ("server", "shown", "Server, 100k: window shown", "< 1000 ms"),
    ("server", "model", "  of which reading the patients", "-"),
    ("server", "live", "Server, 100k: a patient from another workstation shown", "< 10 ms"),
    ("server", "create", "Server, 100k: a patient created in the window, shown selected", "< 50 ms"),
]
# A step the table does not name yet still shows, under its own name.
named = {(data, name) for data, name, _, _ in steps}
for data, name, _ in sorted(values):
    if (data, name) not in named:
        named.add((data, name))
        steps.append((data, name, f"{data}: {name}", "-"))
print(f"base {sys.argv[2][:10]}, {sys.argv[3]} rounds alternating; medians, wall ms (CPU ms); - where a side has none")
print("| Step | old | new | old/new | target |")
print("|---|---|---|---|---|")
for data, name, title, target in steps:
    old, new = values.get((data, name, "old")), values.get((data, name, "new"))
    if not old and not new:
        continue
    count = name in ("sfn-rate", "rows")
    texts, walls = [], []
    for side in (old, new):
        if not side:
            texts.append("-")
            walls.append(None)
            continue
        wall = statistics.median(w for w, _ in side)
        cpu = statistics.median(c for _, c in side)
        texts.append(f"{wall:.0f}" if count else f"{wall:.1f} ({cpu:.1f})")
        walls.append(wall)
    ratio = "-"
    if walls[0] and walls[1] and name != "rows":
        ratio = f"{walls[1] / walls[0]:.1f}x" if name == "sfn-rate" else f"{walls[0] / walls[1]:.1f}x"
    print(f"| {title} | {texts[0]} | {texts[1]} | {ratio} | {target} |")
EOF
