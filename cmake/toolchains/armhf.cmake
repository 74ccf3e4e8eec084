# Cross build for the camera: 32-bit ARM, hard-float, Linux (arm-linux-gnueabihf).
#
# Uses Debian's cross toolchain (crossbuild-essential-armhf) and the armhf multiarch
# -dev packages of every dependency, installed by `scripts/bootstrap.sh --armhf`.
# Tests run on the build machine under qemu-user; CTest prefixes each test binary
# with CMAKE_CROSSCOMPILING_EMULATOR.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(DW_CROSS_TRIPLET arm-linux-gnueabihf)
set(CMAKE_C_COMPILER ${DW_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${DW_CROSS_TRIPLET}-g++)
set(CMAKE_ASM_COMPILER ${DW_CROSS_TRIPLET}-gcc)
# Debian multiarch: armhf libraries live in /usr/lib/arm-linux-gnueabihf, their CMake
# package files (GTest, benchmark) in /usr/lib/arm-linux-gnueabihf/cmake.
set(CMAKE_LIBRARY_ARCHITECTURE ${DW_CROSS_TRIPLET})

# Libraries, headers and packages come from the armhf side only: the cross
# toolchain's own root and the multiarch directories under /, which
# CMAKE_LIBRARY_ARCHITECTURE selects. Programs (Python, the code generators) are
# the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${DW_CROSS_TRIPLET} /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must see the armhf .pc files and nothing of the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${DW_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm;-L;/)

# Large-file support: off_t, ino_t and struct stat become 64-bit. Without it, stat()
# and readdir() fail with EOVERFLOW on files with 64-bit inode numbers or directory
# cookies (ext4 hands those to any process under qemu-user). The Debian armhf
# libraries we link are built the same way and take offsets as goffset/gint64, never
# as off_t, so their ABI is untouched.
#
# 64-bit time_t (-D_TIME_BITS=64) is deliberately NOT enabled. Bookworm's armhf
# libraries, and the camera firmware's platform libraries we stand in for, are built
# with a 32-bit time_t; a mixed build breaks silently wherever time_t or a struct
# holding one (struct timeval, struct timespec, struct stat) crosses a library
# boundary or sits in an inline function compiled into both sides (GLib's
# g_date_set_time_t, C++ inline functions of the static GoogleTest libraries).
# GTimeVal, used by the platform event interface, holds glong fields and is 32-bit
# either way. The code stays Y2038-safe by never doing arithmetic in time_t: times
# are gint64/int64_t microseconds (g_get_monotonic_time, g_get_real_time).
# Switch to 64-bit time_t together with the firmware and its libraries, not before.
set(CMAKE_C_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
