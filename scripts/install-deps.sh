#!/usr/bin/env bash
# Installs, with apt-get, whatever this machine lacks to build Quorbic, and with
# --test also what the tests need (a real news server and SOCKS 5 proxy, run by
# the tests themselves on loopback, never as system services).
set -euo pipefail

# ca-certificates: the trust store the news client checks servers' TLS
# certificates against, at run time.
build_pkgs=(g++ cmake make pkg-config qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libgmime-3.0-dev xdg-utils ca-certificates)
# desktop-file-utils and appstream check the installed menu entry and metainfo;
# clang with libclang-rt-14-dev (libFuzzer, ASan and UBSan, which clang only
# recommends, and recommendations are not installed here) builds the fuzz
# targets of scripts/fuzz.sh. libxdamage-dev lets the start-up benchmark see
# the main window's first paint on the virtual X server.
test_pkgs=(inn2 microsocks openssl xvfb xauth desktop-file-utils appstream clang libclang-rt-14-dev libxdamage-dev)

want=("${build_pkgs[@]}")
[ "${1:-}" = "--test" ] && want+=("${test_pkgs[@]}")

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# A half-configured inn2 (see below) counts as missing work too.
if dpkg-query -W -f='${Status}' inn2 2>/dev/null | grep -q 'half-configured\|unpacked'; then
  missing+=(inn2)
fi
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run as root to install them" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
# inn2 pulls in exim4 and cron; keep their post-install scripts from starting
# system services while apt runs.
policy=/usr/sbin/policy-rc.d
own_policy=0
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' >"$policy"; chmod +x "$policy"; own_policy=1
fi
# apt's and dpkg's chatter goes to a log that is shown only when something fails.
log=$(mktemp /tmp/quorbic-install-deps.XXXXXX.log)
trap '[ $own_policy -eq 1 ] && rm -f "$policy"; rm -f "$log"' EXIT
show_log() { echo "install-deps: $1; the output of apt-get and dpkg follows" >&2; cat "$log" >&2; exit 1; }

echo "install-deps: installing ${missing[*]}"
apt-get update -qq >>"$log" 2>&1 || show_log "apt-get update failed"
# inn2's post-install fails on a host name without a dot; it is finished below.
apt-get install -y -qq --no-install-recommends "${missing[@]}" >>"$log" 2>&1 || true

if dpkg-query -W -f='${Status}' inn2 2>/dev/null | grep -q 'half-configured\|unpacked'; then
  conf=$(mktemp)
  cat /etc/news/inn.conf >"$conf"
  echo 'domain: test.invalid' >>"$conf"
  INNCONF="$conf" dpkg --configure -a >>"$log" 2>&1 || { rm -f "$conf"; show_log "finishing inn2's set-up failed"; }
  rm -f "$conf"
fi

# Anything still missing now is a real failure.
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || show_log "could not install $p"
done
