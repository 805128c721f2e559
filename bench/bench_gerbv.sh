#!/usr/bin/env bash
# Draws the 1,000,000-block RS-274X benchmark file (generate_gerber --rs274x,
# inch(2.4), coordinates within 11 inches) with its own aperture definitions
# by `mutaplot-cli render` onto the display benchmark's picture (20 x 11.25
# inches at 96 dpi = 1920 x 1080 pixels), and by `gerbv -x png` over the same
# window when gerbv is installed: CPU time (user + system, the fairer figure
# on a loaded machine), wall time and peak memory of each, best of RUNS. A
# render of a window far from the data (a tenth of an inch square) gives the
# fixed part: reading the file and walking it, with nothing drawn.
#
#   bench/bench_gerbv.sh [BIN_FOLDER] [RUNS]     (default build/bin, 3)
set -euo pipefail
bin=${1:-build/bin}
runs=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/generate_gerber" "$work/big.gbr" 1000000 --lf --rs274x --max 110000 >/dev/null

# Best CPU seconds of `runs` runs of the command; prints "cpu wall peakMB".
best() {
    local bestCpu="" line
    for ((k = 0; k < runs; ++k)); do
        /usr/bin/time -f "%U %S %e %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
            echo "failed: $*" >&2
            cat "$work/err" >&2
            exit 1
        }
        read -r user system seconds kilobytes <"$work/time"
        local cpu
        cpu=$(echo "$user + $system" | bc -l)
        if [[ -z $bestCpu ]] || (($(echo "$cpu < $bestCpu" | bc -l))); then
            bestCpu=$cpu
            line="$cpu $seconds $(echo "$kilobytes / 1024" | bc -l)"
        fi
    done
    echo "$line"
}
report() {
    read -r cpu wall mb <<<"$2"
    printf '%-34s %6.2f s cpu %6.2f s wall  peak %6.1f MB\n' "$1" "$cpu" "$wall" "$mb"
}

common=(--set inputSeparator=3 --dpi 96)
render=$(best "$bin/mutaplot-cli" render "${common[@]}" --size 20,11.25 "$work/big.gbr" "$work/r.png")
report "render 1920 x 1080, own apertures" "$render"
fixed=$(best "$bin/mutaplot-cli" render "${common[@]}" --size 0.1,0.1 --offset 50,50 "$work/big.gbr" "$work/f.png")
report "render, nothing in the window" "$fixed"
if command -v gerbv >/dev/null; then
    gerbv=$(best gerbv -x png -D 96 --origin=0x0 --window_inch=20x11.25 -o "$work/g.png" "$work/big.gbr")
    report "gerbv -x png, same window" "$gerbv"
    printf 'render / gerbv (cpu): %.2f\n' "$(echo "${render%% *} / ${gerbv%% *}" | bc -l)"
fi
