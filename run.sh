#!/usr/bin/env bash
# Installs what is missing, builds an optimised build with debug information (no tests) in
# build-run/, and starts Kesta.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
kesta_install_missing
kesta_build build-run RelWithDebInfo -DBUILD_TESTING=OFF
exec ./build-run/src/kesta "$@"
