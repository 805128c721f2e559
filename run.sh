#!/usr/bin/env bash
# Installs what Mutaplot needs, builds it and starts the main window.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
exec build/bin/mutaplot "$@"
