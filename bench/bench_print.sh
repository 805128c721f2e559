#!/usr/bin/env bash
# Prints the 1,000,000-block benchmark file (generate_gerber, inch(2.4) over
# 90 x 90 inches) on one A4 page into a PDF with `mutaplot-cli print`, and
# draws the same file at the same scale with `mutaplot-cli render`, in the
# same run: wall and CPU time and peak memory of each command, and the
# output sizes (CPU time is the fairer figure on a loaded machine).
#
#   bench/bench_print.sh [BIN_FOLDER]     (default build/bin)
set -euo pipefail
bin=${1:-build/bin}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/generate_gerber" "$work/big.gbr" 1000000 >/dev/null
# A zoom that puts the whole board on the page (90 in x 0.09 = 8.1 in).
common=(--set inputFormat=8 --zoom 0.09)

measure() {
    local label=$1 output=$2
    shift 2
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
        echo "$label failed:" >&2
        cat "$work/err" >&2
        exit 1
    }
    read -r seconds user system kilobytes <"$work/time"
    printf '%-26s %6.2f s wall %6.2f s cpu  peak %6.1f MB  output %6.1f MB\n' "$label" "$seconds" \
        "$(echo "$user + $system" | bc -l)" "$(echo "$kilobytes / 1024" | bc -l)" "$(echo "$(stat -c %s "$output") / 1048576" | bc -l)"
}

echo "input: $(stat -c %s "$work/big.gbr") bytes, 1000000 blocks"
measure "print A4 PDF (1200 dpi)" "$work/p.pdf" \
    "$bin/mutaplot-cli" print "${common[@]}" "$work/big.gbr" "$work/p.pdf"
measure "print A4 PDF negative" "$work/n.pdf" \
    "$bin/mutaplot-cli" print "${common[@]}" --negative "$work/big.gbr" "$work/n.pdf"
measure "render A4 PNG 96 dpi" "$work/r96.png" \
    "$bin/mutaplot-cli" render "${common[@]}" --size 8.27,11.69 --dpi 96 "$work/big.gbr" "$work/r96.png"
measure "render A4 PNG 300 dpi" "$work/r300.png" \
    "$bin/mutaplot-cli" render "${common[@]}" --size 8.27,11.69 --dpi 300 "$work/big.gbr" "$work/r300.png"
