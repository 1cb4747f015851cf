#!/bin/bash
# Every catalogue in PO_DIR (po/ by default) against the template: each language of LINGUAS
# has its catalogue and every catalogue is listed; no message of the template is missing,
# untranslated or fuzzy, none is obsolete or unknown to the template; formats and access keys
# agree with the game's own texts (msgfmt --check); German calls no pad button a key; and
# i18nspector finds nothing.
# The catalogues' addresses are at the project's own reserved domain, which i18nspector
# calls invalid; those three tags alone are let through.
set -u
po_dir=${1:-po}
template=$po_dir/vektrion.pot
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

languages=$(grep -v '^#' "$po_dir/LINGUAS")
for catalogue in "$po_dir"/*.po; do
  grep -qx "$(basename "$catalogue" .po)" <<<"$languages" || fail "$catalogue is not in LINGUAS"
done
for language in $languages; do
  catalogue=$po_dir/$language.po
  [ -f "$catalogue" ] || { fail "$language is in LINGUAS but has no catalogue"; continue; }
  msgcmp "$catalogue" "$template" >/dev/null 2>&1 || fail "$catalogue lacks or leaves untranslated messages of the template: $(msgcmp "$catalogue" "$template" 2>&1 | head -3)"
  [ -z "$(msgattrib --only-fuzzy "$catalogue")" ] || fail "$catalogue has fuzzy messages"
  [ -z "$(msgattrib --untranslated --no-obsolete "$catalogue")" ] || fail "$catalogue has untranslated messages"
  [ -z "$(msgattrib --only-obsolete "$catalogue")" ] || fail "$catalogue has obsolete messages"
  [ -z "$(msgmerge -q "$catalogue" "$template" | msgattrib --only-obsolete)" ] ||
    fail "$catalogue has messages that the template does not"
  msgfmt --check --check-accelerators='&' -o /dev/null "$catalogue" || fail "$catalogue: msgfmt --check"
done

# German keeps two words apart: "Taste" is a key of the keyboard, a pad's button is "Knopf".
if [ -f "$po_dir/de.po" ]; then
  keys=$(msggrep --no-wrap -K -e '[Bb]otón' -e '[Bb]utton' "$po_dir/de.po" | grep '^msgstr' | grep -i 'taste')
  [ -z "$keys" ] || fail "$po_dir/de.po calls a pad's button a key (Taste): $keys"
fi

found=$(i18nspector "$po_dir"/*.po 2>&1 |
  grep -Ev ': (invalid-report-msgid-bugs-to|invalid-last-translator|invalid-language-team) .*vektrion\.example')
[ -z "$found" ] || fail "i18nspector: $found"

checked=$(wc -w <<<"$languages")
echo "$((checked - failures < 0 ? 0 : checked)) catalogues checked, $failures failed"
[ "$failures" -eq 0 ]
