#pragma once
// The golden files of the source tree, for window tests that run the same chains in
// the window.

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace trelvan::testing {

// The whole file tests/golden/NAME, empty when it cannot be read.
inline std::string goldenFile(const std::string& name) {
    std::ifstream in(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace trelvan::testing
