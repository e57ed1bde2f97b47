#include "platform/UnfinishedWork.h"

#include "platform/HashedName.h"
#include "platform/StateFolder.h"

#include <fstream>
#include <optional>
#include <system_error>

namespace trelmig {

namespace {

std::optional<std::filesystem::path> noteOf(std::string_view key) {
    const auto state = ProgramStateFolder();
    if (!state)
        return std::nullopt;
    return *state / "unfinished" / (HashedName(key) + ".unfinished");
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
