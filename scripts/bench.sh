#!/usr/bin/env bash
# Builds the benchmarks in Release (in build-bench/ unless BUILD_DIR says otherwise),
# runs each program once and prints every figure beside its goal.
#
#   scripts/bench.sh [--no-build]
#
# A figure is one line of the table below: label, program, benchmark name (as in
# its JSON output), field (real_time or a counter), unit, goal ("<= N" or ">= N").
# A program or benchmark that does not exist yet prints n/a.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}

FIGURES=$(cat <<'TABLE'
10,000-row list, wire to model signal     | bench_listanswer | BM_ListToSignal/10000/iterations:5/repeats:5/manual_time_median  | real_time       | ms | <= 20
100,000-row list, wire to model signal    | bench_listanswer | BM_ListToSignal/100000/iterations:5/repeats:5/manual_time_median | real_time       | ms | <= 200
framer, 1 MiB bodies in 4 KiB chunks      | bench_framing    | BM_LargeBody                                           | of_memcpy_pct   | %  | >= 80
idle resident memory, demo logged in      | bench_memory     | BM_IdleDemo/iterations:1/real_time                      | rss_MB          | MB | <= 50
resident memory, 10,000 terminals/family  | bench_memory     | BM_TenThousandPerFamily/iterations:1/real_time          | rss_MB          | MB | <= 150
10,000-row table refill through helper    | bench_tablefill  | BM_Refill/10000                                        | real_time       | ms | <= 30
player page refill, 10,000 play terminals | bench_playerpage | BM_PlayerRefill/min_time:1.000                         | real_time       | ms | <= 50
player page first fill, 10,000 terminals  | bench_playerpage | BM_PlayerRefillFromEmpty/min_time:1.000                | real_time       | ms | <= 50
player page, one push redrawn (10,000)    | bench_playerpage | BM_PlayerPushRedraw/min_time:1.000                     | real_time       | us | <= 500
100,000-row talk log to CSV               | bench_logexport  | BM_ExportTalkLog/iterations:3/real_time                 | real_time       | ms | <= 5000
100,000-row talk log to CSV, memory growth| bench_logexport  | BM_ExportTalkLog/iterations:3/real_time                 | peak_growth_MB  | MB | <= 10
256 MiB download over loopback            | bench_mediafiles | BM_Download256MiB/iterations:5/real_time               | MB_per_s        | MB/s | >= 100
10,000-entry listing, wire to media table | bench_mediafiles | BM_ListingToTable/iterations:10/real_time              | real_time       | ms | <= 100
TABLE
)

if [ "${1:-}" != --no-build ]; then
  scripts/deps.sh
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DZN_TESTS=ON >/dev/null
  cmake --build "$BUILD_DIR" -j"$(nproc)" >/dev/null
fi
BIN="$PWD/$BUILD_DIR/bin"
OUT="$PWD/$BUILD_DIR/bench-results"
mkdir -p "$OUT"

# Each program runs once; the console started by bench_memory needs a display.
programs=$(printf '%s\n' "$FIGURES" | awk -F'|' '{gsub(/ /,"",$2); print $2}' | sort -u)
for p in $programs; do
  rm -f "$OUT/$p.json"
  [ -x "$BIN/$p" ] || continue
  run=("$BIN/$p" --benchmark_format=json --benchmark_out="$OUT/$p.json" --benchmark_out_format=json)
  if [ "$p" = bench_memory ] && [ -z "${DISPLAY:-}" ]; then
    run=(xvfb-run -a -s '-screen 0 1280x800x24' "${run[@]}")
  fi
  echo "running $p" >&2
  "${run[@]}" >/dev/null 2>"$OUT/$p.log" || echo "$p failed (see $OUT/$p.log)" >&2
done

printf '%s\n' "$FIGURES" | python3 -c '
import json, os, sys
out = sys.argv[1]
rows = []
for line in sys.stdin:
    label, prog, name, field, unit, goal = [c.strip() for c in line.split("|")]
    value, verdict = "n/a", ""
    path = os.path.join(out, prog + ".json")
    if os.path.exists(path):
        with open(path) as f:
            found = [b for b in json.load(f).get("benchmarks", []) if b.get("name") == name]
        if found and field in found[0] and not found[0].get("error_occurred"):
            v = float(found[0][field])
            value = "%.1f %s" % (v, unit)
            op, bound = goal.split()
            ok = v <= float(bound) if op == "<=" else v >= float(bound)
            verdict = "met" if ok else "MISSED"
    rows.append((label, value, goal + " " + unit, verdict))
w = [max(len(r[i]) for r in rows + [("figure", "now", "goal", "")]) for i in range(4)]
fmt = "%-{0}s  %{1}s  %-{2}s  %s".format(*w)
print(fmt % ("figure", "now", "goal", ""))
for r in rows:
    print(fmt % r)
' "$OUT"
