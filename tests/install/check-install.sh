#!/usr/bin/env bash
# Installs the build into a scratch prefix and uses it as a user of an
# installed system would: from another folder, with the prefix read-only,
# the data found in share/mutaplot, the user's settings in their own folder.
# Usage: check-install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
prefix="$scratch/prefix"
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/mutaplot bin/mutaplot-cli share/mutaplot/mutapl.ini share/mutaplot/fast.apt \
         share/mutaplot/head.lst share/mutaplot/head2.lst share/mutaplot/mutahlp.hlp \
         share/mutaplot/view.hlp share/mutaplot/samples/sample-board-mm.gbr \
         share/applications/mutaplot.desktop share/mime/packages/mutaplot.xml \
         share/icons/hicolor/scalable/apps/mutaplot.svg share/icons/hicolor/48x48/apps/mutaplot.png \
         share/man/man1/mutaplot.1 share/man/man1/mutaplot-cli.1; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
grep -qx 'Exec=mutaplot %f' "$prefix/share/applications/mutaplot.desktop" || fail "Exec line"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/mutaplot.desktop"
fi

chmod -R a-w "$prefix"
work="$scratch/work"
mkdir -p "$work" "$scratch/home"
cd "$work"
export HOME="$scratch/home" XDG_CONFIG_HOME=
cli="$prefix/bin/mutaplot-cli"
"$cli" --version | grep -qx 'mutaplot-cli [0-9.]*' || fail "--version"
# The installed defaults: settings and aperture list from share/mutaplot.
"$cli" convert --strict "$prefix/share/mutaplot/samples/sample-board-mm.gbr" out.gbr \
  || fail "convert with the installed settings"
[ -s out.gbr ] || fail "no output"
"$cli" render "$prefix/share/mutaplot/samples/sample-board-mm.gbr" out.png 2>err.txt \
  || fail "render with the installed aperture list: $(cat err.txt)"
# The user's settings, once there, win over the installed ones.
mkdir -p "$HOME/.config/mutaplot"
sed 's/^8\r$/7\r/' "$prefix/share/mutaplot/mutapl.ini" > "$HOME/.config/mutaplot/mutapl.ini"
printf 'X1Y1D02*\r\n' > in.gbr
"$cli" blocks in.gbr >/dev/null || fail "blocks with the user's settings"
rm -f "$HOME/.config/mutaplot/mutapl.ini"
printf 'broken' > "$HOME/.config/mutaplot/mutapl.ini"
"$cli" blocks in.gbr >/dev/null 2>err.txt || true
grep -q '起動に必要なファイル' err.txt || fail "the user's settings file was not read"
echo "check-install: ok"
