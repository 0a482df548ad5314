#!/usr/bin/env bash
# Installs what is missing (the test peers included), builds, and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh" --test
bash "$here/scripts/build.sh" -DBUILD_TESTING=ON
cd "$here/build"
ctest --output-on-failure -j2 "$@"
