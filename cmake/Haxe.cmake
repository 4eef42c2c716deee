# haxe_program(NAME SOURCE_DIR OUTPUT_DIR [DIFFERENTIAL]): SOURCE_DIR/NAME.hx compiled by
# Haxe to OUTPUT_DIR/NAME.swf (ActionScript 3 byte code, -swf-version 11, trace natively);
# with DIFFERENTIAL, also its output under Haxe's own interpreter, OUTPUT_DIR/NAME.expected,
# which the movie run by the machine must print too. The movie is appended to the caller's HAXE_MOVIES list. Compiled movies are
# build products, never committed.
find_program(HAXE haxe)
function(haxe_program name sourceDir outputDir)
    if(NOT HAXE)
        message(FATAL_ERROR "haxe is needed for the ActionScript 3 tests and benchmarks: run tools/setup-debian")
    endif()
    # A program may use the folder's other modules: it is rebuilt when any of them changes.
    file(GLOB sources CONFIGURE_DEPENDS ${sourceDir}/*.hx)
    set(movie ${outputDir}/${name}.swf)
    set(expected ${outputDir}/${name}.expected)
    add_custom_command(OUTPUT ${movie}
        COMMAND ${HAXE} -cp ${sourceDir} -main ${name} -swf ${movie} -swf-version 11 -D native_trace
        DEPENDS ${sources}
        COMMENT "Compiling ${name}.hx with Haxe")
    set(outputs ${movie})
    if("DIFFERENTIAL" IN_LIST ARGN)
        add_custom_command(OUTPUT ${expected}
            COMMAND ${HAXE} -cp ${sourceDir} -main ${name} --interp > ${expected}
            DEPENDS ${sources}
            COMMENT "Running ${name}.hx under Haxe's interpreter")
        list(APPEND outputs ${expected})
    endif()
    set(HAXE_MOVIES ${HAXE_MOVIES} ${outputs} PARENT_SCOPE)
endfunction()
