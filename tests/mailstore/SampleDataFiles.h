#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// Where "scripts/bootstrap pst" puts the real data files of the pst-extractor
// package (scripts/test runs it): TRELMIG_PST_DIR, else ~/.cache/trelmig/pst.
inline std::filesystem::path PstSampleDir() {
    if (const char* dir = std::getenv("TRELMIG_PST_DIR"); dir && *dir)
        return dir;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : "/nonexistent") / ".cache/trelmig/pst";
}

// enron.pst there; empty when it is not there.
inline std::string EnronPst() {
    const std::filesystem::path path = PstSampleDir() / "enron.pst";
    return std::filesystem::exists(path) ? path.string() : std::string();
}
