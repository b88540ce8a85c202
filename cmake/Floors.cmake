# The program is built as floors, one static library each, from the ground
# up: a floor sees its own folder and the folders of the floors it stands
# on, and nothing above. Each floor compiles against an include root of its
# own, in the build tree, that holds links to exactly those folders; an
# include that climbs names a file its root does not have, and that source
# fails to build. The sources name every include by its path from src/.
set(QUILLOW_FLOOR_ROOTS ${CMAKE_BINARY_DIR}/floors)

# quillow_floor(<target> FOLDER <folder under src> [ON <floor targets>...]
#               SOURCES <sources>...)
function(quillow_floor target)
    cmake_parse_arguments(FLOOR "" "FOLDER" "ON;SOURCES" ${ARGN})
    set(folders ${FLOOR_FOLDER})
    foreach(below IN LISTS FLOOR_ON)
        get_target_property(seen ${below} QUILLOW_FLOOR_FOLDERS)
        list(APPEND folders ${seen})
    endforeach()
    list(REMOVE_DUPLICATES folders)

    set(root ${QUILLOW_FLOOR_ROOTS}/${target})
    quillow_floor_root(${root} ${folders} res)

    add_library(${target} STATIC ${FLOOR_SOURCES})
    set_target_properties(${target} PROPERTIES QUILLOW_FLOOR_FOLDERS "${folders}")
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${FLOOR_ON})
    quillow_lean(${target})
endfunction()

# Makes <root> hold a link to src/<folder> for each folder given. A folder
# inside another one given (ui/themed inside ui) needs no link of its own;
# one given without its parent (ui/themed alone) gets a real parent folder,
# so that the parent's other files stay out of reach.
function(quillow_floor_root root)
    file(REMOVE_RECURSE ${root})
    foreach(folder IN LISTS ARGN)
        set(covered FALSE)
        foreach(other IN LISTS ARGN)
            string(FIND "${folder}" "${other}/" at)
            if(at EQUAL 0)
                set(covered TRUE)
            endif()
        endforeach()
        if(NOT covered)
            get_filename_component(parent ${root}/${folder} DIRECTORY)
            file(MAKE_DIRECTORY ${parent})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
        endif()
    endforeach()
endfunction()
