#!/bin/bash
# Fails, listing them, when a Tr("...") text of src/cli has no Ukrainian translation in po/uk.po
# (scripts/update-translations.sh adds the new ones there to be translated).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$root"
find src/cli -name '*.cpp' -o -name '*.h' | LC_ALL=C sort |
    xgettext --files-from=- --language=C++ --keyword=Tr --from-code=UTF-8 --omit-header \
        -o "$work/texts.pot"
msgmerge --quiet --no-fuzzy-matching -o "$work/uk.po" po/uk.po "$work/texts.pot"
# Each list opens with the catalogue's header: the texts are what follows its first blank line.
missing=$({
    msgattrib --untranslated --no-obsolete --no-wrap "$work/uk.po" | sed '1,/^$/d'
    msgattrib --only-fuzzy --no-obsolete --no-wrap "$work/uk.po" | sed '1,/^$/d'
} | grep -v '^msgstr\|^#' || true)
if [ -n "$missing" ]; then
    echo "velor-flash texts without a Ukrainian translation in po/uk.po" \
         "(run scripts/update-translations.sh, then translate them):" >&2
    echo "$missing" >&2
    exit 1
fi
echo "check-translations: every text of src/cli has its Ukrainian translation"
