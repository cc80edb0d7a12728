# Manual pages and changelogs are installed gzipped at the highest level and without the file's
# name and time stamp, as Debian keeps them, so two builds of one source give the same bytes.
find_program(QUORVANE_GZIP gzip REQUIRED)

# Adds the target NAME, built by default, that writes SOURCE gzipped to OUTPUT.
function(quorvane_gzip name source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${QUORVANE_GZIP} -9 -n -c ${source} > ${output}
    DEPENDS ${source}
    COMMENT "Compressing ${output}"
    VERBATIM)
  add_custom_target(${name} ALL DEPENDS ${output})
endfunction()
