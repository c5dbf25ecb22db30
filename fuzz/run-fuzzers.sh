#!/usr/bin/env bash
# Runs each fuzz harness for a set time, one after the other:
#   fuzz/run-fuzzers.sh BUILD_DIR SECONDS HARNESS...
# The committed inputs (fuzz/corpus/NAME, fuzz/regressions/NAME) seed each
# run; what the fuzzer adds goes to BUILD_DIR/corpus/NAME and survives from
# run to run. A finding is written to BUILD_DIR/findings/ and stops the run:
# mend the fault, then commit the input to fuzz/regressions/NAME.
set -euo pipefail

build=$1
seconds=$2
shift 2
source=$(cd "$(dirname "$0")" && pwd)

# The number harness runs under a locale whose decimal point is two bytes of
# UTF-8, generated here rather than on the system.
locales="$build/locales"
if [ ! -d "$locales/ps_AF.UTF-8" ]; then
  mkdir -p "$locales"
  localedef -i ps_AF -f UTF-8 "$locales/ps_AF.UTF-8"
fi

# Inputs beyond these lengths add little: a capture file needs some blocks of
# 1024 bytes and half a second of noise window, a precise reading a third of
# a second (a note from about 40 Hz up), a temperament file 491 bytes and one
# more, a number 12, a scale file a few hundred short lines, the tracker a third
# of a second of samples (fed up to 16 times over, so that a note is held), a
# piano file its curve and a few dozen readings.
declare -A longest=([capture]=65536 [precise]=32768 [soundfile]=32768 [temperament]=600 [numbers]=16 [scala]=4096 [tracker]=32768 [piano]=16384)

mkdir -p "$build/findings"
for harness in "$@"; do
  mkdir -p "$build/corpus/$harness"
  seeds=("$source/corpus/$harness")
  [ -d "$source/regressions/$harness" ] && seeds+=("$source/regressions/$harness")
  echo "== $harness: $seconds s"
  LOCPATH="$locales" LC_ALL=ps_AF.UTF-8 LSAN_OPTIONS="suppressions=$source/../tests/lsan.supp:print_suppressions=0" \
    "$build/fuzz/tonarel_fuzz_$harness" \
    "$build/corpus/$harness" "${seeds[@]}" \
    -max_total_time="$seconds" -max_len="${longest[$harness]}" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/findings/$harness-" -print_final_stats=1
done
