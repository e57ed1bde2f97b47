#pragma once

// Real Wine reading a restored prefix: a copy of it that Wine can start in
// without a full "wineboot" (its system folder linked to Wine's own builtin
// programs, the machine hive one Wine wrote at its first start, the update
// stamp disabled, 64-bit so that wine64 runs it), then "reg query" and
// "cmd /c dir" inside it. The user's hive and the drives are the prefix's own.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace roundtrip {

struct WineValue {
    std::string type; // "REG_BINARY", ...
    std::string data; // as reg.exe prints it
};

// Keys as reg.exe names them ("HKEY_CURRENT_USER\..."), lower-cased, with
// their values by lower-cased name.
using WineKeys = std::map<std::string, std::map<std::string, WineValue>>;

class WineView {
public:
    // Why Wine cannot be used here, or nothing when it can.
    static std::optional<std::string> unavailable();

    // Copies prefix to scratch and readies the copy; machineHive is a
    // system.reg written by Wine itself.
    WineView(const std::filesystem::path& prefix, const std::filesystem::path& scratch,
             const std::filesystem::path& machineHive);
    ~WineView();
    WineView(const WineView&) = delete;
    WineView& operator=(const WineView&) = delete;

    // "reg query KEY /s"; the exit status of reg.exe in status.
    WineKeys regQuery(const std::string& key, int& status, std::string& output) const;
    // "cmd /c dir FOLDER": what it printed.
    std::string dir(const std::string& windowsFolder) const;

private:
    std::string run(const std::string& arguments, int& status) const;
    std::filesystem::path view_;
};

} // namespace roundtrip
