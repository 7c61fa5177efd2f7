#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kesta.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
kesta_install_missing
kesta_build
exec ./build/src/kesta "$@"
