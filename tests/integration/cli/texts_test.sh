#!/bin/bash
# velor-flash's texts: the manual pages name every command and option that --help names, and
# the program's own texts follow the operator's language while the device's stay as they are.
# Usage: texts_test.sh VELOR_FLASH FLASH_MANPAGE VELOR_DEVSIM DEVSIM_MANPAGE
set -uo pipefail
flash=$1 flash_man=$2 devsim=$3 devsim_man=$4
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The page as text with roff's escaped hyphens plain, to search for option names.
page_words() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$1"; }

# Every --long and -s name in the option rows of a help text (rows start with two spaces).
help_options() { grep -E '^  +-' | grep -oE '(^|[ ,])--?[a-zA-Z][a-zA-Z0-9-]*' | tr -d ' ,' | sort -u; }

flash_page=$(page_words "$flash_man")
commands=$(LANGUAGE=en "$flash" --help | sed -n '/^Commands:/,/^$/p' | grep -oE '^  [a-z]+' | tr -d ' ')
[ -n "$commands" ] || fail "velor-flash --help lists no commands"
for command in $commands; do
    grep -qE "^\.SS $command\$" "$flash_man" || fail "man velor-flash has no section for '$command'"
    for option in $(LANGUAGE=en "$flash" "$command" --help | help_options); do
        grep -qF -- "$option" <<<"$flash_page" ||
            fail "velor-flash $command --help has $option, man velor-flash does not"
    done
done
# The write to several ports has its own table; --ports picks it.
for option in --ports --all; do
    grep -qF -- "$option" <<<"$flash_page" || fail "man velor-flash lacks $option"
done

devsim_page=$(page_words "$devsim_man")
for option in $("$devsim" --help | help_options); do
    grep -qF -- "$option" <<<"$devsim_page" ||
        fail "velor-devsim --help has $option, man velor-devsim does not"
done

# The roff itself is clean: no warnings from the formatter, as lintian would see them.
for page in "$flash_man" "$devsim_man"; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done

# Detect and reset do not describe the write's progress line.
for command in detect reset; do
    LANGUAGE=en "$flash" "$command" --help | grep -q "progress line" &&
        fail "velor-flash $command --help describes a write's progress"
done

# The operator's language: Ukrainian by LANGUAGE or LC_ALL, English for C and en.
expect() {  # expect WHAT PATTERN TEXT
    grep -qF -- "$2" <<<"$3" || fail "$1: no '$2' in: $3"
}
for setting in LANGUAGE=uk LC_ALL=uk_UA.UTF-8 LANG=uk_UA.UTF-8; do
    help=$(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG "$setting" "$flash" --help)
    expect "$setting velor-flash --help" "Команди:" "$help"
    expect "$setting velor-flash --help" "скинути прилад" "$help"
    usage=$(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG "$setting" "$flash" write --prot x 2>&1)
    expect "$setting usage error" "невідомий параметр '--prot', можливо, ви мали на увазі '--port'?" "$usage"
    help=$(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG "$setting" "$flash" write --help)
    expect "$setting write --help" "Використання: velor-flash write" "$help"
done
for setting in LANGUAGE=en LC_ALL=C LANG=en_GB.UTF-8 "LANGUAGE=en:uk LANG=uk_UA.UTF-8"; do
    help=$(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG $setting "$flash" --help)
    expect "$setting velor-flash --help" "Commands:" "$help"
    usage=$(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG $setting "$flash" write --prot x 2>&1)
    expect "$setting usage error" "unknown option '--prot', did you mean '--port'?" "$usage"
done
# The system's message of a refused HEX text stays Ukrainian (Cyrillic: UTF-8 lead bytes D0, D1)
# in English.
empty=$(mktemp)
printf 'not a hex text\n' >"$empty"
refused=$(LANGUAGE=en "$flash" check "$empty" 2>&1)
rm -f "$empty"
LC_ALL=C grep -q $'[\xd0\xd1]' <<<"$refused" || fail "check's refusal lost the system's words: $refused"

[ "$failures" -eq 0 ] && echo "texts_test: all passed"
exit $((failures > 0))
