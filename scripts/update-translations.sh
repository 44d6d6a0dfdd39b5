#!/bin/bash
# Brings po/ up to velor-flash's texts: every Tr("...") of src/cli into po/velor-flash.pot (the
# English base), then into po/uk.po, where new texts wait with an empty translation. Translate
# them there (msgstr), then rebuild: the catalogue is compiled into the program.
set -euo pipefail
cd "$(dirname "$0")/.."
find src/cli -name '*.cpp' -o -name '*.h' | LC_ALL=C sort |
    xgettext --files-from=- --language=C++ --keyword=Tr --from-code=UTF-8 --add-location=file \
        --package-name=velor-flash --msgid-bugs-address=maintainers@users.noreply.c-seed-3192225d.example \
        --omit-header -o po/velor-flash.pot
msgmerge --quiet --update --backup=none --no-fuzzy-matching --add-location=file po/uk.po \
    po/velor-flash.pot
echo "po/uk.po: $(msgattrib --untranslated --no-obsolete po/uk.po | grep -c '^msgid' || true) texts to translate"
