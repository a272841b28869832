#!/usr/bin/env bash
# Builds the benchmarks in Release (in build-bench/ unless BUILD_DIR says otherwise:
# an absolute folder, or one relative to the project's folder),
# runs each program RUNS times (default 5) and prints every figure as the median of
# the runs, with their spread (lowest to highest), beside its goal, and the load of
# the machine before and after.
#
#   scripts/bench.sh [--no-build]        RUNS=N to change the number of runs,
#                                        PROGRAMS="bench_a bench_b" to run only those
#                                        (the table shows the last results of the others),
#                                        ZN_JOBS=N to build with N jobs (default: every processor)
#
# A figure is one line of the table below: label, program, benchmark name, field
# (real_time, cpu_time or a counter), unit, goal ("<= N" or ">= N"). The name is
# the one in the program's JSON output, or its start: "BM_RoundTrip" matches
# "BM_RoundTrip/real_time"; where the program reports repetitions, their median is
# taken. Times are converted to the row's unit. A program or benchmark that does
# not exist (yet) prints n/a; a program missing from the build folder is named on
# standard error and its rows say "not built".
set -euo pipefail
cd "$(dirname "$0")/.."
USAGE='usage: scripts/bench.sh [--no-build]'
# shellcheck source=usage.sh
. scripts/usage.sh
BUILD=yes
for arg in "$@"; do
  case $arg in
    --help | -h) usage_help ;;
    --no-build) BUILD=no ;;
    *) usage_refuse "unknown argument '$arg'" ;;
  esac
done
BUILD_DIR=${BUILD_DIR:-build-bench}
case $BUILD_DIR in
  /*) ;;
  *) BUILD_DIR=$PWD/$BUILD_DIR ;;
esac
RUNS=${RUNS:-5}

FIGURES=$(cat <<'TABLE'
10,000-row list, wire to model signal        | bench_listanswer | BM_ListToSignal/10000/iterations:5/repeats:5/manual_time_median   | real_time      | ms   | <= 20
10,000-row list, wire to the page's slot     | bench_listanswer | BM_ListToPageSlot/10000/iterations:5/repeats:5/manual_time_median | real_time      | ms   | <= 15
100,000-row list, wire to model signal       | bench_listanswer | BM_ListToSignal/100000/iterations:5/repeats:5/manual_time_median  | real_time      | ms   | <= 200
request round trip, median                   | bench_exchange   | BM_RoundTrip                                           | real_time      | ms   | <= 2
start to painted logged-in window            | bench_startup    | BM_StartToWindow/config:0                              | real_time      | s    | <= 0.5
  the same, config.ini of 20,000 keys        | bench_startup    | BM_StartToWindow/config:1                              | real_time      | s    | <= 0.5
  the same, config.ini of 1 MiB              | bench_startup    | BM_StartToWindow/config:2                              | real_time      | s    | <= 0.5
framer, 1 MiB bodies in 4 KiB chunks         | bench_framing    | BM_LargeBody                                           | of_memcpy_pct  | %    | >= 80
receive path, framed, share of plain recv    | bench_framing    | BM_SocketRecvFramed                                    | of_recv_pct    | %    | >= 80
idle resident memory, demo logged in         | bench_memory     | BM_IdleDemo/iterations:1/real_time                      | rss_MB         | MB   | <= 50
every page open, 10,000 terminals/family     | bench_memory     | BM_TenThousandPerFamily/iterations:1/real_time          | rss_MB         | MB   | <= 110
10,000-row table refill through helper       | bench_tablefill  | BM_Refill/10000                                        | real_time      | ms   | <= 30
player page refill, 10,000 play terminals    | bench_playerpage | BM_PlayerRefill/min_time:1.000                         | real_time      | ms   | <= 50
player page refill into an emptied table    | bench_playerpage | BM_PlayerRefillFromEmpty/min_time:1.000                | real_time      | ms   | <= 50
player page first fill, names never shown   | bench_playerpage | BM_PlayerRefillNewNames/min_time:1.000                 | real_time      | ms   | <= 50
player page refill, until names are fitted   | bench_playerpage | BM_PlayerRefillUntilFitted/min_time:1.000              | real_time      | ms   | <= 50
player page, one push redrawn (10,000)       | bench_playerpage | BM_PlayerPushRedraw/min_time:1.000                     | real_time      | us   | <= 500
player page up, 100,000 long names          | bench_playerpage | BM_PlayerPageUpLongNames/iterations:3/real_time        | real_time      | ms   | <= 500
one pushed change, D82 page, 1,000 rows      | bench_pushcost   | BM_PushD82/1000                                        | real_time      | us   | <= 20
one pushed change, D82 page, 10,000 rows     | bench_pushcost   | BM_PushD82/10000                                       | real_time      | us   | <= 20
one pushed change, D82 page, 100,000 rows    | bench_pushcost   | BM_PushD82/100000                                      | real_time      | us   | <= 20
  growth, D82 page, 1,000 to 100,000 rows    | bench_pushcost   | BM_PushD82/100000                                      | growth_vs_1000 | x    | <= 2
one pushed change, region page, 1,000 rows   | bench_pushcost   | BM_PushRegion/1000                                     | real_time      | us   | <= 20
one pushed change, region page, 10,000 rows  | bench_pushcost   | BM_PushRegion/10000                                    | real_time      | us   | <= 20
one pushed change, region page, 100,000 rows | bench_pushcost   | BM_PushRegion/100000                                   | real_time      | us   | <= 20
  growth, region page, 1,000 to 100,000 rows | bench_pushcost   | BM_PushRegion/100000                                   | growth_vs_1000 | x    | <= 2
one pushed change, task page, 1,000 rows     | bench_pushcost   | BM_PushTask/1000                                       | real_time      | us   | <= 20
one pushed change, task page, 10,000 rows    | bench_pushcost   | BM_PushTask/10000                                      | real_time      | us   | <= 20
one pushed change, task page, 100,000 rows   | bench_pushcost   | BM_PushTask/100000                                     | real_time      | us   | <= 20
  growth, task page, 1,000 to 100,000 rows   | bench_pushcost   | BM_PushTask/100000                                     | growth_vs_1000 | x    | <= 2
first push after a refill (sorts), 1,000 tasks | bench_pushcost | BM_FirstTaskPush/1000                                 | real_time      | ms   | <= 3
first push after a refill (sorts), 10,000 tasks | bench_pushcost | BM_FirstTaskPush/10000                               | real_time      | ms   | <= 30
first push after a refill (sorts), 100,000 tasks | bench_pushcost | BM_FirstTaskPush/100000                             | real_time      | ms   | <= 300
20,000 new terminals in 2 s, last push to repaint | bench_storm | BM_NewTerminalStorm                                    | real_time      | s    | <= 2
100,000-row talk log to CSV, InnoDB          | bench_logexport  | BM_Export/rows:100000/engine:0                         | real_time      | ms   | <= 5000
  the same, memory growth                    | bench_logexport  | BM_Export/rows:100000/engine:0                         | peak_growth_MB | MB   | <= 10
  the same, longest server INSERT meanwhile  | bench_logexport  | BM_Export/rows:100000/engine:0                         | insert_wait_max_ms | ms   | <= 1000
100,000-row talk log to CSV, MyISAM with holes | bench_logexport  | BM_Export/rows:100000/engine:1                         | real_time      | ms   | <= 5000
  the same, memory growth                    | bench_logexport  | BM_Export/rows:100000/engine:1                         | peak_growth_MB | MB   | <= 10
  the same, longest server INSERT meanwhile  | bench_logexport  | BM_Export/rows:100000/engine:1                         | insert_wait_max_ms | ms   | <= 1000
100,000-row talk log to CSV, MEMORY          | bench_logexport  | BM_Export/rows:100000/engine:2                         | real_time      | ms   | <= 5000
  the same, memory growth                    | bench_logexport  | BM_Export/rows:100000/engine:2                         | peak_growth_MB | MB   | <= 10
  the same, longest server INSERT meanwhile  | bench_logexport  | BM_Export/rows:100000/engine:2                         | insert_wait_max_ms | ms   | <= 1000
1,000,000-row talk log to CSV, InnoDB        | bench_logexport  | BM_Export/rows:1000000/engine:0                        | real_time      | ms   | <= 40000
  the same, memory growth                    | bench_logexport  | BM_Export/rows:1000000/engine:0                        | peak_growth_MB | MB   | <= 10
  the same, longest server INSERT meanwhile  | bench_logexport  | BM_Export/rows:1000000/engine:0                        | insert_wait_max_ms | ms   | <= 1000
1,000,000-row talk log to CSV, MyISAM with holes | bench_logexport  | BM_Export/rows:1000000/engine:1                        | real_time      | ms   | <= 40000
  the same, memory growth                    | bench_logexport  | BM_Export/rows:1000000/engine:1                        | peak_growth_MB | MB   | <= 10
  the same, longest server INSERT meanwhile  | bench_logexport  | BM_Export/rows:1000000/engine:1                        | insert_wait_max_ms | ms   | <= 1000
1,000,000-row talk log to CSV, MEMORY        | bench_logexport  | BM_Export/rows:1000000/engine:2                        | real_time      | ms   | <= 40000
  the same, memory growth                    | bench_logexport  | BM_Export/rows:1000000/engine:2                        | peak_growth_MB | MB   | <= 10
  the same, longest server INSERT meanwhile  | bench_logexport  | BM_Export/rows:1000000/engine:2                        | insert_wait_max_ms | ms   | <= 1000
1,000,000-row MEMORY talk log over a 1 MB/s link | bench_logexport | BM_ExportSlowLink/rows:1000000/engine:2/link_kB_s:1000 | real_time      | s    | <= 300
  the same, memory growth                    | bench_logexport  | BM_ExportSlowLink/rows:1000000/engine:2/link_kB_s:1000 | peak_growth_MB | MB   | <= 10
  the same, longest server INSERT meanwhile  | bench_logexport  | BM_ExportSlowLink/rows:1000000/engine:2/link_kB_s:1000 | insert_wait_max_ms | ms   | <= 1000
256 MiB download over loopback               | bench_mediafiles | BM_Download256MiB/iterations:5/real_time               | MB_per_s       | MB/s | >= 100
10,000-entry listing, wire to media table    | bench_mediafiles | BM_ListingToTable/iterations:10/real_time              | real_time      | ms   | <= 60
TABLE
)

if [ "$BUILD" = yes ]; then
  # shellcheck source=jobs.sh
  . scripts/jobs.sh
  scripts/deps.sh
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DZN_TESTS=ON >/dev/null
  cmake --build "$BUILD_DIR" -j"$ZN_JOBS" >/dev/null
fi
BIN="$BUILD_DIR/bin"
OUT="$BUILD_DIR/bench-results"
mkdir -p "$OUT"

load() { printf '%s (1, 5, 15 min) on %s CPUs' "$(cut -d' ' -f1-3 /proc/loadavg)" "$(nproc)"; }
LOAD_BEFORE=$(load)

# The console started by bench_memory needs a display.
programs=${PROGRAMS:-$(printf '%s\n' "$FIGURES" | awk -F'|' '{gsub(/ /,"",$2); print $2}' | sort -u)}
for p in $programs; do
  rm -f "$OUT/$p".*.json "$OUT/$p".*.log
  if [ ! -x "$BIN/$p" ]; then
    echo "$p: no program at $BIN/$p (not built there?); its figures are left out" >&2
    : >"$OUT/$p.missing"
    continue
  fi
  rm -f "$OUT/$p.missing"
  for i in $(seq 1 "$RUNS"); do
    run=("$BIN/$p" --benchmark_format=json --benchmark_out="$OUT/$p.$i.json" --benchmark_out_format=json)
    if [ "$p" = bench_memory ] && [ -z "${DISPLAY:-}" ]; then
      run=(xvfb-run -a -s '-screen 0 1280x800x24' "${run[@]}")
    fi
    echo "running $p ($i of $RUNS)" >&2
    "${run[@]}" >/dev/null 2>"$OUT/$p.$i.log" || echo "$p failed (see $OUT/$p.$i.log)" >&2
  done
done
LOAD_AFTER=$(load)

printf '%s\n' "$FIGURES" | python3 -c '
import glob, json, os, statistics, sys
out = sys.argv[1]
seconds = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}

def value(bench, field, unit):
    if field not in bench:
        return None
    v = float(bench[field])
    if field in ("real_time", "cpu_time") and unit in seconds:
        v = v * seconds.get(bench.get("time_unit", "ns"), 1e-9) / seconds[unit]
    return v

def pick(benches, name):
    found = [b for b in benches if b.get("name") == name]
    if not found:
        found = [b for b in benches if b.get("name", "").startswith((name + "/", name + "_"))]
    medians = [b for b in found if b.get("aggregate_name") == "median"]
    return (medians or found or [None])[0]

rows = []
for line in sys.stdin:
    label, prog, name, field, unit, goal = [c.strip() for c in line.split("|")]
    values = []
    for path in sorted(glob.glob(os.path.join(out, prog + ".*.json"))):
        try:
            with open(path) as f:
                b = pick(json.load(f).get("benchmarks", []), name)
        except (OSError, ValueError):
            continue
        if b and not b.get("error_occurred"):
            v = value(b, field, unit)
            if v is not None:
                values.append(v)
    now, spread, verdict = "n/a", "", ""
    if os.path.exists(os.path.join(out, prog + ".missing")):
        verdict = "not built"
    if values:
        m = statistics.median(values)
        now = "%.3g %s" % (m, unit) if m < 10 else "%.1f %s" % (m, unit)
        spread = "%.3g-%.3g (%d runs)" % (min(values), max(values), len(values))
        op, bound = goal.split()
        ok = m <= float(bound) if op == "<=" else m >= float(bound)
        verdict = "met" if ok else "MISSED"
    rows.append((label, now, spread, goal + " " + unit, verdict))
head = ("figure", "median", "spread", "goal", "")
w = [max(len(r[i]) for r in rows + [head]) for i in range(5)]
fmt = "%-{0}s  %{1}s  %-{2}s  %-{3}s  %s".format(*w)
print(fmt % head)
for r in rows:
    print(fmt % r)
' "$OUT"
echo "machine load before: $LOAD_BEFORE"
echo "machine load after:  $LOAD_AFTER"
