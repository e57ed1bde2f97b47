#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// A real data file: enron.pst of the pst-extractor package, where
// "scripts/bootstrap pst" puts it (TRELMIG_PST_DIR, else ~/.cache/trelmig/pst).
// Empty when it is not there.
inline std::string EnronPst() {
    const char* dir = std::getenv("TRELMIG_PST_DIR");
    const char* home = std::getenv("HOME");
    const std::filesystem::path folder =
        dir && *dir ? std::filesystem::path(dir)
                    : std::filesystem::path(home ? home : "/nonexistent") / ".cache/trelmig/pst";
    const std::filesystem::path path = folder / "enron.pst";
    return std::filesystem::exists(path) ? path.string() : std::string();
}
