#!/usr/bin/env bash
# The mutation check: applies each fault of faults.txt, one at a time, to a copy of the tree, rebuilds the copy
# incrementally, runs the tests the fault names, and reports it as caught (a test failed) or missed. Every fault
# on the list must be caught. Not part of the default test run: it takes some minutes.
#   tests/mutation/run.sh [pattern]      only the faults whose title contains pattern
# The copy lives in $ZORVEL_MUTATION_DIR (default /tmp/zorvel-mutation) and keeps its build between runs.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TREE=$(cd "$HERE/../.." && pwd)
COPY=${ZORVEL_MUTATION_DIR:-/tmp/zorvel-mutation}
ONLY=${1:-}
FAULTS="$COPY/faults-in-use.txt"

mkdir -p "$COPY"
cp "$HERE/faults.txt" "$FAULTS"  # the list as it was at the start, whatever happens to the tree meanwhile
# The copy is brought up to date with the tree (build folders left out); files that did not change keep their
# times, so only what changed is rebuilt.
(cd "$TREE" && git ls-files -co --exclude-standard -z | grep -zv '^build' | xargs -0 cp --parents -p -u -t "$COPY")
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache} CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
if [ ! -f "$COPY/build/CMakeCache.txt" ]; then
  (cd "$COPY" && cmake --preset default > "$COPY/configure.log" 2>&1) || { echo "configure failed: $COPY/configure.log"; exit 2; }
fi
echo "building the unchanged copy in $COPY/build ..."
cmake --build "$COPY/build" -j2 > "$COPY/build.log" 2>&1 || { echo "the unchanged tree does not build: $COPY/build.log"; exit 2; }

# faults.txt: one block per fault, "@ title", "file <path>", "build <targets>" (default: everything),
# "tests <ctest pattern>", "- <text as it is>", "+ <text with the fault>"; "\n" in the texts is a line break.
apply() {  # file old new -> 0 when the old text was found exactly once and replaced
  perl -e '
    my ($file, $old, $new) = @ARGV;
    s/\\n/\n/g for ($old, $new);
    open(my $in, "<", $file) or exit 3; local $/; my $text = <$in>; close $in;
    my $count = () = $text =~ /\Q$old\E/g;
    exit 4 if $count != 1;
    $text =~ s/\Q$old\E/$new/;
    open(my $out, ">", $file) or exit 3; print $out $text; close $out;' "$@"
}

caught=0; missed=0; broken=0; missedList=""
run_fault() {
  local title=$1 file=$2 tests=$3 old=$4 new=$5 targets=$6
  [ -n "$ONLY" ] && [[ "$title" != *"$ONLY"* ]] && return
  cp "$COPY/$file" "$COPY/original-file"
  if ! apply "$COPY/$file" "$old" "$new"; then
    echo "BROKEN  $title (the text to change is not found once in $file)"; broken=$((broken + 1)); return
  fi
  local result
  # shellcheck disable=SC2086  # the targets are a list
  if ! cmake --build "$COPY/build" -j2 ${targets:+--target $targets} > "$COPY/fault-build.log" 2>&1; then
    result="caught (does not build)"
  elif (cd "$COPY/build" && ctest -R "$tests" --timeout 120 --stop-on-failure -j2 > "$COPY/fault-test.log" 2>&1); then
    result=""
  else
    result="caught"
  fi
  cp "$COPY/original-file" "$COPY/$file"  # a fresh time stamp, so the next build compiles it again
  if [ -n "$result" ]; then
    echo "$result  $title"; caught=$((caught + 1))
  else
    echo "MISSED  $title"; missed=$((missed + 1)); missedList+="  $title"$'\n'
  fi
}

title=""; file=""; tests=""; old=""; new=""; targets=""
flush() {
  [ -n "$title" ] && run_fault "$title" "$file" "$tests" "$old" "$new" "$targets"
  title=""; file=""; tests=""; old=""; new=""; targets=""
}
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    "@ "*) flush; title=${line#@ } ;;
    "file "*) file=${line#file } ;;
    "tests "*) tests=${line#tests } ;;
    "build "*) targets=${line#build } ;;
    "- "*) old=${line#- } ;;
    "+ "*) new=${line#+ } ;;
    "+") new="" ;;
  esac
done < "$FAULTS"
flush
cmake --build "$COPY/build" -j2 > /dev/null 2>&1  # leave the copy built as the tree is

total=$((caught + missed))
echo "mutation score: $caught of $total faults caught"
[ $broken -gt 0 ] && echo "$broken faults no longer apply: change their text in faults.txt"
[ $missed -gt 0 ] && printf 'missed:\n%s' "$missedList"
[ $missed -eq 0 ] && [ $broken -eq 0 ]
