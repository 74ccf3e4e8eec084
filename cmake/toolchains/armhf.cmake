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

# pkg-config must see the armhf .pc files and nothing of the build machine's;
# armhf-pkgconfig/ stands in for the armhf -dev packages that Debian cannot install
# here (libsoup-3.0.pc, see there).
set(ENV{PKG_CONFIG_LIBDIR}
    /usr/lib/${DW_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig:${CMAKE_CURRENT_LIST_DIR}/armhf-pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

# The test binaries run against Debian's armhf runtime (libc6:armhf and friends,
# pulled in by the -dev packages): the loader /lib/ld-linux-armhf.so.3 and the
# libc it loads come from the same package. The cross toolchain's own copy under
# /usr/arm-linux-gnueabihf is for linking only; taking its loader (-L
# /usr/arm-linux-gnueabihf) while the libraries resolve to the multiarch libc of
# another build crashes every threaded test.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm;-L;/)

# Large-file support: off_t, ino_t and struct stat become 64-bit. Without it, stat()
# and readdir() fail with EOVERFLOW on files with 64-bit inode numbers or directory
# cookies; ext4 hands such cookies to every process under qemu-user, as the host
# kernel sees a 64-bit program. The Debian armhf libraries we link are built with
# large-file support too and pass offsets as goffset/gint64, never as off_t, so
# their ABI is untouched.
#
# 64-bit time_t (-D_TIME_BITS=64) is deliberately NOT enabled. Bookworm's armhf
# libraries are built with a 32-bit time_t, and so must the camera firmware's
# platform libraries be assumed to be. A mixed build breaks silently wherever time_t
# or a struct holding one (struct timeval, struct timespec, struct stat) crosses a
# library boundary or sits in an inline function compiled into both sides (GLib's
# g_date_set_time_t, C++ inline functions of the static GoogleTest libraries).
# GTimeVal, which the platform event interface takes, holds glong fields and stays
# 32-bit either way. The code keeps clear of Y2038 by never computing in time_t:
# times are gint64/int64_t microseconds (g_get_monotonic_time, g_get_real_time).
# Switch to 64-bit time_t together with the firmware and its libraries, not before.
set(CMAKE_C_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
# -Wno-psabi: GCC notes every std::vector<std::pair<int, int64_t>> and the like whose
# parameter passing changed in GCC 7.1. Everything here is built with one compiler.
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64 -Wno-psabi")
