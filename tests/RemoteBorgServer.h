#pragma once

#include "platform/WorkFolder.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>

// A borg server on this machine as hosted borg services run one: a private
// sshd on 127.0.0.1 and a free port, with its own host key, whose one
// authorized key may only run "borg serve --append-only --restrict-to-path"
// on the served folder. The client side (BORG_RSH with the client key and the
// server's known host key, and a private BORG_BASE_DIR) is in clientEnv(),
// for the tests' own commands only. The server is stopped and its folder
// removed when the object goes; should the test process die, sshd is sent
// SIGTERM with it.
// The bytes of the files below folder: how much a repository's data grew.
inline std::uintmax_t FolderBytes(const std::filesystem::path& folder) {
    std::uintmax_t total = 0;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec))
        if (e.is_regular_file(ec))
            total += e.file_size(ec);
    return total;
}

class RemoteBorgServer {
public:
    RemoteBorgServer();
    ~RemoteBorgServer();
    RemoteBorgServer(const RemoteBorgServer&) = delete;
    RemoteBorgServer& operator=(const RemoteBorgServer&) = delete;

    // Why the server could not start (the test skips); empty when it runs.
    const std::string& skipReason() const { return skipReason_; }

    // ssh://USER@127.0.0.1:PORT/SERVED/NAME, and the host folder behind it.
    std::string url(const std::string& name) const;
    std::filesystem::path repositoryPath(const std::string& name) const;
    // The same address on a port nothing listens on.
    std::string unreachableUrl(const std::string& name) const;
    // "BORG_RSH='...' BORG_BASE_DIR='...' ": put before a shell command.
    std::string clientEnv() const;
    const std::filesystem::path& folder() const { return work_.path(); }

    // Kills each process the server forked for a connection, as a crashed or
    // rebooted server cuts them; answers how many there were.
    int cutConnections();
    // sshd's own log (-e), for a failure's message.
    std::string log() const;

private:
    std::string start();
    void stop();

    trelmig::WorkFolder work_;
    std::string skipReason_;
    std::string user_;
    int port_ = 0;
    pid_t sshd_ = -1;
};
