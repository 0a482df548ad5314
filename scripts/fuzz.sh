#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) into ./build-fuzz and runs each for the given number of seconds,
# one after the other on one core.
#
#   scripts/fuzz.sh [seconds per target] [target...]     (default: 30, all)
#
# "all" is every target but articlecomposer_large (fields of 1 and 10 MB,
# seconds per run) and articletext_large (a 10 MB base64 part), which run
# only when named.
#
# Each run starts from the seed files in tests/fuzz/corpus/<target>/ and
# grows its corpus in a temporary directory, removed afterwards. A crash
# input is kept in build-fuzz/crashes/<target>/ and ends the script with a
# failure; every target is still run. libFuzzer's final figures (executions,
# coverage) are printed per target.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
shift || true
build=${QUORBIC_FUZZ_BUILD:-$here/build-fuzz}

# Target name, then its own libFuzzer options.
declare -A options=(
  [replyreader]="-max_len=4096"
  [overview]="-max_len=4096"
  [socks5]="-max_len=1024"
  # Long fields come from the stretch byte of the input (see the target), so
  # the inputs themselves stay small and fast to mutate: up to 64 KB in the
  # everyday target, 1 and 10 MB in the _large one, which is run only when
  # named.
  [articlecomposer]="-max_len=16384 -rss_limit_mb=4096 -timeout=120"
  [articlecomposer_large]="-max_len=4096 -rss_limit_mb=6144 -timeout=600"
  [retrievalmatcher]="-max_len=4096"
  # Framed by byte 0 of the input (see the target): 100 nested levels, a
  # 256 KB base64 part here, 10 MB in the _large one, run only when named.
  [articletext]="-max_len=16384 -rss_limit_mb=2048 -timeout=30"
  [articletext_large]="-max_len=4096 -rss_limit_mb=4096 -timeout=120"
)
all=(replyreader overview socks5 articlecomposer retrievalmatcher articletext)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORBIC_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target $(printf 'fuzz_%s ' "${targets[@]}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=()
for t in "${targets[@]}"; do
  corpus="$work/$t"
  crashes="$build/crashes/$t"
  mkdir -p "$corpus" "$crashes"
  seeds=$here/tests/fuzz/corpus/${t%_large}
  cp "$seeds/"* "$corpus/" 2>/dev/null || true
  echo "== fuzz_$t: $seconds s"
  if ! UBSAN_OPTIONS=print_stacktrace=1 \
       "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="$crashes/" ${options[$t]:-} "$corpus" 2>"$work/$t.log"; then
    failed+=("$t")
    tail -n 60 "$work/$t.log"
  fi
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
    "$work/$t.log" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: faults found in: ${failed[*]} (inputs in $build/crashes/)" >&2
  exit 1
fi
