#!/usr/bin/env bash
# Quick start: install what is needed, build, and run every test. System tests
# start their own X server (Xvfb), so no display is needed.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
build=${BUILD_DIR:-build}
cd "$build"
ctest --output-on-failure -j"$(nproc)" ${CTEST_ARGS:-}
