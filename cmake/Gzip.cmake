include_guard(GLOBAL)

# Manual pages and the Debian changelog ship compressed the way Debian wants
# them: best compression, and no file name or time stamp in the header, so the
# same sources give the same package bytes on every build.
find_program(QORNV_GZIP gzip REQUIRED)

function(qornv_gzip output input)
    add_custom_command(OUTPUT ${output}
        COMMAND ${QORNV_GZIP} -9n -c ${input} > ${output}
        DEPENDS ${input}
        VERBATIM)
endfunction()
