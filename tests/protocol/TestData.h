#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Reads a capture from the shared test data folder, as it is.
inline std::vector<uint8_t> LoadCapture(const std::string& name) {
    std::ifstream f(std::string(BRANTOR_TESTDATA_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The lines of a .log capture, without the '#' comment lines and without CR LF.
inline std::vector<std::string> LoadLogLines(const std::string& name) {
    std::ifstream f(std::string(BRANTOR_TESTDATA_DIR) + "/" + name, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(f, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        lines.push_back(line);
    }
    return lines;
}
