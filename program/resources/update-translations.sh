#!/usr/bin/env bash
# Refreshes the translation sources from the program's code and forms.
# English is the language the texts are written in: its file carries every
# text translated as itself, so that a user can start a new language from it.
#
#   ./program/resources/update-translations.sh     (from any folder)
#
# Run it after pages or their texts change, and commit brantor_en.ts. It needs
# lupdate of Qt 6 (Debian: qt6-l10n-tools); LUPDATE names another one.
set -euo pipefail
case "${1:-}" in
  -h|--help) sed -n '2,/^set -euo/{/^#/!q;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
  "") ;;
  *) echo "update-translations.sh: takes no arguments (--help)" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
if [ ! -x "$lupdate" ]; then
  echo "update-translations.sh: $lupdate not found (install qt6-l10n-tools, or set LUPDATE)" >&2
  exit 1
fi
"$lupdate" -silent -I .. -no-obsolete -locations none -source-language en -target-language en \
  $(find . -name '*.cpp' -o -name '*.h' -o -name '*.ui' | grep -v '^./resources/' | sort) \
  -ts resources/brantor_en.ts
python3 - resources/brantor_en.ts <<'PY'
import sys
import xml.etree.ElementTree as ET
path = sys.argv[1]
tree = ET.parse(path)
for message in tree.iter("message"):
    source = message.find("source")
    translation = message.find("translation")
    if translation is None:
        translation = ET.SubElement(message, "translation")
    if message.get("numerus") == "yes":
        continue
    translation.text = source.text
    translation.attrib.pop("type", None)
tree.write(path, encoding="utf-8", xml_declaration=True)
with open(path, "rb") as f:
    data = f.read()
if not data.endswith(b"\n"):
    with open(path, "ab") as f:
        f.write(b"\n")
print("program/%s: %d texts" % (path, sum(1 for _ in tree.iter("message"))))
PY
