#!/usr/bin/env bash
# bench.sh [--runs N] [--cpu-seconds S] [--cpu-rounds N] [--toggle-rounds N] [--cpu-only]
# Builds talvane.scr and the benchmark programs in their own folder, runs them under Wine on
# headless X servers and prints one table. Every figure is the median of several runs, shown
# beside the median of a floor measured in the same run and as a ratio to it; the CPU time and
# memory then get tables of their own, with both floors and the design floor taken apart. Writes
# the plot of render time against surface size to docs/images/render-time.png. Not part of the
# tests.
#   --runs N          runs of each timed figure (default 15)
#   --cpu-seconds S   length of each CPU round, read in 10-s blocks (default 60); whole
#                     minutes hold exactly one minute change a minute, shorter rounds one or none
#   --cpu-rounds N    CPU rounds on each desktop (default 7)
#   --toggle-rounds N rounds of the design floor's elements switched on and off, on one monitor
#                     (default 3), as long as the CPU rounds
#   --cpu-only        only the CPU, memory and size figures
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${TALVANE_BENCH_DIR:-$root/build-bench}
runs=15
cpu_seconds=60
cpu_rounds=7
toggle_rounds=3
cpu_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --cpu-seconds) cpu_seconds=$2; shift 2 ;;
    --cpu-rounds) cpu_rounds=$2; shift 2 ;;
    --toggle-rounds) toggle_rounds=$2; shift 2 ;;
    --cpu-only) cpu_only=1; shift ;;
    *) echo "bench.sh: unknown option '$1'" >&2; exit 2 ;;
  esac
done
if [ $((cpu_seconds % 10)) != 0 ] || [ "$cpu_seconds" -lt 20 ]; then
  echo "bench.sh: --cpu-seconds takes a multiple of 10 from 20 on, for its 10-s blocks" >&2
  exit 2
fi

bash "$root/scripts/install-deps.sh"
build=$work/win
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DTALVANE_WERROR=ON >/dev/null
cmake --build "$build" --target talvane talvane_bench empty_window design_floor >/dev/null
bin=$build/bin
# The runs get Wine prefixes of their own: the start-up figures write a settings file, which the
# tests in the build folder must never find.
run=$work/run
mkdir -p "$run"
results=$work/results.tsv
: >"$results"

echo "load before the run: $(cut -d' ' -f1-3 /proc/loadavg)" >&2

if [ "$cpu_only" = 0 ]; then
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
fi

# CPU time and peak memory. An idle Wine program costs about a millisecond of CPU a second, and
# what the machine does besides moves that by half or more from one minute to the next; among
# programs that tick side by side, each one's cost also depends, for its whole life, on where its
# timer falls among the others' (a tick right after another program's finds Wine's code warm).
# So the saver, the design floor and the platform floor, and no more, run side by side through
# each round and are measured over the same intervals: what slows or speeds the machine moves all
# three alike, and a ratio taken within the round cancels it. Every round starts them anew, in
# another order (the one started last has the active window, on top), so that what a start fixes
# for a program's life varies from round to round; each figure is the median of the rounds'. The
# rounds are read in 10-s blocks of the clock, so that the block of the minute change, at which
# the saver renders, can be told from the others; a round of whole minutes holds one a minute.
main_programs=(
  "saver talvane.scr /s"
  "design design_floor.exe"
  "platform empty_window.exe 0"
)
# The elements of the design floor, each switched on and off in alternate 10-s blocks within one
# process (design_floor toggle), so that its cost is read block against block of the same
# process, free of what sets one process's life apart from another's; a plain design floor
# beside them gives each block's measure of the machine's speed.
toggle_programs=(
  "reference design_floor.exe"
  "owner design_floor.exe toggle owner"
  "topmost design_floor.exe toggle topmost"
  "cursor design_floor.exe toggle cursor"
  "clock design_floor.exe toggle clock"
  "styles design_floor.exe toggle styles"
  "all design_floor.exe toggle owner topmost cursor clock styles"
)

# Nanoseconds each process given has run on a CPU, one line each: the first field of schedstat,
# summed over the process's threads, finer than the clock ticks of /proc/PID/stat, which would
# count a minute of an idle program in a handful of ticks. One read for all of them, so that
# every program's interval has the same ends.
cpu_ns() {
  local p files=()
  for p in "$@"; do files+=(/proc/"$p"/task/*/schedstat); done
  awk -v pids="$*" '{ split(FILENAME, f, "/"); t[f[3]] += $1 }
    END { n = split(pids, p, " "); for (i = 1; i <= n; i++) printf "%.0f\n", t[p[i]] }' "${files[@]}"
}

# Page faults of each process given, one line each: "MINOR MAJOR". A fault is paid in CPU time,
# so an outlying round can be told from one in which a program had to fetch pages back.
faults() {
  local p
  for p in "$@"; do sed 's/.*) //' "/proc/$p/stat" | awk '{ print $8, $10 }'; done
}

# Starts the programs given (LABEL PROGRAM ARGUMENTS...), the list rotated by ROTATION places,
# half a second apart; sets pids, in the order given.
start_programs() {
  local rotation=$1 bin=$2
  shift 2
  local runs_given=("$@") n=$# k i words
  pids=()
  for k in $(seq 0 $((n - 1))); do
    i=$(((rotation + k) % n))
    read -r -a words <<<"${runs_given[i]}"
    wine "$bin/${words[1]}" "${words[@]:2}" </dev/null >/dev/null 2>&1 &
    pids[i]=$!
    sleep 0.5
  done
}

# Waits until every program given is idle: each has run, but less than 3 ms a second, over the
# last 2 s. A start takes longer on a busy machine, and a Wine process's start can wait seconds
# for the desktop before it runs at all; a start inside the measured interval would count as the
# cost of ticks. Fails when one of them has ended meanwhile.
settle() {
  local waited=0 before after
  sleep 5
  [ -z "$(ended_program)" ] || return 1
  before=$(cpu_ns "$@")
  while [ "$waited" -lt 60 ]; do
    sleep 2
    waited=$((waited + 2))
    [ -z "$(ended_program)" ] || return 1
    after=$(cpu_ns "$@")
    paste <(echo "$before") <(echo "$after") |
      awk '{ d = $2 - $1; if (d < 2e5 || d > 6e6) busy = 1 } END { exit busy }' && return 0
    before=$after
  done
  echo "bench.sh: the programs did not settle within a minute; measuring them all the same" >&2
}

# Prints the index in pids of the first program that has ended; nothing while all run.
ended_program() {
  local i
  for i in "${!pids[@]}"; do
    if ! kill -0 "${pids[i]}" 2>/dev/null; then
      echo "$i"
      return
    fi
  done
}

# Puts the pointer at the desktop's origin, as Wine sees it. A window that covers a monitor but
# was shown smaller, away from the pointer, gets its first mouse report only when another
# window appears, often after its half second of grace, and a report that differs from (0, 0)
# then ends it as a user's mouse would: half of the starts of three programs side by side ended
# one of them, with the pointer at the screen's centre, where X puts it. Wine learns where the
# pointer is only from a move over one of its windows, so the pointer is moved over a window
# that ignores input.
pointer_to_origin() {
  local bin=$1 window
  wine "$bin/empty_window.exe" 0 </dev/null >/dev/null 2>&1 &
  window=$!
  sleep 2
  xdotool mousemove 0 0
  sleep 1
  kill "$window"
  wait "$window" 2>/dev/null || true
}

# Starts the programs given (as start_programs), sets started (seconds since 1970) and waits until
# they are idle. When a program ends while they start, they are all started again, up to five
# times: a mouse report can still end one as it starts (see pointer_to_origin).
start_settled() {
  local try i
  for try in 1 2 3 4 5; do
    start_programs "$@"
    started=$(date +%s)
    settle "${pids[@]}" && return 0
    i=$(ended_program)
    echo "bench.sh: '${runs_given[i]:-?}' ended as the round started (try $try); starting them again" >&2
    kill "${pids[@]}" 2>/dev/null || true
    wait "${pids[@]}" 2>/dev/null || true
  done
  return 1
}

# Fails the run if one of the programs has ended: a saver that took something for the user's
# input, or a program that failed to start.
check_alive() {
  local i
  i=$(ended_program)
  [ -n "$i" ] || return 0
  echo "bench.sh: '${runs_given[i]}' ended during a CPU round" >&2
  kill "${pids[@]}" 2>/dev/null || true
  return 1
}

# Sleeps until the clock reads T, seconds since 1970.
sleep_until() {
  sleep "$(awk -v t="$1" -v now="$(date +%s.%N)" 'BEGIN { d = t - now; printf "%.3f", (d > 0 ? d : 0) }')"
}

# The next boundary of the 10-s blocks: 5 s past a multiple of 10, so that a minute change, which
# comes within a tick of 100 ms after the minute, falls in the middle of a block.
next_boundary() {
  awk -v now="$(date +%s.%N)" 'BEGIN { printf "%d", (int((now - 5) / 10) + 1) * 10 + 5 }'
}

# One set of rounds, inside a desktop's Wine world: DESKTOP SET BIN SECONDS ROUNDS PROGRAM...
# Prints "block DESKTOP SET ROUND LABEL START CPU_NS" for every program and 10-s block (START in
# seconds since 1970), then "end DESKTOP SET ROUND LABEL PEAK_KIB MINOR_FAULTS MAJOR_FAULTS" for
# every program at the end of the round. The main set reads whole blocks, one after the other;
# the toggle set reads each block from 1 s after its start to 0.1 s before its end, leaving out
# the switch of the elements (at the first tick of a block) and what it sets off.
cpu_rounds() {
  local desktop=$1 set=$2 bin=$3 seconds=$4 rounds=$5
  shift 5
  local runs_given=("$@") round block start before after faults0 peaks labels started
  labels=$(printf '%s\n' "${runs_given[@]}" | cut -d' ' -f1)
  for round in $(seq "$rounds"); do
    start_settled "$((round - 1))" "$bin" "${runs_given[@]}"
    start=$(next_boundary)
    faults0=$(faults "${pids[@]}")
    if [ "$set" = main ]; then
      sleep_until "$start"
      before=$(cpu_ns "${pids[@]}")
    fi
    for block in $(seq $((seconds / 10))); do
      if [ "$set" = toggle ]; then
        sleep_until "$((start + 1))"
        before=$(cpu_ns "${pids[@]}")
        sleep_until "$((start + 9)).9"
      else
        sleep_until "$((start + 10))"
      fi
      check_alive
      after=$(cpu_ns "${pids[@]}")
      paste <(echo "$labels") <(echo "$before") <(echo "$after") |
        awk -v d="$desktop" -v set="$set" -v r="$round" -v s="$start" '
          { printf "block\t%s\t%s\t%s\t%s\t%s\t%.0f\n", d, set, r, $1, s, $3 - $2 }'
      before=$after
      start=$((start + 10))
    done
    peaks=$(for i in "${!pids[@]}"; do awk '/^VmHWM:/ { print $2 }' "/proc/${pids[i]}/status"; done)
    paste <(echo "$labels") <(echo "$peaks") <(echo "$faults0") <(faults "${pids[@]}") |
      awk -v d="$desktop" -v set="$set" -v r="$round" '
        { printf "end\t%s\t%s\t%s\t%s\t%s\t%d\t%d\n", d, set, r, $1, $2, $5 - $3, $6 - $4 }'
    kill "${pids[@]}"
    wait "${pids[@]}" 2>/dev/null || true
    [ "$set" = toggle ] || faces "$desktop" "$bin" "$round" "$started" "$start"
  done
}

# What the faces of a saver round add on a desktop, measured in process after the round, for the
# minute the round started in and the minute changes it saw:
# "faces DESKTOP ROUND BITMAP_MIB GLYPH_MIB".
faces() {
  local desktop=$1 bin=$2 round=$3 started=$4 ended=$5 hour minute
  read -r hour minute < <(date -d "@$started" '+%-H %-M')
  wine "$bin/talvane_bench.exe" faces "$hour" "$minute" $((ended / 60 - started / 60)) |
    tr -d '\r' | awk -v d="$desktop" -v r="$round" '{ print "faces\t" d "\t" r "\t" $0 }'
}
export -f cpu_ns faults pointer_to_origin start_programs settle ended_program start_settled check_alive sleep_until next_boundary cpu_rounds faces

echo "CPU time and memory, $cpu_rounds rounds of $cpu_seconds s on one and on two monitors;" \
  "the elements, $toggle_rounds rounds on one ..." >&2
# One desktop after the other: run together, both savers would meet at every minute change, on
# a machine with two cores.
TALVANE_SCREENS=single "$root/scripts/with-wine" "$run" bash -c '
  set -euo pipefail
  pointer_to_origin "$1"
  cpu_rounds "1 monitor" main "$1" "$2" "$3" "${@:6:$5}"
  cpu_rounds "1 monitor" toggle "$1" "$2" "$4" "${@:6+$5}"
' cpu "$bin" "$cpu_seconds" "$cpu_rounds" "$toggle_rounds" "${#main_programs[@]}" "${main_programs[@]}" \
  "${toggle_programs[@]}" >"$work/cpu-single.tsv"
TALVANE_SCREENS=dual "$root/scripts/with-wine" "$run" bash -c '
  set -euo pipefail
  pointer_to_origin "$1"
  cpu_rounds "2 monitors" main "$@"
' cpu "$bin" "$cpu_seconds" "$cpu_rounds" "${main_programs[@]}" >"$work/cpu-dual.tsv"
awk -v rows="$results" -f "$root/bench/cpu_report.awk" "$work/cpu-single.tsv" "$work/cpu-dual.tsv" \
  >"$work/cpu-report.md"

printf 'size talvane.scr\t%.1f\t300\n' "$(awk -v b="$(stat -c %s "$bin/talvane.scr")" 'BEGIN { print b / 1024 }')" >>"$results"

echo "load after the run: $(cut -d' ' -f1-3 /proc/loadavg)" >&2

# The table: figure, its floor, the ratio and the goal. The CPU rows compare the saver with the
# design floor, the memory rows with the design floor plus the faces' bitmaps.
awk -F'\t' '
  function goal(name) {
    if (name ~ /^render/) return 1.2
    if (name ~ /^paint/) return 2.2
    if (name ~ /^cpu/) return 1.1
    if (name ~ /^start/) return 1.5
    return 0
  }
  BEGIN {
    printf "| %-24s | %17s | %17s | %8s | %-16s | %-4s |\n", "figure", "median", "floor", "ratio", "goal", "met"
    printf "|%s|%s|%s|%s|%s|%s|\n", "--------------------------", "------------------:", "------------------:", "---------:", "------------------", "------"
  }
  $1 ~ /^memory/ {
    printf "| %-24s | %10.1f %-6s | %10.1f %-6s | %8.2f | %-16s | %-4s |\n", $1, $2, "MiB", $3, "MiB", $2 / $3, "<= floor + 1 MiB", $2 - $3 <= 1 ? "yes" : "NO"
    next
  }
  $1 ~ /^size/ {
    printf "| %-24s | %10.1f %-6s | %17s | %8s | %-16s | %-4s |\n", $1, $2, "KiB", "-", "-", "<= 300 KiB", $2 <= $3 ? "yes" : "NO"
    next
  }
  {
    unit = $1 ~ /^cpu/ ? "ms/min" : "ms"
    ratio = $4 != "" ? $4 : $3 > 0 ? $2 / $3 : 0
    printf "| %-24s | %10.3f %-6s | %10.3f %-6s | %8.2f | %-16s | %-4s |\n", $1, $2, unit, $3, unit, ratio, "<= " goal($1) " x", ratio <= goal($1) ? "yes" : "NO"
  }
' "$results"
echo
cat "$work/cpu-report.md"
[ "$cpu_only" = 0 ] || exit 0

# Not a figure with a floor, but what the memory figure, taken in the first minutes, cannot show.
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
