# SPDX-License-Identifier: MIT
# arm64 (aarch64) Linux with Debian's cross compilers and the arm64 libraries
# of a multiarch Debian; the test programs run under qemu-user. Debian's arm64
# Qt finds the build machine's moc, rcc and uic by itself.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)
