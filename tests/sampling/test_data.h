// SPDX-License-Identifier: MIT
#pragma once

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace kelvora {

// The whole content of a sample file in tests/data.
inline std::string readTestData(const std::string& name) {
    std::ifstream file(std::string(KELVORA_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    if (!file) {
        throw std::runtime_error("missing test data file " + name);
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace kelvora
