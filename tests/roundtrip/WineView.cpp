#include "WineView.h"

#include "HostFiles.h"
#include "RegFileModel.h"
#include "RunShell.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace roundtrip {

namespace {

// Debian's wine64 puts its loader beside the libraries, not on the PATH.
std::optional<std::string> loader() {
    for (const char* candidate :
         {"/usr/lib/wine/wine64", "/usr/bin/wine64", "/usr/local/bin/wine64"})
        if (access(candidate, X_OK) == 0)
            return candidate;
    return std::nullopt;
}

// The folder of Wine's 64-bit builtin programs and libraries.
std::optional<fs::path> builtins() {
    for (const char* candidate :
         {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows", "/usr/lib/wine/x86_64-windows",
          "/usr/local/lib/wine/x86_64-windows"})
        if (fs::exists(fs::path(candidate) / "kernel32.dll"))
            return candidate;
    return std::nullopt;
}

void setArch64(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    std::string s = text.str();
    const auto at = s.find("#arch=win32");
    if (at != std::string::npos)
        s.replace(at, 11, "#arch=win64");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << s;
}

} // namespace

std::optional<std::string> WineView::unavailable() {
    if (!loader())
        return "wine64 is not installed";
    if (!builtins())
        return "Wine's 64-bit builtin folder (x86_64-windows) was not found";
    return std::nullopt;
}

WineView::WineView(const fs::path& prefix, const fs::path& scratch, const fs::path& machineHive)
    : view_(scratch) {
    fs::remove_all(view_);
    fs::copy(prefix, view_, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    // cmd needs the services and drives Wine registers at its first start.
    fs::copy_file(machineHive, view_ / "system.reg", fs::copy_options::overwrite_existing);
    fs::permissions(view_ / "system.reg", fs::perms::owner_write, fs::perm_options::add);
    // Only the 64-bit loader is installed: it starts a 32-bit prefix's copy
    // as a 64-bit one; the keys read here are the same in both.
    for (const char* hive : {"system.reg", "user.reg", "userdef.reg"})
        setArch64(view_ / hive);
    const fs::path system32 = view_ / "drive_c" / "windows" / "system32";
    fs::remove_all(system32);
    fs::create_directories(system32 / "drivers");
    for (const auto& entry : fs::directory_iterator(*builtins())) {
        fs::create_symlink(entry.path(), system32 / entry.path().filename());
        if (entry.path().extension() == ".sys")
            fs::create_symlink(entry.path(), system32 / "drivers" / entry.path().filename());
    }
    // No "wineboot --update" over our registry files.
    std::ofstream(view_ / ".update-timestamp") << "disable\n";
}

WineView::~WineView() {
    RunShell("WINEPREFIX=" + shellQuoted(view_.string()) + " " +
             fs::path(*loader()).replace_filename("wineserver").string() + " -k");
    std::error_code ec;
    fs::remove_all(view_, ec);
}

std::string WineView::run(const std::string& arguments, int& status) const {
    const CommandRun r = RunShell("WINEPREFIX=" + shellQuoted(view_.string()) +
                                  " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' "
                                  "LC_ALL=C.UTF-8 timeout 180 " +
                                  *loader() + " " + arguments + " </dev/null");
    status = r.status;
    return r.output;
}

WineKeys WineView::regQuery(const std::string& key, int& status, std::string& output) const {
    output = run("reg query " + shellQuoted(key) + " /s", status);
    WineKeys keys;
    std::map<std::string, WineValue>* current = nullptr;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with("HKEY_")) {
            current = &keys[lower(line)];
            continue;
        }
        if (!current || !line.starts_with("    "))
            continue;
        // "    name    REG_TYPE    data"; the default value is "(Default)".
        const std::string rest = line.substr(4);
        const auto typeAt = rest.find("    REG_");
        if (typeAt == std::string::npos)
            continue;
        std::string name = rest.substr(0, typeAt);
        if (name == "(Default)")
            name.clear();
        const std::string afterName = rest.substr(typeAt + 4);
        const auto dataAt = afterName.find("    ");
        WineValue value;
        value.type = afterName.substr(0, dataAt);
        value.data = dataAt == std::string::npos ? "" : afterName.substr(dataAt + 4);
        (*current)[lower(name)] = value;
    }
    return keys;
}

std::string WineView::dir(const std::string& windowsFolder) const {
    int status = 0;
    return run("cmd /c dir " + shellQuoted(windowsFolder), status);
}

} // namespace roundtrip
