# One set of warnings for every target of the project, linked PRIVATE.
option(QUORVANE_WARNINGS_AS_ERRORS "Treat warnings as errors" OFF)

add_library(quorvane_warnings INTERFACE)
target_compile_options(quorvane_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wold-style-cast -Wnon-virtual-dtor
  $<$<BOOL:${QUORVANE_WARNINGS_AS_ERRORS}>:-Werror>)
