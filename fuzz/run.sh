#!/usr/bin/env bash
# Runs every fuzz target for a while on a corpus kept in the fuzz build directory.
#
#   fuzz/run.sh BUILD_DIR [SECONDS] [EXTRA_SEED_DIR...]
#
# BUILD_DIR is a build configured with -DKR_FUZZ=ON and built. Each target gets its own
# corpus folder under BUILD_DIR/fuzz/corpus, seeded from tests/data/malformed and
# malformed-inventory, from the seed files the build wrote and from any *.DAT in the
# build (or in the extra folders).
# The corpus grows from run to run. Exits non-zero if any target crashed, leaked, hung
# or broke one of its checks; the input that did it is left in BUILD_DIR/fuzz/artifacts.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 BUILD_DIR [SECONDS] [EXTRA_SEED_DIR...]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
seconds=${2:-5}
shift $(( $# >= 2 ? 2 : 1 ))
extra_seed_dirs=("$@")
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if ! [[ $seconds =~ ^[0-9]+$ ]] || (( seconds < 1 )); then
  echo "$0: SECONDS must be a whole number above 0, not '$seconds'" >&2
  exit 2
fi

targets=(fuzz_tagged_reader fuzz_race_file fuzz_icon_file fuzz_inventory_file fuzz_price_list
         fuzz_army_file fuzz_group_file fuzz_settings_file fuzz_game_file fuzz_trade_frame
         fuzz_trade_offer fuzz_trade_file fuzz_collection_csv)
for target in "${targets[@]}"; do
  if [[ ! -x $build/bin/$target ]]; then
    echo "$0: $build/bin/$target is missing; configure with -DKR_FUZZ=ON and build first" >&2
    exit 2
  fi
done

work=$build/fuzz
mkdir -p "$work/artifacts" "$work/logs"

seeds=()
while IFS= read -r -d '' file; do seeds+=("$file"); done < <(
  find "$source_dir/tests/data/malformed" "$source_dir/tests/data/malformed-inventory" -type f -print0
  [[ -d $work/seeds ]] && find "$work/seeds" -type f -print0
  find "$build" -path "$work" -prune -o -type f -name '*.DAT' -print0
  for dir in "${extra_seed_dirs[@]}"; do find "$dir" -type f -name '*.DAT' -print0; done)

failed=()
summary=()
for target in "${targets[@]}"; do
  corpus=$work/corpus/$target
  mkdir -p "$corpus"
  # Copied under their content hash, as libFuzzer names its own finds, so that seeds
  # from different folders cannot overwrite each other.
  for seed in "${seeds[@]}"; do
    cp "$seed" "$corpus/seed-$(sha1sum <"$seed" | cut -c1-40)"
  done

  log=$work/logs/$target.log
  echo "== $target: ${seconds}s on $(find "$corpus" -type f | wc -l) corpus files"
  status=0
  # -timeout: a reader that hangs on a file is as bad as one that crashes.
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    "$build/bin/$target" "$corpus" \
      -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$work/artifacts/$target-" \
      >"$log" 2>&1 || status=$?
  final=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
  echo "   $final"
  if (( status != 0 )); then
    failed+=("$target")
    echo "   FAILED (exit $status); the log is $log:"
    grep -E 'ERROR|SUMMARY|^fuzz_|Test unit written|==[0-9]+==' "$log" | head -n 20 | sed 's/^/     /'
    for artifact in "$work/artifacts/$target-"*; do
      if [[ -f $artifact ]]; then echo "   reproduce: $build/bin/$target $artifact"; fi
    done
  fi
  summary+=("$target: ${final:-no stats}")
done

echo "== summary"
printf '   %s\n' "${summary[@]}"
if (( ${#failed[@]} > 0 )); then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
echo "no crashes"
