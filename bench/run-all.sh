#!/usr/bin/env bash
# Runs every benchmark program of a build and prints one table: figure,
# target, measured, pass or fail. It builds nothing: build first, in Release
# and with the test fixtures (the benchmarks that need a news server start
# their own INN from them, which needs root):
#
#   cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON
#   cmake --build build -j2
#   bench/run-all.sh build
#
# Each program prints its own figures (kept in a log per program, whose
# directory the table names) and a line "RESULT key=value" for each figure
# below. The exit status is 0 when every figure met its target.
set -uo pipefail

build=${1:-build}
bench_dir=$build/bench
if [ ! -d "$bench_dir" ]; then
  echo "run-all: no $bench_dir; build the project first (see the top of this script)" >&2
  exit 2
fi
logs=$(mktemp -d /tmp/quorbic-bench.XXXXXX)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

# The targets the issues set: key | figure | comparison | limit | unit. A limit
# written @key is a figure the benchmark measured itself.
targets=(
  "startup.empty_ms|Start-up to first paint, empty store|(none)||ms"
  "startup.ratio_50k|  with 50,000 Inbox messages / empty store|<=|3|x"
  "startup.ratio_100k|  with 100,000 Inbox messages / empty store|<=|5|x"
  "startup.peak_mb_50k|  memory with 50,000 messages at first paint|<|60|MB"
  "startup.peak_mb_100k|  memory with 100,000 messages at first paint|<|90|MB"
  "treeload.threads_ms|Inbox of 50,000 shown as threads|<|1000|ms"
  "treeload.ratio|  threads / same rows flat|<|2|x"
  "postingstore.ratio|Posting 50x10 copies: big store / small store|<=|1.2|x"
  "retrievalscan.ratio|Retrieval of 20,000 lines: run / bare client|<=|1.5|x"
  "retrievalscan.second_ratio|  second run, 100 new lines: run / bare client|<=|1.2|x"
  "retrievalscan.first_commit_ms|  its waits for the disk: first commit of a fresh store|(none)||ms"
  "retrievalscan.disk_flush_ms|  ... and the final flush|(none)||ms"
  "listload.first_raw_ratio|Group list, 100,000 into an empty store / raw download|<=|2|x"
  "listload.known_raw_ratio|  every name known / raw download|<=|1.3|x"
  "listload.descriptions_raw_ratio|  with descriptions / raw download of both lists|<=|1.5|x"
  "listload.load_peak_mb|  peak memory of the load with descriptions|<|100|MB"
  "previewdecode.ms|1 MB multipart answer shown in the preview|<|100|ms"
  "listload.first_ms|First Update List, 100,000 groups|<|3000|ms"
  "listload.first_ratio|  first Update List / bare baseline|<=|1.5|x"
  "listload.second_ms|Second Update List, every name known|<|1500|ms"
  "listload.descriptions_ratio|  loader with descriptions / names only|<=|1.5|x"
  "listload.peak_memory_mb|Newsgroups benchmark, peak resident memory|<|300|MB"
  "listload.filter_ms|Newsgroups filter (names and descriptions) shown, 100,000 groups (slowest)|<|200|ms"
  "listload.scroll_rows_read|Newsgroups list, rows read over 20 scrolled pages|<=|@listload.scroll_rows_limit|rows"
  "categories.open_ms|Category manager opened, 100,000 groups|<=|200|ms"
  "categories.select_ms|  category of 500 groups selected|<=|200|ms"
  "categories.filter_ms|  filter shown (slowest of 3)|<=|200|ms"
)

# Every benchmark program the build made, whatever its name after "bench_".
programs=()
for program in "$bench_dir"/bench_*; do
  [ -f "$program" ] && [ -x "$program" ] && programs+=("$program")
done
if [ ${#programs[@]} -eq 0 ]; then
  echo "run-all: no bench_* programs in $bench_dir" >&2
  exit 2
fi

status_of=()
for program in "${programs[@]}"; do
  name=$(basename "$program")
  echo "run-all: $name ..." >&2
  start=$(date +%s)
  "$program" >"$logs/$name.log" 2>&1
  rc=$?
  echo "run-all: $name ended with status $rc after $(( $(date +%s) - start )) s" >&2
  [ $rc -ne 0 ] && status_of+=("$name exited with status $rc (see $logs/$name.log)")
done

# value KEY: the last "RESULT KEY=value" any program printed.
value() {
  cat "$logs"/*.log | sed -n "s/^RESULT $1=//p" | tail -n 1
}

failed=0
printf '%-54s %-14s %-12s %s\n' "Figure" "Target" "Measured" "Result"
printf '%-54s %-14s %-12s %s\n' "------" "------" "--------" "------"
for row in "${targets[@]}"; do
  IFS='|' read -r key figure op limit unit <<<"$row"
  [ "${limit#@}" != "$limit" ] && limit=$(value "${limit#@}")
  measured=$(value "$key")
  if [ "$op" = "(none)" ]; then
    # A figure shown for reference, with no target of its own.
    printf '%-54s %-14s %-12s %s\n' "$figure" "(none)" "${measured:-missing} $unit" "-"
    continue
  fi
  if [ -z "$measured" ] || [ -z "$limit" ]; then
    verdict=fail
    shown="missing"
  else
    shown="$measured $unit"
    if awk -v m="$measured" -v l="$limit" -v op="$op" \
         'BEGIN { exit !((op == "<" && m + 0 < l + 0) || (op == "<=" && m + 0 <= l + 0)) }'; then
      verdict=pass
    else
      verdict=fail
    fi
  fi
  [ $verdict = fail ] && failed=$((failed + 1))
  printf '%-54s %-14s %-12s %s\n' "$figure" "$op $limit $unit" "$shown" "$verdict"
done

# Figures a benchmark reports that no target above names yet.
known=" $(for row in "${targets[@]}"; do printf '%s ' "${row%%|*}"; done)"
cat "$logs"/*.log | sed -n 's/^RESULT \([^=]*\)=\(.*\)$/\1 \2/p' | while read -r key measured; do
  case "$known" in *" $key "*) ;; *)
    case "$key" in *_limit) ;; *) printf '%-54s %-14s %-12s %s\n' "$key" "(none)" "$measured" "-" ;; esac ;;
  esac
done

for line in "${status_of[@]}"; do
  echo "run-all: $line"
  failed=$((failed + 1))
done
echo "Logs: $logs"
[ $failed -eq 0 ]
