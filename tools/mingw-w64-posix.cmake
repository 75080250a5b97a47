# Cross build for 64-bit Windows with Debian's mingw-w64 toolchain.
# The posix thread variant is needed: the win32 one has no std::mutex, and
# GoogleTest does not build without it. Programs are linked statically so
# that they run under Wine without the toolchain's runtime DLLs.
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

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The import library would pull in zlib1.dll; the archive keeps it inside.
set(ZLIB_LIBRARY /usr/${QUOR_MINGW_TRIPLET}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR /usr/${QUOR_MINGW_TRIPLET}/include CACHE PATH "")

# Test programs (and GoogleTest's discovery) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
