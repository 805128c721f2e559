#!/usr/bin/env bash
# Configures and builds Mutaplot with AddressSanitizer + UndefinedBehavior-
# Sanitizer into ./build-asan (core, both executables, every test; no
# benchmarks). ./test.sh runs the whole suite there too.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMUTAPLOT_SANITIZE=ON -DMUTAPLOT_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
