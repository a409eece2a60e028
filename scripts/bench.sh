#!/usr/bin/env bash
# bench.sh [--runs N] [--cpu-seconds S] [--cpu-runs N]
# Builds talvane.scr and the benchmark programs in their own folder, runs them under Wine on
# headless X servers and prints one table. Every figure is the median of several runs, shown
# beside the median of a floor measured in the same run and as a ratio to it. Writes the plot of
# render time against surface size to docs/images/render-time.png. Not part of the tests.
#   --runs N         runs of each timed figure (default 15)
#   --cpu-seconds S  length of each CPU-time run (default 60)
#   --cpu-runs N     runs of each CPU-time figure (default 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${TALVANE_BENCH_DIR:-$root/build-bench}
runs=15
cpu_seconds=60
cpu_runs=5
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --cpu-seconds) cpu_seconds=$2; shift 2 ;;
    --cpu-runs) cpu_runs=$2; shift 2 ;;
    *) echo "bench.sh: unknown option '$1'" >&2; exit 2 ;;
  esac
done

bash "$root/scripts/install-deps.sh"
build=$work/win
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DTALVANE_WERROR=ON >/dev/null
cmake --build "$build" --target talvane talvane_bench empty_window >/dev/null
bin=$build/bin
# The runs get Wine prefixes of their own: the start-up figures write a settings file, which the
# tests in the build folder must never find.
run=$work/run
mkdir -p "$run"
results=$work/results.tsv
: >"$results"

echo "load before the run: $(cut -d' ' -f1-3 /proc/loadavg)" >&2

# Render and paint: on a screen as large as the largest surface, so no window is clipped. The
# prefix is made once on the harness's own server, which sets it up for a desktop without a
# window manager; the runs then use this larger server.
echo "render and paint ..." >&2
mkdir -p "$work/big"
"$root/scripts/with-wine" "$work/big" true
numberfile=$(mktemp)
Xvfb -screen 0 7680x4320x24 -nolisten tcp -displayfd 3 3>"$numberfile" </dev/null >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$numberfile" ] && break; sleep 0.1; done
DISPLAY=":$(head -n1 "$numberfile")" TALVANE_USER_DISPLAY=1 "$root/scripts/with-wine" "$work/big" bash -c '
  wine "$1/talvane_bench.exe" render "$2" && wine "$1/talvane_bench.exe" paint "$2" &&
    wine "$1/talvane_bench.exe" glyphs >"$3"
' bench "$bin" "$runs" "$work/glyphs.tsv" | tr -d '\r' >>"$results"
kill "$xvfb"
wait "$xvfb" 2>/dev/null || true
rm -f "$numberfile"

echo "start-up ..." >&2
"$root/scripts/with-wine" "$run" bash -c '
  wine "$1/talvane_bench.exe" start "$2" "$(winepath -w "$1/talvane.scr")" "$(winepath -w "$1/empty_window.exe")"
' bench "$bin" "$runs" | tr -d '\r' >>"$results"

# CPU time and peak memory: the saver and the floor program side by side on the same desktop.
# The CPU time is taken from the settled run (start-up has its own figure), from the kernel's
# account of each Wine process. Peak memory is the process's peak resident set.
cpu_session() {
  local screens=$1 label=$2
  TALVANE_SCREENS=$screens "$root/scripts/with-wine" "$run" bash -c '
    set -euo pipefail
    bin=$1 seconds=$2 runs=$3 label=$4
    # Nanoseconds on the CPU, summed over all threads of the process: finer than the clock ticks of
    # /proc/PID/stat, which would count a minute of an idle program in a handful of ticks.
    cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk "{ t += \$1 } END { printf \"%.0f\", t }"; }
    peak_kib() { awk "/^VmHWM:/ { print \$2 }" "/proc/$1/status"; }
    pixels=$(wine "$bin/talvane_bench.exe" pixels | tr -d "\r")
    for _ in $(seq "$runs"); do
      wine "$bin/empty_window.exe" 0 &
      floor=$!
      sleep 2
      wine "$bin/talvane.scr" /s &
      saver=$!
      sleep 5
      s0=$(cpu_ns "$saver"); f0=$(cpu_ns "$floor")
      sleep "$seconds"
      s1=$(cpu_ns "$saver"); f1=$(cpu_ns "$floor")
      sp=$(peak_kib "$saver"); fp=$(peak_kib "$floor")
      kill "$saver" "$floor"
      wait "$saver" "$floor" || true
      awk -v l="$label" -v s=$((s1 - s0)) -v f=$((f1 - f0)) -v sp="$sp" -v fp="$fp" -v px="$pixels" \
        "BEGIN { printf \"cpu %s\t%.3f\t%.3f\n\", l, s / 1e6, f / 1e6;
                 printf \"memory %s\t%.3f\t%.3f\n\", l, sp / 1024, fp / 1024 + px * 4 / 1048576 }"
    done
  ' cpu "$bin" "$cpu_seconds" "$cpu_runs" "$label"
}
echo "CPU time and memory, $cpu_runs x ${cpu_seconds} s on one and on two monitors ..." >&2
# One desktop after the other: run together, both savers would meet at every minute change, on
# a machine with two cores.
cpu_session single "1 monitor" >"$work/cpu-single.tsv"
cpu_session dual "2 monitors" >"$work/cpu-dual.tsv"
# Each CPU run printed its own pair; the table takes the medians. The floor's CPU time moves by
# a third from run to run, so a CPU row's ratio is the median of each run's ratio to the floor
# beside it, not the ratio of two medians that may come from different runs.
cat "$work/cpu-single.tsv" "$work/cpu-dual.tsv" | awk -F'\t' '
  { n[$1]++; a[$1, n[$1]] = $2; b[$1, n[$1]] = $3; r[$1, n[$1]] = $3 > 0 ? $2 / $3 : 0
    if (n[$1] == 1) order[++k] = $1 }
  function median(arr, key, count,   i, j, t, v) {
    for (i = 1; i <= count; i++) v[i] = arr[key, i]
    for (i = 1; i <= count; i++) for (j = i + 1; j <= count; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return count % 2 ? v[(count + 1) / 2] : (v[count / 2] + v[count / 2 + 1]) / 2
  }
  END {
    for (i = 1; i <= k; i++) {
      key = order[i]
      printf "%s\t%.3f\t%.3f", key, median(a, key, n[key]), median(b, key, n[key])
      if (key ~ /^cpu/) printf "\t%.3f", median(r, key, n[key])
      printf "\n"
    }
  }
' >>"$results"

printf 'size talvane.scr\t%.1f\t300\n' "$(awk -v b="$(stat -c %s "$bin/talvane.scr")" 'BEGIN { print b / 1024 }')" >>"$results"

echo "load after the run: $(cut -d' ' -f1-3 /proc/loadavg)" >&2

# The table: figure, its floor, the ratio and the goal.
awk -F'\t' '
  function goal(name) {
    if (name ~ /^render/) return 1.2
    if (name ~ /^paint/) return 2.2
    if (name ~ /^cpu/) return 1.2
    if (name ~ /^start/) return 1.5
    return 0
  }
  BEGIN {
    printf "| %-24s | %12s | %12s | %8s | %-14s | %-4s |\n", "figure", "median", "floor", "ratio", "goal", "met"
    printf "|%s|%s|%s|%s|%s|%s|\n", "--------------------------", "-------------:", "-------------:", "---------:", "----------------", "------"
  }
  $1 ~ /^memory/ {
    extra = $2 - $3
    printf "| %-24s | %9.1f MiB | %9.1f MiB | %8.2f | %-14s | %-4s |\n", $1, $2, $3, $2 / $3, "<= floor + 2 MiB", extra <= 2 ? "yes" : "NO"
    next
  }
  $1 ~ /^size/ {
    printf "| %-24s | %9.1f KiB | %12s | %8s | %-14s | %-4s |\n", $1, $2, "-", "-", "<= 300 KiB", $2 <= $3 ? "yes" : "NO"
    next
  }
  {
    ratio = $4 != "" ? $4 : $3 > 0 ? $2 / $3 : 0
    printf "| %-24s | %9.3f ms | %9.3f ms | %8.2f | %-14s | %-4s |\n", $1, $2, $3, ratio, "<= " goal($1) " x", ratio <= goal($1) ? "yes" : "NO"
  }
' "$results"

# Not a figure with a floor, but what the memory figure, taken in the first minute, cannot show.
echo
echo "Memory the system keeps for the face's glyphs, beyond the surface's pixels:"
tr -d '\r' <"$work/glyphs.tsv" | awk -F'\t' '{ sub(/^glyphs /, "", $1); printf "  %-10s %5.1f MiB after the first face, %5.1f MiB once every digit has been shown\n", $1, $2, $3 }'

# The plot: time against surface size, with the floors beside.
plotdata=$work/plot.dat
awk -F'\t' '$1 ~ /^(render|paint) / {
  split($1, p, " "); split(p[2], wh, "x"); mp = wh[1] * wh[2] / 1e6
  if (p[1] == "render") { r[mp] = $2; rf[mp] = $3 } else { q[mp] = $2; qf[mp] = $3 }
  sizes[mp] = 1
} END { for (mp in sizes) printf "%.4f %s %s %s %s\n", mp, r[mp], rf[mp], q[mp], qf[mp] }' "$results" | sort -n >"$plotdata"
mkdir -p "$root/docs/images"
gnuplot <<GNUPLOT
set terminal pngcairo size 800,500 font "sans,10"
set output "$root/docs/images/render-time.png"
set title "Time of one rendering and one paint against surface size (medians, Wine)"
set xlabel "surface size (megapixels): 1920x1080, 3840x2160, 7680x4320"
set ylabel "milliseconds"
set key top left
set grid
plot "$plotdata" using 1:2 with linespoints lw 2 title "DrawBackground", \
     "$plotdata" using 1:3 with linespoints dt 2 title "floor: FillRect + ExtTextOutW", \
     "$plotdata" using 1:4 with linespoints lw 2 title "paint of the window (erase + paint)", \
     "$plotdata" using 1:5 with linespoints dt 2 title "floor: one BitBlt"
GNUPLOT
echo "plot: $root/docs/images/render-time.png" >&2
