#!/usr/bin/env bash
# Configures and builds into build/ by the preset `default` (extra arguments
# go to cmake).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default "$@" > /dev/null
cmake --build --preset default -j "$(nproc)"
