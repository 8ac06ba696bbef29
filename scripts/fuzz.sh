#!/usr/bin/env bash
# Runs the fuzz targets of the `fuzz` preset (build it first: cmake --preset fuzz && cmake --build --preset fuzz),
# each for the given number of seconds, starting from its seeds (fuzz/corpus/<name>) and every input that once
# broke it (fuzz/crashes/<name>). Prints executions per second and the total per target; an input that breaks a
# target is kept in build-fuzz/findings/<name>/ and belongs in fuzz/crashes/<name> once it is fixed.
#   scripts/fuzz.sh [seconds (60)] [target ...]     targets: bmp wav mp3 questions hiscore ini layout script
#                                                    player_memory questions-large
# questions-large runs the question target again on inputs of up to 4 MB with a 10-second limit per input and a
# 1 GB memory limit, so that a reader or checker whose time or memory grows faster than the file shows up.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(bmp wav mp3 questions hiscore ini layout script player_memory questions-large)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
for name in "${TARGETS[@]}"; do
  limits=(-timeout=30 -rss_limit_mb=2048 -max_len=8192)
  program=build-fuzz/fuzz/fuzz_$name
  if [ "$name" = questions-large ]; then
    limits=(-timeout=10 -rss_limit_mb=1024 -max_len=4194304 -len_control=0)
    program=build-fuzz/fuzz/fuzz_questions
  fi
  [ -x "$program" ] || { echo "fuzz: $program is not built"; exit 2; }
  corpus=build-fuzz/corpus/$name
  findings=build-fuzz/findings/$name
  mkdir -p "$corpus" "$findings"
  source=${name%-large}
  cp -n fuzz/corpus/"$source"/* "$corpus"/ 2>/dev/null || true
  [ -d fuzz/crashes/"$source" ] && cp -n fuzz/crashes/"$source"/* "$corpus"/ 2>/dev/null || true
  log=build-fuzz/findings/$name.log
  set +e
  "$program" -max_total_time="$SECONDS_EACH" "${limits[@]}" -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" > "$log" 2>&1
  code=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if [ "$code" = 0 ]; then
    echo "fuzz $name: ${runs:-?} executions in ${SECONDS_EACH} s, ${rate:-?} per second, clean"
  else
    echo "fuzz $name: FAILED (exit $code) after ${runs:-?} executions; see $log and $findings/"
    grep -m 5 -E "property failed|ERROR|runtime error" "$log" || true
    status=1
  fi
done
exit $status
