#!/usr/bin/env bash
# Builds skingen and redraws the sample skins and the application icon.
set -eu
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target skingen
"$build/tools-bin/skingen" skins --icons packaging
