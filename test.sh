#!/usr/bin/env bash
# Installs what Mutaplot needs, builds it and runs every test: once in the
# normal build (./build) and once under AddressSanitizer + UndefinedBehavior-
# Sanitizer (./build-asan). Any sanitizer report, in a test or in a command it
# starts, fails the run.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"

scripts/build-sanitize.sh
# Every report is also written to build-asan/sanitizer-logs/, so that a report
# of a child process whose exit status a test does not look at still counts.
logs="$PWD/build-asan/sanitizer-logs"
rm -rf "$logs" && mkdir -p "$logs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:log_path=$logs/asan"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$logs/ubsan"
status=0
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" || status=$?
if compgen -G "$logs/*" >/dev/null; then
  echo "Sanitizer reports:" >&2
  cat "$logs"/* >&2
  status=1
fi
exit "$status"
