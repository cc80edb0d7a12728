# AddressSanitizer and UndefinedBehaviorSanitizer for the asan preset, halting on the first
# report. float-cast-overflow is named on its own because GCC leaves it out of "undefined": a
# double or float converted to an integer it does not fit is exactly the fault this program's
# plot path has to guard against.
option(QUORVANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(QUORVANE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow
                      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all)
endif()
