#!/usr/bin/env bash
# scripts/doc-tables: the docs' tables are those their pictures' data give,
# and a table that differs from its data, or data that is missing, fails the
# check. First the repository's own docs, then made-up data in a scratch
# copy of the layout (scripts/, docs/).
#   doc_tables_test.sh SCRIPT
set -euo pipefail
script=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

"$script" --check || fail "the docs' tables differ from their pictures' data (scripts/doc-tables)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/docs"
cp "$script" "$work/scripts/doc-tables"
cat >"$work/docs/voxel-speed.dat" <<'DATA'
# machine: Test CPU (family 1), 2 cores
# load average: 0.50 0.40 0.30
# columns: whatever
"8" 0.720 0.159 0.123 - 0.047 4.52 5.83 - 15.24
"16-555" 0.709 0.162 0.117 0.082 0.048 4.38 6.06 8.67 14.78
DATA
cat >"$work/docs/page.md" <<'PAGE'
Text before.

<!-- table:voxel-speed -->
an old table
<!-- end table -->

Text after.
PAGE
"$work/scripts/doc-tables" --check "$work/docs/page.md" 2>"$work/err" && fail "an old table passed the check"
grep -q "page.md: a table differs" "$work/err" || fail "the check did not name the file: $(cat "$work/err")"
[ "$(cat "$work/docs/page.md" | sed -n 4p)" = "an old table" ] || fail "--check changed the file"

"$work/scripts/doc-tables" "$work/docs/page.md" >/dev/null
expected='Text before.

<!-- table:voxel-speed -->
From the run of `scripts/plot-benchmarks` that drew the picture (Test CPU (family 1), 2 cores; load average 0.50 0.40 0.30):

| depth (bits) | standard | vector (4 lanes) | avx2 (8 lanes) | avx512 (16 lanes) | fastest on all cores |
|---|---|---|---|---|---|
| 8 | 0.720 ms | 0.159 ms (4.52x) | 0.123 ms (5.83x) | - | 0.047 ms (15.24x) |
| 16-555 | 0.709 ms | 0.162 ms (4.38x) | 0.117 ms (6.06x) | 0.082 ms (8.67x) | 0.048 ms (14.78x) |

(ms a frame; in brackets how many times as fast as the standard renderer, the median of the rounds'"'"' ratios)
<!-- end table -->

Text after.'
[ "$(cat "$work/docs/page.md")" = "$expected" ] || fail "the written table: $(diff <(echo "$expected") "$work/docs/page.md")"
"$work/scripts/doc-tables" --check "$work/docs/page.md" || fail "the table just written fails the check"

# one figure changed in the table, then in the data
sed -i 's/0.082 ms/0.083 ms/' "$work/docs/page.md"
"$work/scripts/doc-tables" --check "$work/docs/page.md" 2>/dev/null && fail "a changed figure in the table passed"
"$work/scripts/doc-tables" "$work/docs/page.md" >/dev/null
sed -i 's/ 0.709 / 0.710 /' "$work/docs/voxel-speed.dat"
"$work/scripts/doc-tables" --check "$work/docs/page.md" 2>/dev/null && fail "a changed figure in the data passed"

# missing data, an unknown table, a block without its end
rm "$work/docs/voxel-speed.dat"
"$work/scripts/doc-tables" --check "$work/docs/page.md" 2>"$work/err" && fail "a table without its data passed"
grep -q "docs/voxel-speed.dat is missing" "$work/err" || fail "missing data not named: $(cat "$work/err")"
printf '<!-- table:nothing -->\n<!-- end table -->\n' >"$work/docs/other.md"
"$work/scripts/doc-tables" --check "$work/docs/other.md" 2>"$work/err" && fail "an unknown table passed"
grep -q "no table is called nothing" "$work/err" || fail "the unknown table not named: $(cat "$work/err")"
printf '# machine: m\n# load average: 1\n"scalar" 7500.0 1\n' >"$work/docs/fir-speed.dat"
printf '<!-- table:fir-speed -->\n' >"$work/docs/open.md"
"$work/scripts/doc-tables" --check "$work/docs/open.md" 2>"$work/err" && fail "a block without its end passed"
grep -q "has no <!-- end table -->" "$work/err" || fail "the open block not named: $(cat "$work/err")"
echo "doc-tables: all checks passed"
