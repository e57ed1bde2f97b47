#pragma once

#include "core/KeepPolicy.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trelmig {

// One version (a borg archive) of a repository, as the version list shows it.
// computer, prefix, profile and items are what the run stored with it (the
// archive's comment); a version another program made has them empty.
struct RepositoryVersion {
    std::string name;      // COMPUTER-PREFIX-PROFILE-YYYY-MM-DDTHH:MM:SS
    std::int64_t time = 0; // when it was made, seconds since the epoch
    std::string computer;
    std::string prefix; // the Wine prefix's folder name
    std::string profile;
    std::string items;               // the item mask the run backed up, as on the command line
    std::uint64_t originalBytes = 0; // the size of what it holds
    std::uint64_t addedBytes = 0;    // what it added to the repository (deduplicated, compressed)
};

// The name that stands for the newest version of any source.
inline constexpr std::string_view kLatestVersionName = "latest";

// "COMPUTER-PREFIX-PROFILE": the source whose versions one keep policy
// prunes. Each part is made safe for a borg archive name and for a glob:
// '%', '-', '/', ':', '*', '?', '[', ']', '\\', spaces and control characters become
// %XX, so that a source's name never begins another source's.
std::string RepositorySourceName(std::string_view computer, std::string_view prefix,
                                 std::string_view profile);

// "SOURCE-YYYY-MM-DDTHH:MM:SS" for a local time.
std::string RepositoryVersionName(std::string_view sourceName, const VersionTime& time);

// The source part of a version name that RepositoryVersionName made; nullopt
// for any other name.
std::optional<std::string> SourceOfVersionName(std::string_view versionName);

// The comment stored with a version: "computer=...\nprefix=...\nprofile=...\n
// items=...\n", values percent-encoded where they hold '%', '=' or a line break.
std::string VersionComment(const RepositoryVersion& version);
// Fills computer, prefix, profile and items of a version from its comment;
// unknown keys and lines that are no key=value are passed over.
void ReadVersionComment(std::string_view comment, RepositoryVersion& version);

} // namespace trelmig
