#!/usr/bin/env bash
# Installs what is missing, makes the Debian packages kesta and kesta-recorder-simulator from
# an optimised build (Release, no tests) in build-package/, and checks them with lintian.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
kesta_install_missing lintian
kesta_build build-package Release -DBUILD_TESTING=OFF
cd build-package
rm -f ./*.deb
cpack
# Errors fail the script; the warnings that remain are explained in the README.
lintian --fail-on error ./*.deb
ls -l ./*.deb
