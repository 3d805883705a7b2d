#!/usr/bin/env bash
# Runs every example program through mosaiq-run and checks what examples/expected.txt records: the
# exit status (3 when the step budget ended the run, else 0), the summary line, and the strip left
# behind, byte for byte: the program file with the listed cells changed. Every program file must
# be described in examples/README.md with the end expected.txt gives it.
#
# Usage: test_examples.sh MOSAIQ_RUN EXAMPLES_DIR
set -uo pipefail
runner=$1
dir=$2
failures=0
checked=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

while IFS='|' read -r file options summary cells; do
    [[ "$file" =~ ^[[:space:]]*(#|$) ]] && continue
    for field in file options summary; do read -r "$field" <<<"${!field}"; done # trimmed
    name="$file${options:+ $options}"
    # shellcheck disable=SC2086 # the options are words
    err=$(timeout 60 "$runner" $options --out "$tmp/out" "$dir/$file" 2>&1)
    status=$?
    [[ "$summary" == *end=steps ]] && want=3 || want=0
    [ "$status" -eq "$want" ] || fail "$name: exit status $status, not $want: $err"
    [ "$err" == "$summary" ] || fail "$name: summary '$err', not '$summary'"
    cp "$dir/$file" "$tmp/want"
    for pair in $cells; do
        sed -i "${pair%%=*}s/.*/${pair#*=}\r/" "$tmp/want"
    done
    cmp -s "$tmp/out" "$tmp/want" || fail "$name: the strip left behind differs: $(cmp "$tmp/out" "$tmp/want" 2>&1)"
    grep -qE "^\| \`$file\` \| \`?${options}\`? *\| ${summary##*end=} \|" "$dir/README.md" ||
        fail "$name: README.md does not say it ends by ${summary##*end=}"
    checked=$((checked + 1))
done <"$dir/expected.txt"

for program in "$dir"/*.mq; do
    grep -q "^| \`${program##*/}\`" "$dir/README.md" || fail "${program##*/} is not described in README.md"
done
# A suite that checked almost nothing has not shown anything.
((checked >= 8)) || fail "only $checked example runs checked"
echo "$checked example runs checked, $failures failures"
[ "$failures" -eq 0 ]
