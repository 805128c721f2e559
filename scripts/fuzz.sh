#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehavior-
# Sanitizer) into ./build-fuzz and runs one of them.
#
#   scripts/fuzz.sh                     list the targets
#   scripts/fuzz.sh TARGET [SECONDS] [extra libFuzzer options...]
#   scripts/fuzz.sh all [SECONDS]       every target, one after another
#
# The corpus grows in fuzz-corpus/TARGET (seeded from fuzz/seeds/TARGET when
# that folder exists); crashes are written as fuzz-corpus/TARGET-crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."

CXX="${CXX:-clang++}" cmake -S . -B build-fuzz -DMUTAPLOT_FUZZ=ON >/dev/null
cmake --build build-fuzz -j2 >/dev/null

if [[ $# -lt 1 ]]; then
  echo "targets:"
  for f in fuzz/fuzz_*.cpp; do basename "$f" .cpp; done
  exit 0
fi

if [[ "$1" == all ]]; then
  status=0
  for f in fuzz/fuzz_*.cpp; do
    "$0" "$(basename "$f" .cpp)" "${2:-60}" || status=1
  done
  exit "$status"
fi

target="$1"
seconds="${2:-60}"
shift $(( $# >= 2 ? 2 : 1 ))
binary="build-fuzz/bin/$target"
if [[ ! -x "$binary" ]]; then
  echo "no fuzz target $target (see fuzz/*.cpp)" >&2
  exit 2
fi

corpus="fuzz-corpus/$target"
mkdir -p "$corpus"
seeds=()
[[ -d "fuzz/seeds/$target" ]] && seeds=("fuzz/seeds/$target")

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
exec "$binary" "$corpus" "${seeds[@]}" -max_total_time="$seconds" \
  -artifact_prefix="fuzz-corpus/$target-" -print_final_stats=1 "$@"
