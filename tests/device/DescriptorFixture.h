// Reads a byte fixture written as hexadecimal text: pairs of hex digits separated by
// blanks, '#' starts a comment to the end of the line.
#pragma once

#include <cstdint>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace kinemo::test {

inline std::vector<std::uint8_t> readHexFixture(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::uint8_t> bytes;
    for (std::string word; file >> word;) {
        if (word[0] == '#') file.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        else bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return bytes;
}

}  // namespace kinemo::test
