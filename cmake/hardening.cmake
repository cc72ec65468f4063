# SPDX-License-Identifier: MIT
# The hardening Debian builds its packages with (dpkg-buildflags with
# hardening=+all): stack protector, checked string and memory functions,
# format checks, and a relocation table made read-only after loading. Every
# Linux build gets it, so that the tests run the code the package ships. The
# sanitizer and fuzz builds bring checks of their own that fortify would hide.
if(NOT CMAKE_SYSTEM_NAME STREQUAL Linux OR KELVORA_SANITIZE OR KELVORA_FUZZ)
    return()
endif()

add_compile_options(-fstack-protector-strong -fstack-clash-protection -Wformat -Werror=format-security)
# Fortify needs the optimiser; a Debug build would only warn.
add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
add_link_options(-Wl,-z,relro -Wl,-z,now)
