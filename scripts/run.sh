#!/usr/bin/env bash
# Installs what is missing, builds, makes an empty store "qa.mdb" in the working
# directory when there is none, and starts the program there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh" -DBUILD_TESTING=OFF
[ -e qa.mdb ] || "$here/build/cli/quorbic-cli" init
exec "$here/build/shell/quorbic"
