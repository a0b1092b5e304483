#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset: clang-14, AddressSanitizer
# and UndefinedBehaviorSanitizer), replays the committed corpora and crash
# inputs as regression tests, then fuzzes each target for a bounded time.
# Exits non-zero on any crash, leak, sanitizer report or failed check.
#
#   scripts/run-fuzz.sh [SECONDS]     seconds of fuzzing per target (default
#                                     $VARSK_FUZZ_SECONDS or 60; 0 = replay only)
#
# Environment: VARSK_FUZZ_TARGETS="fuzz_a fuzz_b" runs a subset;
# VARSK_FUZZ_FLAGS adds libFuzzer flags (for example -max_len=20000).
# Run once beforehand: VARSK_WITH_FUZZ=1 ./scripts/setup-debian.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${1:-${VARSK_FUZZ_SECONDS:-60}}
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "run-fuzz: SECONDS must be a whole number, not '$seconds'" >&2
  exit 2
fi

build=$root/build/fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target varsk_fuzzers

mapfile -t all_targets < <(grep -v '^$' "$build/fuzz-targets.txt")
targets=("${all_targets[@]}")
if [[ -n "${VARSK_FUZZ_TARGETS:-}" ]]; then
  read -r -a targets <<<"$VARSK_FUZZ_TARGETS"
fi

# Seeds made at run time (from the generated data set when a build has one).
seeds=$build/fuzz-seeds
rm -rf "$seeds"
data_set=""
for candidate in "$build"/generated/ms_data.bin "$root"/build/*/generated/ms_data.bin; do
  if [[ -f "$candidate" ]]; then
    data_set=$candidate
    break
  fi
done
"$build/bin/varsk_fuzz_corpus" "$seeds" ${data_set:+"$data_set"}
if [[ -x "$build/bin/fuzz_import" ]]; then
  # The edit-file seeds are dumps of the real records, written by the target itself.
  if ! VARSK_FUZZ_WRITE_SEEDS=$seeds/fuzz_import "$build/bin/fuzz_import" >/dev/null 2>&1; then
    echo "run-fuzz: warning: no dump seeds for fuzz_import; it starts from its corpus" >&2
  fi
fi

# Sanitizer reports end the run with a stack trace; leaks count as failures.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
read -r -a extra_flags <<<"${VARSK_FUZZ_FLAGS:-}"

logs=$build/fuzz-logs
mkdir -p "$logs"
passed=0
failed=0
summary=()

fail() {  # target, what, log
  failed=$((failed + 1))
  echo "run-fuzz: $1: $2; the last lines of $3:" >&2
  tail -n 40 "$3" >&2
}

for target in "${targets[@]}"; do
  binary=$build/bin/$target
  if [[ ! -x "$binary" ]]; then
    fail "$target" "no such fuzz target" /dev/null
    continue
  fi

  # 1. Regression replay: every committed corpus input and crash input, once.
  replay=()
  for dir in "$root/fuzz/corpus/$target" "$root/fuzz/regressions/$target"; do
    if [[ -d "$dir" ]]; then
      while IFS= read -r -d '' file; do replay+=("$file"); done \
        < <(find "$dir" -type f ! -name '*.md' -print0 | sort -z)
    fi
  done
  if ((${#replay[@]} > 0)); then
    log=$logs/$target-replay.log
    if ! "$binary" "${extra_flags[@]}" "${replay[@]}" >"$log" 2>&1; then
      fail "$target" "a committed input fails" "$log"
      continue
    fi
  fi

  # 2. Bounded fuzzing from the committed corpus and the fresh seeds; new
  # finds go to a scratch folder inside the build tree.
  if ((seconds > 0)); then
    work=$build/fuzz-work/$target
    artifacts=$build/fuzz-artifacts/$target
    mkdir -p "$work" "$artifacts"
    corpora=("$work")
    for dir in "$root/fuzz/corpus/$target" "$seeds/$target"; do
      if [[ -d "$dir" ]]; then corpora+=("$dir"); fi
    done
    log=$logs/$target.log
    if ! "$binary" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "${extra_flags[@]}" \
      "${corpora[@]}" >"$log" 2>&1; then
      fail "$target" "fuzzing found a fault (input saved in $artifacts/; copy it to fuzz/regressions/$target/)" "$log"
      continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    summary+=("$(printf '%-22s %12s runs  cov %s' "$target" "${runs:-?}" "${cov:-?}")")
  fi
  passed=$((passed + 1))
done

if ((${#summary[@]} > 0)); then
  printf '%s\n' "${summary[@]}"
fi
echo "fuzz: $passed passed, $failed failed"
((failed == 0))
