#include "platform/UnfinishedWork.h"

#include "platform/StateFolder.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <system_error>

namespace trelmig {

namespace {

std::optional<std::filesystem::path> noteOf(std::string_view key) {
    const auto state = ProgramStateFolder();
    if (!state)
        return std::nullopt;
    std::uint64_t hash = 14695981039346656037ULL; // FNV-1a
    for (const unsigned char c : key) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    char name[40];
    std::snprintf(name, sizeof name, "%016llx.unfinished", static_cast<unsigned long long>(hash));
    return *state / "unfinished" / name;
}

} // namespace

bool UnfinishedWorkLeft(std::string_view key) {
    const auto note = noteOf(key);
    if (!note)
        return true;
    std::error_code ec;
    const bool exists = std::filesystem::exists(*note, ec);
    return exists || ec;
}

bool NoteWorkBegins(std::string_view key) {
    const auto note = noteOf(key);
    if (!note)
        return false;
    std::error_code ec;
    std::filesystem::create_directories(note->parent_path(), ec);
    std::ofstream out(*note, std::ios::trunc);
    out << key << '\n';
    out.flush();
    return static_cast<bool>(out);
}

void NoteWorkFinished(std::string_view key) {
    if (const auto note = noteOf(key)) {
        std::error_code ec;
        std::filesystem::remove(*note, ec);
    }
}

} // namespace trelmig
