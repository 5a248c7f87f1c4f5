# CMake toolchain file for cross-building to 64-bit Windows with Debian's
# MinGW-w64 (posix threads flavour: std::thread and std::mutex need it).
#
#   apt-get install g++-mingw-w64-x86-64-posix
#   cmake -G Ninja -S . -B build-win \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCMAKE_PREFIX_PATH="$(scripts/windows-qt.sh)"
#
# Libraries, headers and CMake packages are looked up only inside the MinGW
# sysroot and inside the prefixes given by CMAKE_PREFIX_PATH (such as the Qt
# that scripts/windows-qt.sh builds), never in the host's /usr; programs
# (moc, uic, rcc, ...) are looked up on the host.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)
# ar, ranlib, nm, strip, objdump: CMake derives them from the compiler's
# x86_64-w64-mingw32- prefix.

# The sysroot plus every prefix of CMAKE_PREFIX_PATH are roots: without the
# latter, "ONLY" below would re-root a prefix such as ~/.cache/quillbox/...
# under /usr/x86_64-w64-mingw32 and find_package(Qt6) would fail.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
foreach(_quillbox_prefix IN LISTS CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH "${_quillbox_prefix}")
endforeach()
unset(_quillbox_prefix)
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No QT_HOST_PATH here: a Qt built by scripts/windows-qt.sh remembers the
# host Qt it was built with (/usr, Debian's qt6-base-dev-tools) and finds
# moc, rcc and uic there by itself.
