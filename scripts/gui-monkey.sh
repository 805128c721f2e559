#!/usr/bin/env bash
# Long random walks over the windows (tests/monkey), offscreen, over many
# seeds: in ./build and, when it has been configured, in ./build-asan
# (AddressSanitizer + UndefinedBehaviorSanitizer).
#
#   scripts/gui-monkey.sh [SEEDS] [STEPS]      default 20 seeds of 20000 steps
#
# MUTAPLOT_MONKEY_FIRST_SEED (default 1) is the first seed; the seeds follow
# it. MUTAPLOT_MONKEY_BUILDS names the build folders to use instead. Each run's output is kept in build*/monkey-logs/seed-N.log when it
# fails; the summary names every failed seed and how to replay it.
set -euo pipefail
cd "$(dirname "$0")/.."

seeds="${1:-20}"
steps="${2:-20000}"
first="${MUTAPLOT_MONKEY_FIRST_SEED:-1}"

# MUTAPLOT_MONKEY_BUILDS chooses the build folders ("build build-asan").
if [[ -n "${MUTAPLOT_MONKEY_BUILDS:-}" ]]; then
  read -r -a builds <<<"$MUTAPLOT_MONKEY_BUILDS"
else
  [[ -f build/CMakeCache.txt ]] || scripts/build.sh >/dev/null
  builds=(build)
  [[ -f build-asan/CMakeCache.txt ]] && builds+=(build-asan)
fi

for b in "${builds[@]}"; do
  cmake --build "$b" --target test_monkey -j"$(nproc)" >/dev/null
done

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Leaks inside the font configuration library are none of ours: the
# repository's leak suppression file is used when there is one.
if [[ -z "${LSAN_OPTIONS:-}" ]]; then
  supp="$(find . -path ./build\* -prune -o -name '*.supp' -print 2>/dev/null | grep -i -m1 'lsan\|leak' || true)"
  if [[ -z "$supp" ]]; then
    # None yet: the same one suppression in a temporary file.
    supp="$(mktemp)"
    trap 'rm -f "$supp"' EXIT
    echo "leak:libfontconfig.so" >"$supp"
  fi
  export LSAN_OPTIONS="suppressions=$(realpath "$supp"):print_suppressions=0"
fi
export MUTAPLOT_MONKEY_STEPS="$steps"

failed=()
runs=0
start=$SECONDS
for b in "${builds[@]}"; do
  logs="$b/monkey-logs"
  mkdir -p "$logs"
  # A generous limit per run: the walk's own watchdog reports a hang first.
  limit=$(( 120 + steps / 20 ))
  [[ "$b" == build-asan ]] && limit=$(( limit * 4 ))
  for (( seed = first; seed < first + seeds; seed++ )); do
    log="$logs/seed-$seed.log"
    runs=$((runs + 1))
    if MUTAPLOT_MONKEY_SEED="$seed" timeout "$limit" "$b/bin/test_monkey" >"$log" 2>&1; then
      rm -f "$log"
      echo "$b seed $seed: ok"
    else
      status=$?
      echo "$b seed $seed: FAILED (exit $status), see $log"
      failed+=("$b seed $seed")
    fi
  done
done

echo "GUI monkey: $runs runs of $steps steps per walk (2 walks per run) in $((SECONDS - start)) s;" \
  "${#failed[@]} failed"
if (( ${#failed[@]} > 0 )); then
  printf '  %s\n' "${failed[@]}"
  echo "replay: MUTAPLOT_MONKEY_SEED=N MUTAPLOT_MONKEY_STEPS=$steps QT_QPA_PLATFORM=offscreen BUILD/bin/test_monkey"
  exit 1
fi
