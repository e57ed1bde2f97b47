#pragma once

// The repositories a round trip also goes through: a folder beside the case's
// prefixes, and an ssh:// address on a private sshd whose key may only run
// "borg serve --append-only" (one server for the whole binary, started when a
// case first asks for it).
#include <filesystem>
#include <optional>
#include <string>

namespace roundtrip {

struct RepositoryPlace {
    std::string url;
    std::string environment; // "NAME='value' ...", put before the program's command line
};

// A folder repository's place below root, with borg's own state beside it.
RepositoryPlace localRepository(const std::filesystem::path& root);
// The place on the server for a repository of that name; nullopt when the
// server cannot run here, with the reason in why.
std::optional<RepositoryPlace> sshRepository(const std::string& name, std::string& why);

} // namespace roundtrip
