#!/usr/bin/env bash
# Installs everything, builds the sanitizer build in build-test/ and runs every
# test. Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup-common.sh

install_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
as_user cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQERN_SANITIZE=ON
as_user cmake --build build-test -j"$(nproc)"
cd build-test
export QT_QPA_PLATFORM=offscreen
as_user ctest --output-on-failure -j"$(nproc)" "$@"
