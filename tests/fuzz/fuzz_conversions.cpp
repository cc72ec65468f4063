// SPDX-License-Identifier: MIT
#include "parsing/conversions.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

template <typename Narrow, typename Wide>
void checkWithin(const std::optional<Narrow>& narrow, const std::optional<Wide>& wide) {
    // A number that fits the narrower type is read the same by the wider one.
    if (narrow) {
        check(wide.has_value() && static_cast<Wide>(*narrow) == *wide);
    }
}

} // namespace

// Input: any bytes, read as the text of one stored value.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvora;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::optional<double> number = parseNumber(text);
    const std::optional<float> single = toSingle(text);
    const std::optional<std::int16_t> int16 = toInt16(text);
    const std::optional<std::int32_t> int32 = toInt32(text);
    const std::optional<std::uint8_t> byte = toByte(text);

    // Every typed read goes through the number, and a number is always finite.
    if (!number) {
        check(!single && !int16 && !int32 && !byte);
        return 0;
    }
    check(std::isfinite(*number));
    checkWithin(byte, int16);
    checkWithin(int16, int32);

    if (single) {
        // A window position written back must read as the very same value.
        const std::string written = singleToText(*single);
        const std::optional<float> reread = toSingle(written);
        check(reread.has_value());
        check(std::memcmp(&*reread, &*single, sizeof(float)) == 0);
        check(written.find_first_not_of("-0123456789.") == std::string::npos);
    }
    return 0;
}
