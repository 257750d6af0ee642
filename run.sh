#!/usr/bin/env bash
# Builds the player and starts it on the bundled sample course.
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target lirena lirena-check
exec ./build/lirena
