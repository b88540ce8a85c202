# Toolchain for cross-building 64-bit Windows binaries on Debian with MinGW-w64.
# The -posix compiler variants are used because GoogleTest and std::thread
# need the winpthreads-based threading model.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLOW_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${QUILLOW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLOW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${QUILLOW_MINGW_TRIPLE}-windres)

# Derived from this file's location rather than CMAKE_SOURCE_DIR, because the
# same toolchain also drives the googletest build from /usr/src/googletest.
get_filename_component(_quillow_repo_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(QUILLOW_DEPS_PREFIX "${_quillow_repo_root}/build/deps/mingw64"
    CACHE PATH "Prefix holding cross-built third-party libraries (pcre, gtest)")

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLOW_MINGW_TRIPLE} "${QUILLOW_DEPS_PREFIX}")
# Host programs (cmake, python) must still be found on the build machine,
# while headers and libraries must only come from the target roots.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
