#!/usr/bin/env bash
# Checks the release package as a user gets it: its files, and the Japanese read-me opened in
# Notepad (UTF-8 with a byte-order mark, CRLF line ends) quoting only texts the program shows.
# Usage: scripts/check-package.sh build/Kestrum-<version>-win64.zip
set -euo pipefail
cd "$(dirname "$0")/.."
zip=$(realpath "$1")
fail() { echo "package: $*" >&2; exit 1; }

expected="Kestrum.exe
README-en.md
README.txt
sample/Kestrum.INI
screenshots/launcher-group-selected.png
screenshots/launcher-typed.png
screenshots/options-appearance-page.png
screenshots/options-files-page.png"
listed=$(cmake -E tar tf "$zip" | grep -v '/$' | LC_ALL=C sort)
[ "$listed" = "$(LC_ALL=C sort <<<"$expected")" ] || fail "files are
$listed"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$zip")
readme=$work/README.txt
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README.txt has no UTF-8 byte-order mark"
iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null || fail "README.txt is not valid UTF-8"
if LC_ALL=C grep -q $'[^\r]$' "$readme" || [ -n "$(tail -c 1 "$readme" | tr -d '\n')" ]; then
  fail "README.txt has a line that does not end in CRLF"
fi
version=$(sed -n 's/^project(Kestrum VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
grep -q "バージョン $version" "$readme" || fail "README.txt does not name version $version"
grep -q "^Version $version, released" "$work/README-en.md" || fail "README-en.md does not name version $version"

# 「…」 quotes the program's own texts: each must be in its sources as it stands.
missing=0
while IFS= read -r quoted; do
  text=${quoted#「}
  text=${text%」}
  grep -rqF -- "$text" src || { echo "package: README.txt quotes 「$text」, which the program never shows" >&2; missing=1; }
done < <(tr -d '\r' <"$readme" | grep -o '「[^」]*」' | sort -u)
[ $missing = 0 ] || exit 1
echo "package: $(basename "$zip") holds the read-mes and screenshots as expected"
