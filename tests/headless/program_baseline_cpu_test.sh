#!/bin/sh
# The built program, which holds the lane runs' AVX2 code, on a processor of the baseline x86-64
# without AVX2. Its only AVX instructions are in the functions it calls after asking the
# processor (the lane runs' advanceAvx2, the spectrum's carryAvx2, and the headless run's
# clearing of the upper vector halves), and it runs a headless command on QEMU's Nehalem to the same output as here.
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
echo "the program runs without AVX2; its AVX code is only where the processor is asked first"
