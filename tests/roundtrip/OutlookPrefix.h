#pragma once

// Wine prefixes with an installed Outlook as they look on real machines:
// Outlook 2010, 2013 and 2016 in 32-bit and 64-bit prefixes, the user's
// folders linked into a fake $HOME as Wine links them, profiles with their
// accounts and stores, data files in Documents, in AppData\Local and on Z:.
// Written from what each Outlook is publicly known to keep where, with the
// registry files in Wine 8's own text form.
#include "RegFileModel.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace roundtrip {

struct OutlookKind {
    std::string tag; // short name in the table, e.g. "2016 x86 on win64"
    int year = 2016; // 2010, 2013, 2016
    bool prefix64 = true;
    bool office64 = false; // a 64-bit Office (only in a 64-bit prefix)

    std::string version() const; // "14.0", "15.0", "16.0"
    // Where the profiles live, below HKCU.
    std::string profilesKey() const;
    bool wow64() const { return prefix64 && !office64; }
};

enum class DataFolder { Default, LocalAppData, DriveZ };

struct StoreSpec {
    std::string displayName;
    std::string fileName; // bare name on disk
    DataFolder folder = DataFolder::Default;
    bool ansiPath = false; // entry ID with a single-byte path, and a 001e6700 beside it
    std::size_t size = 96 * 1024;
};

struct AccountSpec {
    std::string name;
    std::string email;
    bool imap = false;
    int store = 0; // index of the store it delivers to
};

struct ProfileSpec {
    std::string name;
    std::vector<AccountSpec> accounts;
    std::vector<StoreSpec> stores;
};

struct PrefixSpec {
    OutlookKind kind;
    std::string user; // UTF-8, e.g. "jürgen"
    std::vector<ProfileSpec> profiles;
    // Wine links Documents to the desktop's documents folder, or to $HOME
    // itself where the desktop names none.
    bool documentsIsHome = false;
    // The prefix's ANSI code page (ACP): 1252 western, 1251 Cyrillic, 932 Japanese.
    unsigned codePage = 1252;
    // Names the user gave a signature (with its picture folder), a
    // stationery and a template, beside the usual ones. Word writes a
    // signature in the code page when its name fits, else in UTF-8.
    std::vector<std::string> itemNames;
};

// One store as written: its section, its Windows path and its host file.
struct WrittenStore {
    std::string profile;
    std::string section;
    std::string windowsPath;
    std::filesystem::path hostPath;
};

struct WrittenPrefix {
    std::filesystem::path prefix;
    std::filesystem::path home;
    std::vector<WrittenStore> stores;
};

enum class PrefixState {
    // The profiles hold accounts and stores, the user has rules, options,
    // signatures, templates and preferences.
    WithData,
    // As Outlook left it after its first start: profiles with their
    // sections and an empty accounts key, default options, no files.
    StartedOnce,
    // Profiles made with the Mail control panel, Outlook never started: no
    // options yet.
    ProfileOnly,
};

// Writes the prefix under root/<name> with its $HOME at root/<name>-home.
WrittenPrefix writePrefix(const std::filesystem::path& root, const std::string& name,
                          const PrefixSpec& setup, PrefixState state);

// A signature with its picture folder, a stationery and a template named name.
void writeNamedItems(const std::filesystem::path& prefix, const PrefixSpec& setup,
                     const std::string& name);

// The folders holding each file item, as Windows paths below the user profile
// or the Office install of that kind.
std::string userProfileOf(const PrefixSpec& setup);
std::string signaturesFolder(const PrefixSpec& setup);
std::string stationeryFolder(const PrefixSpec& setup);
std::string templatesFolder(const PrefixSpec& setup);
std::string outlookRoamingFolder(const PrefixSpec& setup);

// The store entry ID of a PST: the MAPI store wrapper with mspst.dll and the
// path, UTF-16 or single-byte.
std::vector<unsigned char> pstEntryId(const std::string& windowsPath, bool ansiPath);
std::vector<unsigned char> ansiBytes(const std::string& utf8); // Latin-1 letters only
// The text in a Windows code page through the C library's iconv (not the
// program's), nothing when a character does not fit it.
std::optional<std::string> inCodePage(const std::string& utf8, unsigned codePage);

} // namespace roundtrip
