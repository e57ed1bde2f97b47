#include "RepositoryRoutes.h"

#include "HostFiles.h"
#include "RemoteBorgServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace roundtrip {

namespace {

std::unique_ptr<RemoteBorgServer>& server() {
    static std::unique_ptr<RemoteBorgServer> running;
    return running;
}

// Stops the server when the binary's tests end, before static objects go.
class ServerStopper : public ::testing::Environment {
public:
    void TearDown() override { server().reset(); }
};

[[maybe_unused]] const auto* const kServerStopper =
    ::testing::AddGlobalTestEnvironment(new ServerStopper);

} // namespace

RepositoryPlace localRepository(const std::filesystem::path& root) {
    return {(root / "repository").string(),
            "BORG_BASE_DIR=" + shellQuoted((root / "borg").string()) + " "};
}

std::optional<RepositoryPlace> sshRepository(const std::string& name, std::string& why) {
    if (!server())
        server() = std::make_unique<RemoteBorgServer>();
    if (!server()->skipReason().empty()) {
        why = server()->skipReason();
        return std::nullopt;
    }
    return RepositoryPlace{server()->url(name), server()->clientEnv()};
}

} // namespace roundtrip
