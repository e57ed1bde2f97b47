#include "platform/WineRegistry.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

#include "RunShell.h"

namespace fs = std::filesystem;
using namespace trelmig;

namespace {

// Debian's wine64 puts its loader beside the libraries, not on the PATH.
std::optional<std::string> wineLoader() {
    for (const char* candidate : {"/usr/lib/wine/wine64", "/usr/bin/wine64", "/usr/bin/wine"})
        if (access(candidate, X_OK) == 0)
            return candidate;
    return std::nullopt;
}

std::string run(const std::string& command) {
    return RunShell(command).output;
}

} // namespace

// Real Wine must read what this layer writes: change a copy of a registry
// Wine 8.0 wrote, then ask Wine's own "reg query".
TEST(RealWine, ReadsTheRegistryFilesWeChanged) {
    const auto wine = wineLoader();
    if (!wine)
        GTEST_SKIP() << "Wine is not installed";
    WorkFolder work;
    const fs::path prefix = work.path() / "prefix";
    fs::create_directories(prefix);
    for (const char* f : {"user.reg", "system.reg", "userdef.reg"})
        fs::copy_file(fs::path(TRELMIG_FIXTURES_DIR) / "wine-8.0" / f, prefix / f);
    {
        WineRegistry reg{WinePrefix(prefix)};
        ASSERT_EQ(reg.createKey(RootKey::CurrentUser, "Software\\Trelmig\\Profile Copy"),
                  ERROR_SUCCESS);
        const std::string text = "C:\\users\\root\\Caf\xc3\xa9.pst";
        RegValue sz{"Path", REG_SZ, {text.begin(), text.end()}};
        sz.data.push_back(0);
        reg.setValue(RootKey::CurrentUser, "Software\\Trelmig\\Profile Copy", sz);
        reg.setValue(RootKey::CurrentUser, "Software\\Trelmig\\Profile Copy",
                     {"Flags", REG_DWORD, {0xff, 0xff, 0xff, 0xff}});
        reg.setValue(RootKey::CurrentUser, "Software\\Trelmig\\Profile Copy",
                     {"01020fff", REG_BINARY, {0x00, 0x38, 0xa1, 0x0a}});
        reg.deleteValue(RootKey::CurrentUser, "Software\\SampleKeys\\Dirty", "d");
        reg.save();
    }
    const std::string env = "WINEPREFIX='" + prefix.string() +
                            "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' timeout 300 ";
    const std::string out = run(env + *wine + " reg query 'HKCU\\Software\\Trelmig\\Profile Copy'");
    const std::string dirty = run(env + *wine + " reg query 'HKCU\\Software\\SampleKeys\\Dirty'");
    run("WINEPREFIX='" + prefix.string() + "' " +
        fs::path(*wine).replace_filename("wineserver").string() + " -k");

    EXPECT_NE(out.find("Path    REG_SZ    C:\\users\\root\\Caf"), std::string::npos) << out;
    EXPECT_NE(out.find("Flags    REG_DWORD    0xffffffff"), std::string::npos) << out;
    EXPECT_NE(out.find("01020fff    REG_BINARY    0038A10A"), std::string::npos) << out;
    EXPECT_EQ(dirty.find("    d    REG_SZ"), std::string::npos) << dirty;
}
