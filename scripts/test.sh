#!/usr/bin/env bash
# Installs what is missing (the test peers too), builds, runs every test, then
# runs each fuzz target for a short while (30 s by default; QUORBIC_FUZZ_SECONDS).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh" --test
bash "$here/scripts/build.sh" -DBUILD_TESTING=ON
(cd "$here/build" && ctest --output-on-failure -j2 "$@")
bash "$here/scripts/fuzz.sh" "${QUORBIC_FUZZ_SECONDS:-30}"
