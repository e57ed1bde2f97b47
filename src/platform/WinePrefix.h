#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

// A Wine prefix: the Linux folder that stands for a Windows machine.
class WinePrefix {
public:
    explicit WinePrefix(std::filesystem::path root);

    // --prefix DIR when given, else $WINEPREFIX, else ~/.wine.
    static WinePrefix locate(const std::optional<std::filesystem::path>& explicitRoot);

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path userReg() const { return root_ / "user.reg"; }
    std::filesystem::path systemReg() const { return root_ / "system.reg"; }
    std::filesystem::path userdefReg() const { return root_ / "userdef.reg"; }
    std::filesystem::path dosdevices() const { return root_ / "dosdevices"; }

    // Host folder that a drive letter ('C', 'z', ...) maps to through
    // dosdevices/; nullopt when the prefix has no such drive.
    std::optional<std::filesystem::path> driveRoot(char letter) const;

    // True while a wineserver runs for this prefix: it holds a write lock on
    // byte 0 of <serverdir>/lock (serverdir = server-<dev>-<inode> of the
    // prefix, in hex) under /run/user/<uid>/wine, under a "wine-XXXXXX"
    // folder of $TMPDIR or /tmp (Debian's layout, whose name the prefix's
    // "wineserver" file holds), or under /tmp/.wine-<uid>.
    bool wineserverRunning() const;
    // The lock files that would be held by a running wineserver.
    std::vector<std::filesystem::path> serverLockCandidates() const;

private:
    std::filesystem::path root_;
};

} // namespace trelmig
