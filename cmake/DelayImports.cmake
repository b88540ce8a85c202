# A system DLL that Quillow needs only for one thing the user does (the file
# dialog, the settings window's art, the mute action) is imported on first
# call instead of at start: an idle tray program should not map it, nor what
# it pulls in behind it (the file dialog alone brings the printer spooler).
# Each DLL gets an import library of our own, built from cmake/delay/NAME.def,
# which lists the few functions we call.
find_program(QUILLOW_DLLTOOL NAMES ${QUILLOW_MINGW_TRIPLE}-dlltool REQUIRED)

function(quillow_delay_import target)
    foreach(dll IN LISTS ARGN)
        set(def ${PROJECT_SOURCE_DIR}/cmake/delay/${dll}.def)
        set(library ${CMAKE_BINARY_DIR}/delay/lib${dll}_delay.a)
        if(NOT TARGET delay_${dll})
            add_custom_command(OUTPUT ${library}
                COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay
                COMMAND ${QUILLOW_DLLTOOL} --input-def ${def} --output-delaylib ${library}
                DEPENDS ${def} VERBATIM)
            add_custom_target(delay_${dll} DEPENDS ${library})
        endif()
        add_dependencies(${target} delay_${dll})
        target_link_libraries(${target} PUBLIC ${library})
    endforeach()
endfunction()
