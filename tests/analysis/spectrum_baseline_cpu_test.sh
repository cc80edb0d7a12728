#!/bin/sh
# The spectrum's tests on an emulated processor of the baseline x86-64 without AVX2 (QEMU's
# Nehalem): the tangent vectors are carried by the baseline code there, with the program's
# numbers, and nothing runs an AVX2 instruction (which would stop the tests with an illegal
# instruction). The test of the AVX2 code against the baseline code is skipped there.
#
#   spectrum_baseline_cpu_test.sh QUORVANE_ANALYSIS_TESTS
set -u
tests=$1

out=$(qemu-x86_64 -cpu Nehalem "$tests" \
  --gtest_filter='Spectra.*:SingularStep.*:NotSmooth.*:HopalongSpectrum.*:TangentStep.*' 2>&1)
status=$?
if [ $status -ne 0 ]; then
  echo "$out"
  echo "FAIL: the spectrum's tests failed without AVX2 (status $status)"
  exit 1
fi
if ! echo "$out" | grep -q '^\[  SKIPPED \] Spectra\.AreTheSameInTheBaselineAndTheAvx2Code'; then
  echo "$out"
  echo "FAIL: the AVX2 test was not skipped: the emulated processor has AVX2?"
  exit 1
fi
