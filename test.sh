#!/usr/bin/env bash
# Installs what is missing, builds a debug build with warnings as errors in build/, and runs
# every test headless.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
kesta_install_missing
kesta_build build Debug -DKESTA_WERROR=ON
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
