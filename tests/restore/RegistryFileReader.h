#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

// A Wine registry file read here as text, without the program's own registry
// code: the hex values of every key as bytes, key paths with single
// backslashes.
using RegistryFileKeys = std::map<std::string, std::map<std::string, std::vector<unsigned char>>>;

inline RegistryFileKeys readHexValues(const std::filesystem::path& file) {
    RegistryFileKeys keys;
    std::ifstream in(file);
    std::string line, key;
    while (std::getline(in, line)) {
        if (line.starts_with("[")) {
            key.clear();
            for (std::size_t i = 1; i < line.rfind(']'); ++i) {
                if (line[i] == '\\')
                    ++i;
                key += line[i];
            }
            keys[key];
            continue;
        }
        if (!line.starts_with("\"") || line.find("\"=hex:") == std::string::npos)
            continue;
        const std::string name = line.substr(1, line.find("\"=hex:") - 1);
        std::string hex = line.substr(line.find("\"=hex:") + 6);
        while (hex.ends_with("\\") && std::getline(in, line))
            hex = hex.substr(0, hex.size() - 1) + line.substr(2);
        std::vector<unsigned char> bytes;
        std::stringstream digits(hex);
        for (std::string byte; std::getline(digits, byte, ',');)
            bytes.push_back(static_cast<unsigned char>(std::stoi(byte, nullptr, 16)));
        keys[key][name] = bytes;
    }
    return keys;
}
