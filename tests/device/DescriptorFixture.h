// Reads a byte fixture written as hexadecimal text: pairs of hex digits separated by
// blanks, lines starting with '#' are comments. Shared by the unit tests and the
// program that plays the remote in the kernel test.
#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kinemo::test {

inline std::vector<std::uint8_t> readHexFixture(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::uint8_t> bytes;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string word;
        while (words >> word) bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return bytes;
}

}  // namespace kinemo::test
