#pragma once

#include "core/Prompter.h"
#include "platform/AnsiCodec.h"
#include "platform/TextFile.h"
#include "platform/WinePrefix.h"
#include "platform/WineRegistry.h"
#include "platform/WorkFolder.h"
#include "registry/RegistryKeys.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace trelmig::test {

// Records every message and answers Ok.
class RecordingPrompter : public Prompter {
public:
    MessageAnswer Show(const std::string& text, MessageIcon, MessageButtons) override {
        messages.push_back(text);
        return MessageAnswer::Ok;
    }
    std::vector<std::string> messages;
};

// A prefix folder of its own, empty or holding copies of the registry files
// of the Wine 8.0 fixture.
class TempPrefix {
public:
    explicit TempPrefix(bool withFixtureFiles = false) {
        std::filesystem::create_directories(root());
        if (!withFixtureFiles)
            return;
        const std::filesystem::path fixture =
            std::filesystem::path(TRELMIG_FIXTURES_DIR) / "wine-8.0";
        for (const char* name : {"user.reg", "system.reg", "userdef.reg"})
            std::filesystem::copy_file(fixture / name, root() / name);
    }
    std::filesystem::path root() const { return work_.path() / "prefix"; }
    WinePrefix prefix() const { return WinePrefix(root()); }
    // A scratch file path outside the prefix.
    std::string file(const std::string& name) const { return (work_.path() / name).string(); }
    // The registry files as they are on disk now.
    std::map<std::string, std::string> regFiles() const {
        std::map<std::string, std::string> files;
        for (const char* name : {"user.reg", "system.reg", "userdef.reg"})
            if (std::filesystem::exists(root() / name))
                files[name] = readFileBytes(root() / name);
        return files;
    }

private:
    WorkFolder work_;
};

// A registry, a RegistryKeys over it and what it told the user.
struct RegistryFixture {
    explicit RegistryFixture(std::unique_ptr<WineRegistry> r) : registry(std::move(r)) {}
    std::unique_ptr<WineRegistry> registry;
    RecordingPrompter prompter;
    AnsiCodec ansi{1252};
    RegistryKeys reg{*registry, prompter, ansi};
};

inline RegValue sz(const std::string& name, const std::string& text, std::uint32_t type = REG_SZ) {
    RegValue v{name, type, {text.begin(), text.end()}};
    v.data.push_back(0);
    return v;
}

inline RegValue dword(const std::string& name, std::uint32_t n) {
    return {name,
            REG_DWORD,
            {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
             static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}

inline RegValue binary(const std::string& name, std::vector<std::uint8_t> bytes) {
    return {name, REG_BINARY, std::move(bytes)};
}

// Creates the key and sets the values.
inline void put(RegistryBackend& r, const std::string& sub, const std::vector<RegValue>& values) {
    ASSERT_EQ(r.createKey(RootKey::CurrentUser, sub), ERROR_SUCCESS) << sub;
    for (const auto& v : values)
        ASSERT_EQ(r.setValue(RootKey::CurrentUser, sub, v), ERROR_SUCCESS) << sub << " " << v.name;
}

// Every key of a subtree of HKEY_CURRENT_USER by its path relative to the top
// ("" for the top), with its values in enumeration order.
using TreeSnapshot = std::map<std::string, std::vector<RegValue>>;

inline void snapshotInto(const RegistryBackend& r, const std::string& sub,
                         const std::string& relative, TreeSnapshot& out) {
    auto& values = out[relative];
    for (std::size_t i = 0;; ++i) {
        auto v = r.valueAt(RootKey::CurrentUser, sub, i);
        if (!v)
            break;
        values.push_back(std::move(*v));
    }
    for (std::size_t i = 0;; ++i) {
        auto name = r.subkeyAt(RootKey::CurrentUser, sub, i);
        if (!name)
            break;
        snapshotInto(r, sub + "\\" + *name, relative + "\\" + *name, out);
    }
}

inline TreeSnapshot snapshot(const RegistryBackend& r, const std::string& sub) {
    TreeSnapshot out;
    if (r.keyExists(RootKey::CurrentUser, sub))
        snapshotInto(r, sub, "", out);
    return out;
}

// The tree whose export is tests/data/registry-text/golden-export.txt.
inline void buildGoldenTree(RegistryBackend& r, const std::string& top) {
    const std::string multi("a\0b\0\0", 5);
    put(r, top,
        {sz("", "root default"), binary("Bin", {0, 1, 127, 128, 255}), sz("Café", "café au lait"),
         dword("DwMin", 0x80000000u), dword("DwNeg", 0xFFFFFFFFu), dword("DwPos", 3),
         binary("EmptyBin", {}), sz("EmptySz", ""),
         sz("Expand", "%USERPROFILE%\\Documents", REG_EXPAND_SZ),
         RegValue{"Multi", REG_MULTI_SZ, {multi.begin(), multi.end()}},
         RegValue{"Qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}}, sz("Unmappable", "x中y")});
    put(r, top + "\\ Lead Blank", {sz("a", "b")});
    put(r, top + "\\Empty", {});
    put(r, top + "\\Key With Blank=Eq", {sz("v", "1")});
    put(r, top + "\\Key With Blank=Eq\\Deep", {dword("n", 7)});
}

inline std::string hkcu(const std::string& sub) {
    return "HKEY_CURRENT_USER\\" + sub;
}

} // namespace trelmig::test
