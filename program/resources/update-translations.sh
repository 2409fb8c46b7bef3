#!/usr/bin/env bash
# Refreshes the translation sources from the program's code and forms.
# English is the language the texts are written in: its file carries every
# text translated as itself, so that a user can start a new language from it.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
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
PY
