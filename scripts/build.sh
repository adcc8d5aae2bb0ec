#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as BUILD_DIR).
set -eu
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
