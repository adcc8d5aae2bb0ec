#!/usr/bin/env bash
# Quick start: install what is needed, build, and start the clock. The sample
# skins folder is the working folder, so the skin browser opens on it.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
build=${BUILD_DIR:-build}
cd "$build/bin/skins"
exec ../Dialmere
