# Shared by the scripted runs: compares the screenshots a run took with the golden pictures kept beside its script,
# exactly. Source it, then: compare_golden_pictures GOLDEN_FOLDER SHOT_FOLDER NAME
# Prints each difference (the run's picture is kept as /tmp/NAME-<picture>) and returns 1 when there was one.
compare_golden_pictures() {
  local golden shot differing kept result=0
  for golden in "$1"/*.png; do
    [ -e "$golden" ] || continue
    shot="$2/$(basename "$golden")"
    if [ ! -f "$shot" ]; then echo "no screenshot $(basename "$golden") was taken"; result=1; continue; fi
    differing=$(compare -metric AE "$golden" "$shot" null: 2>&1 || true)
    if [ "$differing" != "0" ]; then
      kept="/tmp/$3-$(basename "$golden")"
      cp "$shot" "$kept"
      echo "$(basename "$golden"): $differing pixels differ (this run's picture: $kept)"
      result=1
    fi
  done
  return $result
}
