#!/usr/bin/env bash
# Runs every example program through mosaiq-run and checks the outcome that examples/expected.txt
# records: the summary line, every cell of the strip left behind (the listed cells hold the listed
# codes, all others the codes of the program file), and the file format of that strip. Also checks
# that examples/README.md, expected.txt and the .mq files agree: every program file is described
# and expected, and the end, steps and passes the README states are the ones the run gives.
#
# Usage: test_examples.sh MOSAIQ_RUN EXAMPLES_DIR
set -uo pipefail

runner=$1
dir=$2
failures=0
checked=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

trim() {
    local s=$1
    s=${s#"${s%%[![:space:]]*}"}
    s=${s%"${s##*[![:space:]]}"}
    printf '%s' "$s"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# codes FILE: the 1024 codes of a program file, one per line, line ends stripped.
codes() { tr -d '\r' <"$1"; }

# --- expected.txt: run each entry -------------------------------------------------------------
declare -A expectedEnd     # "file|options" -> end reason
declare -A expectedSummary # "file|options" -> the runner's summary line
while IFS= read -r line || [ -n "$line" ]; do
    [[ -z "$(trim "$line")" || "$line" == \#* ]] && continue
    IFS='|' read -r file options summary cells extra <<<"$line"
    file=$(trim "$file")
    options=$(trim "$options")
    summary=$(trim "$summary")
    cells=$(trim "${cells:-}")
    if [ -n "${extra:-}" ] || [ -z "$summary" ]; then
        fail "expected.txt: malformed entry: $line"
        continue
    fi
    name="$file${options:+ $options}"
    program=$dir/$file
    if [ ! -f "$program" ]; then
        fail "$name: no such program file"
        continue
    fi
    expectedEnd["$file|$options"]=${summary##*end=}
    expectedSummary["$file|$options"]=$summary

    # A program that runs until stopped must be given a budget, and end by it.
    if [[ "$summary" == *end=steps* && "$options" != *--steps* ]]; then
        fail "$name: ends by steps but is run without --steps"
    fi

    out=$tmp/out.mq
    rm -f "$out"
    # shellcheck disable=SC2086 # the options are words
    if ! timeout 60 "$runner" $options --out "$out" "$program" 2>"$tmp/err"; then
        fail "$name: mosaiq-run failed: $(cat "$tmp/err")"
        continue
    fi
    got=$(cat "$tmp/err")
    [ "$got" == "$summary" ] || fail "$name: summary '$got', expected '$summary'"
    if [ ! -f "$out" ]; then
        fail "$name: mosaiq-run wrote no strip"
        continue
    fi

    # The strip left behind is a well-formed program file.
    size=$(wc -c <"$out")
    [ "$size" -eq 4096 ] || fail "$name: output is $size bytes, not 4096"
    bad=$(LC_ALL=C grep -c -v $'^[0-9A-F][0-9A-F]\r$' "$out")
    [ "$bad" -eq 0 ] || fail "$name: $bad output lines are not two upper-case hex digits and CR LF"

    mapfile -t before < <(codes "$program")
    mapfile -t after < <(codes "$out")
    if [ ${#before[@]} -ne 1024 ] || [ ${#after[@]} -ne 1024 ]; then
        fail "$name: strips of ${#before[@]} and ${#after[@]} lines, not 1024"
        continue
    fi
    want=("${before[@]}")
    for pair in $cells; do
        cell=${pair%%=*}
        code=${pair#*=}
        if ! [[ "$cell" =~ ^[0-9]+$ && "$code" =~ ^[0-9A-F][0-9A-F]$ ]] ||
            ((cell < 1 || cell > 1024)); then
            fail "$name: bad cell entry '$pair'"
            continue
        fi
        want[cell - 1]=$code
    done
    for ((i = 0; i < 1024; i++)); do
        if [ "${after[i]}" != "${want[i]}" ]; then
            fail "$name: cell $((i + 1)) is ${after[i]}, expected ${want[i]}"
        fi
    done
    checked=$((checked + 1))
done <"$dir/expected.txt"

# --- README.md: every row is expected, with the same end --------------------------------------
declare -A described # file -> 1
rows=0
while IFS= read -r line; do
    [[ "$line" =~ ^\|\ *\`([^\`]+\.mq)\`\ *\|([^|]*)\|([^|]*)\| ]] || continue
    file=${BASH_REMATCH[1]}
    options=$(trim "${BASH_REMATCH[2]}")
    options=${options//\`/}
    end=$(trim "${BASH_REMATCH[3]}")
    described["$file"]=1
    rows=$((rows + 1))
    key="$file|$options"
    if [ -z "${expectedEnd[$key]+set}" ]; then
        fail "README.md: $file${options:+ $options} has no entry in expected.txt"
    elif [ "${expectedEnd[$key]}" != "$end" ]; then
        fail "README.md: $file${options:+ $options} says it ends by '$end', expected.txt by '${expectedEnd[$key]}'"
    fi
    # The figures a row quotes are the runner's: "after N steps", "N passes".
    for figure in "after ([0-9]+) steps:steps" "([0-9]+) passes:passes"; do
        [[ "$line" =~ ${figure%:*} ]] || continue
        [[ " ${expectedSummary[$key]-} " == *" ${figure#*:}=${BASH_REMATCH[1]} "* ]] ||
            fail "README.md: $file says ${BASH_REMATCH[0]}, the runner '${expectedSummary[$key]-}'"
    done
done <"$dir/README.md"

for key in "${!expectedEnd[@]}"; do
    file=${key%%|*}
    [ -n "${described[$file]+set}" ] || fail "expected.txt: $file is not described in README.md"
done

for program in "$dir"/*.mq; do
    file=${program##*/}
    [ -n "${described[$file]+set}" ] || fail "$file is not described in README.md"
done

# A suite that checked almost nothing has not shown anything.
((checked >= 8)) || fail "only $checked example runs checked"
((rows >= 8)) || fail "only $rows examples described in README.md"

echo "$checked example runs checked, $rows README rows, $failures failures"
[ "$failures" -eq 0 ]
