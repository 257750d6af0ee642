#!/usr/bin/env bash
# Builds everything and runs every test with ctest, inside a private test
# environment (sound server with a null sink, virtual X display).
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIRENA_BUILD_TESTS=ON >/dev/null
cmake --build build

# shellcheck source=scripts/test-env.sh
source scripts/test-env.sh
start_test_env
trap stop_test_env EXIT

ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
