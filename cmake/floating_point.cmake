# Every step is evaluated in double precision in exactly the order written, and never fused
# into a multiply-add, so an orbit is the same number for number in every build type and on
# every machine. Tests assert orbits to the bit on that basis.
add_library(quorvane_fp INTERFACE)
target_compile_options(quorvane_fp INTERFACE -ffp-contract=off -fno-fast-math)
