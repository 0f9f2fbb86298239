#!/bin/sh
# Regenerates every archive source under assets/, and the desktop icons drawn from them, with the
# generators in tools/gen_*.
# Needs /usr/bin/python3 with python3-pil and the DejaVu fonts; the game build does not.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
py=/usr/bin/python3
$py "$root/tools/gen_art/gen_art.py" "$root/assets/images"
$py "$root/tools/gen_art/check_sizes.py" "$root/assets/images"
$py "$root/tools/gen_sfx/gen_sfx.py" "$root/assets/sfx"
$py "$root/tools/gen_music/gen_music.py" "$root/assets/music/zorbit.mod"
$py "$root/tools/gen_desktop/gen_icons.py" "$root/assets/images" "$root/packaging/icons"
echo "Regenerated. Texts under assets/text/ are written by hand."
