#!/bin/sh
# The built program, which holds the lane runs' AVX2 code, on a processor of the baseline x86-64
# without AVX2. Its only AVX instructions are in the functions it calls after asking the
# processor (the lane runs' advanceAvx2, the spectrum's carryAvx2, and the headless run's
# clearing of the upper vector halves), and it runs a headless command on QEMU's Nehalem to the same output as here, a map's
# CSV file included, which here comes from its runs in lanes.
#
#   program_baseline_cpu_test.sh QUORVANE
set -u
program=$1
qemu="qemu-x86_64 -cpu Nehalem"

# Every function with an instruction of AVX or later (their mnemonics begin with v), but those.
outside=$(objdump -d --no-show-raw-insn "$program" | awk '
  /^[0-9a-f]+ <.*>:$/ { name = $2 }
  /^ +[0-9a-f]+:\t/ {
    split($0, field, "\t"); split(field[2], word, " ")
    if (word[1] ~ /^v/ && name !~ /advanceAvx2|carryAvx2|clearUpperVectorHalves/) print name
  }' | sort -u)
if [ -n "$outside" ]; then
  echo "$outside" | c++filt
  echo "FAIL: AVX instructions outside the code chosen by the processor's features"
  exit 1
fi

for run in "lyapunov lorenz --transient 1000 --steps 20000" \
    "lyapunov lorenz --transient 1000 --steps 20000 --spectrum"; do
  native=$("$program" $run 2>&1) || { echo "$native"; echo "FAIL: $run"; exit 1; }
  emulated=$($qemu "$program" $run 2>&1)
  status=$?
  if [ $status -ne 0 ] || [ "$emulated" != "$native" ]; then
    echo "$emulated"
    echo "FAIL: quorvane $run without AVX2 (status $status), or not what it gives here"
    exit 1
  fi
done

# A map makes its runs four at a time in vector lanes where the processor has AVX2, and one at a
# time without: the same CSV file, byte for byte, here and on the emulated processor. Seven
# values across leave a group of three lanes in every row; a flow and a map with sign and square
# root.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
grep -qw avx2 /proc/cpuinfo || echo "note: no AVX2 here either; the maps compare the one-at-a-time runs"
for plane in "lorenz --x b=20:60 --y a=5:15" "hopalong --x a=-5:5 --y b=0.5:3"; do
  # shellcheck disable=SC2086 # split on purpose
  run="map $plane --size 7x5 --steps 2000 --transient 200 -q"
  "$program" $run --csv "$work/native.csv" >/dev/null 2>&1 || { echo "FAIL: quorvane $run"; exit 1; }
  $qemu "$program" $run --csv "$work/emulated.csv" >/dev/null 2>&1
  status=$?
  if [ $status -ne 0 ] || ! cmp "$work/native.csv" "$work/emulated.csv"; then
    echo "FAIL: quorvane $run without AVX2 (status $status), or not the CSV file it writes here"
    exit 1
  fi
done
echo "the program runs without AVX2; its AVX code is only where the processor is asked first"
