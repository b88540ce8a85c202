# Dependencies are cross-built by scripts/setup into one prefix under build/.
set(QUILLOW_DEPS_PREFIX "${CMAKE_SOURCE_DIR}/build/deps/mingw64" CACHE PATH "Cross-built dependencies")

add_library(pcre STATIC IMPORTED GLOBAL)
set_target_properties(pcre PROPERTIES
    IMPORTED_LOCATION "${QUILLOW_DEPS_PREFIX}/lib/libpcre.a"
    INTERFACE_INCLUDE_DIRECTORIES "${QUILLOW_DEPS_PREFIX}/include"
    INTERFACE_COMPILE_DEFINITIONS PCRE_STATIC)

add_library(gtest STATIC IMPORTED GLOBAL)
set_target_properties(gtest PROPERTIES
    IMPORTED_LOCATION "${QUILLOW_DEPS_PREFIX}/lib/libgtest.a"
    INTERFACE_INCLUDE_DIRECTORIES "${QUILLOW_DEPS_PREFIX}/include")

add_library(gtest_main STATIC IMPORTED GLOBAL)
set_target_properties(gtest_main PROPERTIES
    IMPORTED_LOCATION "${QUILLOW_DEPS_PREFIX}/lib/libgtest_main.a"
    INTERFACE_LINK_LIBRARIES gtest)
