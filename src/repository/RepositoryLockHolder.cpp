#include "repository/RepositoryLockHolder.h"

#include "platform/TextFile.h"

#include <nlohmann/json.hpp>

namespace trelmig {

namespace {

constexpr std::uintmax_t kRosterMaxBytes = 1 << 20;

// "vm@3281355014145" is borg's host name and a number for the machine.
std::string hostOf(const std::string& hostId) {
    return hostId.substr(0, hostId.rfind('@'));
}

std::optional<std::string> holderIn(const nlohmann::json& holders) {
    if (!holders.is_array() || holders.empty())
        return std::nullopt;
    const auto& first = holders.front();
    if (!first.is_array() || first.size() < 2 || !first[0].is_string() ||
        !first[1].is_number_integer())
        return std::nullopt;
    return "process " + std::to_string(first[1].get<long long>()) + " on host " +
           hostOf(first[0].get<std::string>());
}

} // namespace

std::optional<std::string> RepositoryLockHolder(const RepositoryAddress& address) {
    if (IsRemoteRepository(address))
        return std::nullopt;
    std::string text;
    try {
        text = readFileBytes(std::filesystem::path(address.url) / "lock.roster", kRosterMaxBytes);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const auto roster = nlohmann::json::parse(text, nullptr, false);
    if (roster.is_discarded() || !roster.is_object())
        return std::nullopt;
    for (const char* kind : {"exclusive", "shared"})
        if (const auto it = roster.find(kind); it != roster.end())
            if (auto holder = holderIn(*it))
                return holder;
    return std::nullopt;
}

} // namespace trelmig
