// SPDX-License-Identifier: MIT
#include "format/number_format.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

// Input: eight bytes of a double (so NaN, infinities and subnormals all occur), then the pattern.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double value = 0;
    if (size < sizeof value) {
        return 0;
    }
    std::memcpy(&value, data, sizeof value);
    const std::string_view pattern(reinterpret_cast<const char*>(data) + sizeof value,
                                   size - sizeof value);

    const std::string english = kelvora::Format(value, pattern, ".");
    const std::string polish = kelvora::Format(value, pattern, ",");
    // The separator is the only difference, and both are one byte long.
    if (english.size() != polish.size()) {
        std::abort();
    }
    // A NUL the pattern does not bring in means rendering wrote past the length it allowed for.
    if (pattern.find('\0') == std::string_view::npos && english.find('\0') != std::string::npos) {
        std::abort();
    }
    return 0;
}
