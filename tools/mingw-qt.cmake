# The toolchain Qt itself is cross-built with (tools/windows-deps.sh).
# It is tools/mingw-w64-posix.cmake without what only the project's own
# programs want: Qt's build runs nothing under Wine, finds zlib through the
# flags windows-deps.sh passes, and its static libraries take no linker
# flags from here. The project still links with mingw-w64-posix.cmake,
# chain-loaded by Qt's qt.toolchain.cmake.
# windows-deps.sh hashes this file: any change here rebuilds Qt.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUOR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUOR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUOR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUOR_MINGW_TRIPLET}-windres)

# Statically linked, Qt and the program each bring copies of the same inline
# and template functions, and the linker keeps one of them. GCC's
# interprocedural register allocation lets a caller keep values in
# registers that its own copy of a callee happens not to touch; the copy
# the linker kept may touch them (seen: QTemporaryFileName's random names
# calling a std::mt19937 of the program's, a page fault in every QSaveFile).
set(CMAKE_C_FLAGS_INIT "-fno-ipa-ra")
set(CMAKE_CXX_FLAGS_INIT "-fno-ipa-ra")

set(CMAKE_FIND_ROOT_PATH /usr/${QUOR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
