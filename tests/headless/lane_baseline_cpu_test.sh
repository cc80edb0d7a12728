#!/bin/sh
# The lane tests on an emulated processor of the baseline x86-64 without AVX2 (QEMU's Nehalem):
# the lane runs choose their scalar code there and give the program's numbers, and nothing of
# the suite runs an AVX2 instruction. As a check on the check, the AVX2 code called past the
# choice must stop there with an illegal instruction.
#
#   lane_baseline_cpu_test.sh QUORVANE_LANE_TESTS
set -u
tests=$1
qemu="qemu-x86_64 -cpu Nehalem"

out=$($qemu "$tests" 2>&1)
status=$?
if [ $status -ne 0 ]; then
  echo "$out"
  echo "FAIL: the lane tests failed without AVX2 (status $status)"
  exit 1
fi
# Every test of the AVX2 code is skipped there, since the processor has none.
skipped=$(echo "$out" | grep -c '^\[  SKIPPED \] Code/LaneRunTest\..*/Avx2')
if [ "$skipped" -eq 0 ]; then
  echo "$out"
  echo "FAIL: the AVX2 tests were not skipped: the emulated processor has AVX2?"
  exit 1
fi

QUORVANE_CALL_AVX2_CODE=1 $qemu "$tests" \
  --gtest_filter=LaneCodeChoice.TheAvx2CodeCalledPastTheChoice >/dev/null 2>&1
status=$?
if [ $status -ne 132 ]; then # 128 + SIGILL
  echo "FAIL: the AVX2 code ran without AVX2 (status $status): the emulator does not refuse it"
  exit 1
fi
echo "the lane tests pass without AVX2, where the AVX2 code would fault"
