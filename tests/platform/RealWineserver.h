#pragma once

#include "RunShell.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// A real wineserver kept running for a scratch prefix ("wineserver -p"), and
// stopped with "wineserver -k" when it goes. Tests that use one skip when
// 64-bit Wine is not installed.
class RealWineserver {
public:
    // Debian keeps the server beside Wine's libraries when only wine64 is
    // installed.
    static std::optional<std::string> program() {
        if (RunShell("command -v wine64 || test -x /usr/lib/wine/wine64").status != 0)
            return std::nullopt;
        for (const char* candidate :
             {"/usr/bin/wineserver", "/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver"})
            if (access(candidate, X_OK) == 0)
                return candidate;
        return std::nullopt;
    }

    // environment: extra "NAME=value " assignments for the server (TMPDIR).
    RealWineserver(std::string program, const std::filesystem::path& prefix,
                   std::string environment = "")
        : command_("env " + environment + " WINEPREFIX='" + prefix.string() + "' " + program),
          prefix_(prefix) {
        // The server keeps running: it must not hold the pipe we read.
        started_ = RunShell(command_ + " -p </dev/null >/dev/null 2>&1").status == 0;
    }
    ~RealWineserver() { stop(); }
    RealWineserver(const RealWineserver&) = delete;
    RealWineserver& operator=(const RealWineserver&) = delete;

    bool started() const { return started_; }
    void stop() {
        if (started_) {
            RunShell(command_ + " -k");
            removeServerFolder();
        }
        started_ = false;
    }

private:
    // Debian's server folder ("wine-XXXXXX", named in the prefix) is made
    // for this prefix alone and outlives the server.
    void removeServerFolder() const {
        std::ifstream named(prefix_ / "wineserver");
        std::string name;
        if (!std::getline(named, name) || !name.starts_with("wine-") ||
            name.find('/') != std::string::npos)
            return;
        std::vector<std::filesystem::path> bases{"/tmp"};
        if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp)
            bases.emplace_back(tmp);
        std::error_code ec;
        for (const auto& base : bases)
            std::filesystem::remove_all(base / name, ec);
    }

    std::string command_;
    std::filesystem::path prefix_;
    bool started_ = false;
};

// Waits (up to ten seconds) until condition holds: a server takes a moment
// to take its lock and to let it go.
inline bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}
