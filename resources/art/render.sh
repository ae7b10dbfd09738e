#!/usr/bin/env bash
# Remakes the theme's PNG art from its sources: make_art.py writes the SVG
# files, rsvg-convert (Debian's librsvg2-bin, installed here when missing)
# renders them. The build and the tests use the committed PNG files only.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
theme=$here/../themes/default

if ! command -v rsvg-convert >/dev/null; then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get install -y -q --no-install-recommends librsvg2-bin fonts-dejavu-core fonts-wqy-microhei
fi

python3 "$here/make_art.py"

render() {  # render SVG-NAME TARGET
  mkdir -p "$(dirname "$2")"
  rsvg-convert --format=png --output="$2" "$here/svg/$1.svg"
}

render launcher_bg "$theme/cef/launcher_bg.png"
for glyph in close min max restore; do
  render "$glyph" "$theme/public/caption/$glyph.png"
done
for glyph in back forward refresh devtool; do
  render "$glyph" "$theme/cef/toolbar_$glyph.png"
done
render emblem "$theme/cef/emblem.png"
render emblem_large "$theme/cef/emblem_large.png"
echo "art rendered into $theme"
