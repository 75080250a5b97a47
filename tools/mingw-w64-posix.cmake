# Cross build for 64-bit Windows with Debian's mingw-w64 toolchain: the
# one Qt is built with (compilers, search roots, -fno-ipa-ra), plus what
# only the project's own programs want. The posix thread variant is needed:
# the win32 one has no std::mutex, and GoogleTest does not build without
# it. Programs are linked statically so that they run under Wine without
# the toolchain's runtime DLLs.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-qt.cmake)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The import library would pull in zlib1.dll; the archive keeps it inside.
set(ZLIB_LIBRARY /usr/${QUOR_MINGW_TRIPLET}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR /usr/${QUOR_MINGW_TRIPLET}/include CACHE PATH "")

# Test programs (and GoogleTest's discovery) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
