#!/usr/bin/env bash
# Gives the scratch Wine prefix the two font families the toolkit asks for by name, "微软雅黑"
# and "宋体", so that Chinese text drawn through GDI+ is legible in tests and screenshots.
#
# Wine has neither family. GDI+ under Wine looks names up only among the families GDI enumerates,
# under the name GDI reports for the user's language, so a substitute entry is not enough and a
# renamed copy must carry the new name in every one of its name records (a copy that still says
# "文泉驿微米黑" in its Chinese records merges into the original family). The copies are made
# from WenQuanYi Micro Hei (Debian package fonts-wqy-microhei) with fontTools (python3-fonttools)
# and put into the prefix's Fonts folder. Wine loads every font file of that folder when a process
# starts (measured with Wine 8: a copy resolves in GDI+ without any registry entry and stops
# resolving when the file is taken away), so no Wine process and no wineserver is needed here.
#
# Called by wine-session.sh when it creates a prefix; safe to run again on an existing one.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

source_font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
fonts_dir=$WINEPREFIX/drive_c/windows/Fonts
[ -f "$source_font" ] || { echo "wine-fonts: $source_font missing (fonts-wqy-microhei)" >&2; exit 1; }
[ -d "$fonts_dir" ] || { echo "wine-fonts: no prefix at $WINEPREFIX" >&2; exit 1; }

# file name | family name (every language) | PostScript name
families=(
  "msyh.ttf|微软雅黑|MicrosoftYaHei"
  "simsun.ttf|宋体|SimSun"
)

for entry in "${families[@]}"; do
  IFS='|' read -r file family postscript <<<"$entry"
  [ -f "$fonts_dir/$file" ] && continue
  /usr/bin/python3 - "$source_font" "$fonts_dir/$file" "$family" "$postscript" <<'PY'
import sys
from fontTools.ttLib import TTCollection

source, target, family, postscript = sys.argv[1:5]
font = TTCollection(source).fonts[0]  # the proportional face; index 1 is the monospaced one
names = font["name"]
languages = sorted({r.langID for r in names.names if r.platformID == 3} | {0x409, 0x804})
# Drop every old naming record (Macintosh ones cannot hold the Chinese name anyway) and write the
# new family for every Windows language the font had, plus English and Simplified Chinese.
names.names = []
for language in languages:
    names.setName(family, 1, 3, 1, language)
    names.setName("Regular", 2, 3, 1, language)
    names.setName(family + " Regular", 3, 3, 1, language)
    names.setName(family, 4, 3, 1, language)
    names.setName(postscript, 6, 3, 1, language)
font.save(target)
PY
done

echo "wine-fonts: 微软雅黑 and 宋体 installed in $fonts_dir"
