#!/usr/bin/env bash
# Configures and builds Quorbic into ./build (two jobs: the machines have two cores).
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache, where present, lets a second checkout reuse what the first compiled.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build build -j2
