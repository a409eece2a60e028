# The CPU and memory part of scripts/bench.sh's report, from the lines its CPU rounds print:
#   faces DESKTOP ROUND BITMAP_MIB GLYPH_MIB           what the faces of a saver round add
#   block DESKTOP SET ROUND LABEL START CPU_NS          one program's 10-s block from START
#                                                       (seconds since 1970, 5 past a multiple
#                                                       of 10)
#   end DESKTOP SET ROUND LABEL PEAK_KIB MINOR MAJOR    one program at the end of a round
# SET is "main" (the saver and the two floors) or "toggle" (the design floor's elements switched
# on in the even blocks and off in the odd ones, beside a plain design floor, the reference).
# Prints the tables (Markdown) and appends the main table's CPU and memory rows to the file
# `rows`. Every figure is the median of the rounds' figures, shown as "median [lowest, highest]";
# with n rounds that interval holds the true median with a probability of 1 - 2 / 2^n, whatever
# the distribution.
BEGIN { FS = "\t" }

$1 == "faces" {
  bitmaps[$2, $3] = $4
  glyphs[$2, $3] = $5
}

$1 == "block" || $1 == "end" {
  d = $2
  set = $3
  if (!(d in known)) {
    known[d] = 1
    desktops[++desktopCount] = d
  }
  if (!((d, set, $4) in seen)) {
    seen[d, set, $4] = 1
    roundOf[d, set, ++rounds[d, set]] = $4
  }
}

$1 == "end" {
  peak[d, $4, $5] = $6 / 1024  # MiB
  minor[d, $4, $5] = $7
  major[d, $4, $5] = $8
}

# The block around a minute holds the minute change (the saver's rendering, the design floor's
# redraw); the others show the programs between minute changes, "idle".
$1 == "block" && set == "main" {
  key = d SUBSEP $4 SUBSEP $5
  ms = $7 / 1e6
  total[key] += ms
  blocks[key]++
  if ($6 % 60 == 55) {
    minuteMs[key] = ms
  } else {
    idleSum[key] += ms
    idleCount[key]++
  }
}

$1 == "block" && set == "toggle" {
  toggleMs[d, $4, $5, $6] = $7 / 1e6
  if (!((d, $4, $6) in blockSeen)) {
    blockSeen[d, $4, $6] = 1
    blockOf[d, $4, ++blockCount[d, $4]] = $6
  }
}

# One round's value of a quantity in the main set: "cpu:A" (ms a minute), "idle:A" (ms a minute
# between minute changes), "change:A" (ms the minute change adds), "peak:A", "minor:A" and "major:A"
# (page faults), "ratio:Q:A:B" (quantity Q of A over that of B), "gap" (the design floor less the
# platform floor, ms a minute), "bitmaps" and "glyphs" (MiB, the round's faces), "own" (MiB, the
# saver's peak less the design floor's and the faces'). Sets `valid` to 0 when the round cannot
# give it.
function value(d, r, what,   w, key, a, b, aValid) {
  split(what, w, ":")
  valid = 1
  if (w[1] == "ratio" || w[1] == "gap") {
    a = w[1] == "gap" ? value(d, r, "cpu:design") : value(d, r, w[2] ":" w[3])
    aValid = valid
    b = w[1] == "gap" ? value(d, r, "cpu:platform") : value(d, r, w[2] ":" w[4])
    if (w[1] == "gap") {
      valid = aValid && valid
      return a - b
    }
    valid = aValid && valid && b != 0
    return valid ? a / b : 0
  }
  if (w[1] == "peak") return peak[d, r, w[2]]
  if (w[1] == "bitmaps") return bitmaps[d, r]
  if (w[1] == "glyphs") return glyphs[d, r]
  if (w[1] == "own") return peak[d, r, "saver"] - peak[d, r, "design"] - bitmaps[d, r] - glyphs[d, r]
  if (w[1] == "minor") return minor[d, r, w[2]]
  if (w[1] == "major") return major[d, r, w[2]]
  key = d SUBSEP r SUBSEP w[2]
  if (w[1] == "cpu") {
    valid = blocks[key] > 0
    return valid ? total[key] / blocks[key] * 6 : 0
  }
  valid = idleCount[key] > 0
  if (!valid) return 0
  if (w[1] == "idle") return idleSum[key] / idleCount[key] * 6
  valid = key in minuteMs
  return valid ? minuteMs[key] - idleSum[key] / idleCount[key] : 0
}

# A toggled element's cost between minute changes in one round, in ms a minute. Each block of
# the program is taken relative to the reference's same block, which cancels what moved the
# machine's speed between blocks; the blocks with the element against those without, times the
# reference's own rate, give the cost. Sets `valid` to 0 when the round lacks blocks of either
# kind.
function cost(d, r, label,   i, start, ref, onSum, onCount, offSum, offCount, refSum, refCount) {
  onCount = offCount = refCount = 0
  for (i = 1; i <= blockCount[d, r]; i++) {
    start = blockOf[d, r, i]
    ref = toggleMs[d, r, "reference", start]
    if (start % 60 == 55 || ref <= 0) continue
    refSum += ref
    refCount++
    if (int(start / 10) % 2) {
      offSum += toggleMs[d, r, label, start] / ref
      offCount++
    } else {
      onSum += toggleMs[d, r, label, start] / ref
      onCount++
    }
  }
  valid = onCount > 0 && offCount > 0
  return valid ? (onSum / onCount - offSum / offCount) * refSum / refCount * 6 : 0
}

# Sets lo, med and hi over the n values of v[1..n]; returns med.
function summarize(v, n,   i, j, t) {
  if (n == 0) {
    lo = med = hi = 0
    return 0
  }
  for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
  lo = v[1]
  hi = v[n]
  med = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  return med
}

# Summarizes a quantity over the rounds of a set that can give it: value() in the main set, an
# element's cost() in the toggle set.
function over(d, set, what,   i, n, x, v) {
  n = 0
  for (i = 1; i <= rounds[d, set]; i++) {
    x = set == "main" ? value(d, roundOf[d, set, i], what) : cost(d, roundOf[d, set, i], what)
    if (valid) v[++n] = x
  }
  return summarize(v, n)
}

function stats(d, what) { return over(d, "main", what) }

function shown(format) { return sprintf(format " [" format ", " format "]", med, lo, hi) }

function spread(d, what, format) {
  stats(d, what)
  return shown(format)
}

function each(d, what, format,   i, s) {
  s = ""
  for (i = 1; i <= rounds[d, "main"]; i++) s = s sprintf(" " format, value(d, roundOf[d, "main", i], what))
  return s
}

function row(d, kind, format) {
  return sprintf("| %-10s | %-24s | %-24s | %-24s | %-20s | %-20s | %-20s |\n", d, spread(d, kind ":saver", format),
    spread(d, kind ":design", format), spread(d, kind ":platform", format), spread(d, "ratio:" kind ":saver:design", "%.2f"),
    spread(d, "ratio:" kind ":design:platform", "%.2f"), spread(d, "ratio:" kind ":saver:platform", "%.2f"))
}

function header(   line) {
  line = sprintf("| %-10s | %-24s | %-24s | %-24s | %-20s | %-20s | %-20s |\n", "desktop", "saver", "design floor",
    "platform floor", "saver / design", "design / platform", "saver / platform")
  return line sprintf("|------------|%s|%s|%s|%s|%s|%s|\n", "--------------------------", "--------------------------",
    "--------------------------", "----------------------", "----------------------", "----------------------")
}

END {
  n = rounds[desktops[1], "main"]
  printf "CPU time in ms a minute, minute change included: median of %d rounds [lowest, highest round],\n", n
  printf "an interval that holds the median with %.1f %% probability.\n\n", 100 * (1 - 2 / 2 ^ n)
  printf "%s", header()
  for (k = 1; k <= desktopCount; k++) {
    d = desktops[k]
    printf "%s", row(d, "cpu", "%.2f")
    printf "cpu %s\t%.3f\t%.3f\t%.3f\n", d, stats(d, "cpu:saver"), stats(d, "cpu:design"),
      stats(d, "ratio:cpu:saver:design") >> rows
  }
  printf "\nThe same between minute changes (ms a minute):\n\n%s", header()
  for (k = 1; k <= desktopCount; k++) printf "%s", row(desktops[k], "idle", "%.2f")
  printf "\nWhat the minute change adds, ms (the rounds without a whole minute give none):\n"
  for (k = 1; k <= desktopCount; k++) {
    d = desktops[k]
    printf "  %-10s saver %s, design floor %s, platform floor %s\n", d, spread(d, "change:saver", "%.2f"),
      spread(d, "change:design", "%.2f"), spread(d, "change:platform", "%.2f")
  }
  printf "\nEach round's saver / design floor:\n"
  for (k = 1; k <= desktopCount; k++) printf "  %-10s%s\n", desktops[k], each(desktops[k], "ratio:cpu:saver:design", "%.2f")
  printf "\nPage faults in a round, minor / major (medians); a fault is paid in CPU time:\n"
  for (k = 1; k <= desktopCount; k++) {
    d = desktops[k]
    printf "  %-10s saver %d / %d, design floor %d / %d, platform floor %d / %d\n", d, stats(d, "minor:saver"),
      stats(d, "major:saver"), stats(d, "minor:design"), stats(d, "major:design"), stats(d, "minor:platform"),
      stats(d, "major:platform")
  }

  for (k = 1; k <= desktopCount; k++) {
    d = desktops[k]
    if (!rounds[d, "toggle"]) continue
    gap = stats(d, "gap")
    printf "\nThe design floor taken apart, %s: design floor - platform floor = %s ms a minute.\n", d, shown("%.2f")
    printf "Each element's cost is read in one process that has it in alternate 10-s blocks (median of\n"
    printf "%d rounds); the clock's also holds the design floor's redraw at the minute change, which\n", rounds[d, "toggle"]
    printf "only the clock brings about. The share is of the median difference between the floors.\n\n"
    printf "| %-16s | %-26s | %16s |\n", "element", "cost, ms a minute", "share of the gap"
    printf "|------------------|----------------------------|-----------------:|\n"
    split("owner window:owner,top-most:topmost,hidden cursor:cursor,clock read:clock,class styles:styles," \
      "all five:all", elements, ",")
    for (e = 1; e in elements; e++) {
      split(elements[e], part, ":")
      redraw = part[2] == "clock" || part[2] == "all" ? stats(d, "change:design") : 0
      c = over(d, "toggle", part[2]) + redraw
      lo += redraw
      med = c
      hi += redraw
      printf "| %-16s | %-26s | %14.0f %% |\n", part[1], shown("%.2f"), gap != 0 ? 100 * c / gap : 0
      if (part[2] == "all") all = c
    }
    printf "| %-16s | %-26.2f | %14.0f %% |\n", "what remains", gap - all, gap != 0 ? 100 * (gap - all) / gap : 0
    for (j = 1; j <= desktopCount; j++) {
      other = desktops[j]
      if (other == d || rounds[other, "toggle"]) continue
      otherGap = stats(other, "gap")
      printf "| %-16s | %-26.2f | %14.0f %% |\n", "second monitor", otherGap - gap,
        otherGap != 0 ? 100 * (otherGap - gap) / otherGap : 0
      printf "\nThe second monitor's row is what the difference between the floors gains on %s, and\n", other
      printf "its share is of the difference there (%.2f ms a minute).\n", otherGap
    }
  }

  printf "\nPeak memory (VmHWM) in MiB, median of the rounds [lowest, highest round]. The faces' share:\n"
  printf "a bitmap of 4 bytes a pixel per monitor, and the glyphs the system keeps for the fonts of the\n"
  printf "faces the round drew, three while each window was placed and one at each minute change\n"
  printf "(measured in process after the round, the working set's growth beyond the bitmaps). The\n"
  printf "last but one column is the saver's own: each round's saver less its design floor and faces.\n\n"
  printf "| %-10s | %8s | %12s | %9s | %-20s | %-22s | %14s |\n", "desktop", "saver", "design floor", "+ bitmaps",
    "+ glyphs", "saver - floor - faces", "platform floor"
  printf "|------------|---------:|-------------:|----------:|----------------------|------------------------|---------------:|\n"
  for (k = 1; k <= desktopCount; k++) {
    d = desktops[k]
    saver = stats(d, "peak:saver")
    design = stats(d, "peak:design")
    bitmapMiB = stats(d, "bitmaps")
    printf "| %-10s | %8.1f | %12.1f | %9.1f | %-20s | %-22s | %14.1f |\n", d, saver, design, bitmapMiB,
      spread(d, "glyphs", "%.1f"), spread(d, "own", "%.1f"), stats(d, "peak:platform")
    printf "memory %s\t%.3f\t%.3f\n", d, saver, design + bitmapMiB >> rows
  }
}
