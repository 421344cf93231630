#!/usr/bin/env bash
# Installs everything Q.E.R.N. needs, builds it in build/ and starts it on the
# simulated instrument with the default data folder. Extra arguments go to the
# program (see build/bin/qern --help).
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup-common.sh

install_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
as_user cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQERN_BUILD_TESTS=OFF
as_user cmake --build build -j"$(nproc)"
as_user build/bin/qern --simulate "$@"
