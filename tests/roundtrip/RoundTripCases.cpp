#include "RoundTripCases.h"

#include <algorithm>
#include <cctype>

namespace roundtrip {

namespace {

// The profile Outlook makes at its first start, with a POP3 account and an
// archive the user keeps on the Linux side.
ProfileSpec outlookProfile(int year) {
    ProfileSpec p{"Outlook", {}, {}};
    p.accounts.push_back({"Privat", "juergen@beispiel.de", false, 0});
    // Outlook 2010 named its first file Outlook.pst; later ones name it after the address.
    // Its single-byte path is the form Outlook 2003 and earlier left behind.
    p.stores.push_back({"Outlook-Datendatei",
                        year == 2010 ? "Outlook.pst" : "juergen@beispiel.de.pst",
                        DataFolder::Default, year == 2010, 160 * 1024});
    p.stores.push_back({"Archiv", "Archiv 2019.pst", DataFolder::DriveZ, false, 72 * 1024});
    return p;
}

// An IMAP account: its cache in AppData\Local (an .ost from Outlook 2013 on),
// and a file with a non-ASCII name in Documents.
ProfileSpec bueroProfile(int year) {
    ProfileSpec p{"Büro", {}, {}};
    p.accounts.push_back({"Büro", "buero@firma-weiss.de", true, 0});
    p.stores.push_back({"buero@firma-weiss.de",
                        std::string("buero@firma-weiss.de") + (year == 2010 ? ".pst" : ".ost"),
                        DataFolder::LocalAppData, false, 128 * 1024});
    p.stores.push_back(
        {"Projekte Müller", "Projekte Müller.pst", DataFolder::Default, false, 64 * 1024});
    return p;
}

// Two accounts, three stores, one of them on Z:.
ProfileSpec workProfile(int year) {
    ProfileSpec p{"Work", {}, {}};
    p.accounts.push_back({"sam@example.com", "sam@example.com", false, 0});
    p.accounts.push_back({"Work IMAP", "sam.smith@work.example", true, 1});
    p.stores.push_back(
        {"Personal Folders", "sam@example.com.pst", DataFolder::Default, false, 256 * 1024});
    p.stores.push_back({"sam.smith@work.example",
                        std::string("sam.smith@work.example") + (year == 2010 ? ".pst" : ".ost"),
                        DataFolder::LocalAppData, false, 96 * 1024});
    p.stores.push_back({"Old Mail", "Old Mail.pst", DataFolder::DriveZ, false, 48 * 1024});
    return p;
}

// A profile named in the user's own script: its account, its data file and
// an archive carry names of that script too, one of them with an emoji.
ProfileSpec ownScriptProfile(const std::string& name, int year) {
    ProfileSpec p{name, {}, {}};
    p.accounts.push_back({name + " почта", "user@example.org", false, 0});
    p.stores.push_back({name, name + ".pst", DataFolder::Default, false, 80 * 1024});
    p.stores.push_back({"Архив 📦", "Архив 2020 📦.pst",
                        year == 2010 ? DataFolder::LocalAppData : DataFolder::DriveZ, false,
                        40 * 1024});
    return p;
}

ProfileSpec profileNamed(const std::string& name, int year) {
    if (name == "Outlook")
        return outlookProfile(year);
    if (name == "Work")
        return workProfile(year);
    if (name == "Büro")
        return bueroProfile(year);
    return ownScriptProfile(name, year);
}

PrefixSpec prefix(const OutlookKind& kind, const std::string& user,
                  const std::vector<std::string>& profiles, unsigned codePage = 1252) {
    PrefixSpec setup{kind, user, {}, false, codePage, {}};
    for (const auto& name : profiles)
        setup.profiles.push_back(profileNamed(name, kind.year));
    return setup;
}

// A gtest name: letters and digits kept, a non-ASCII letter as one "u".
std::string safe(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c))
            out += static_cast<char>(c);
        else if (c >= 0xC0)
            out += 'u';
        else if (c < 0x80)
            out += '_';
    }
    return out;
}

} // namespace

std::vector<RoundTripCase> roundTripCases() {
    struct Row {
        OutlookKind source;
        std::string sourceUser;
        OutlookKind target;
        std::string targetUser;
        std::vector<std::string> profiles;
        bool documentsIsHome = false;
        unsigned codePage = 1252;
        // Signature, picture folder, stationery and template names.
        std::vector<std::string> itemNames = {};
        // The target's code page where it differs from the source's.
        unsigned targetCodePage = 0;
    };
    const OutlookKind o2010x86w32{"2010 x86 on win32", 2010, false, false};
    const OutlookKind o2010x86w64{"2010 x86 on win64", 2010, true, false};
    const OutlookKind o2013x86w32{"2013 x86 on win32, Documents is $HOME", 2013, false, false};
    const OutlookKind o2013x64w64{"2013 x64 on win64", 2013, true, true};
    const OutlookKind o2016x86w64{"2016 x86 on win64", 2016, true, false};
    const OutlookKind o2016x64w64{"2016 x64 on win64", 2016, true, true};
    const OutlookKind o2016x86w32{"2016 x86 on win32", 2016, false, false};
    const std::vector<Row> rows = {
        {o2010x86w32, "jürgen", o2010x86w32, "jürgen", {"Outlook", "Büro"}},
        {o2010x86w64, "sam", o2010x86w64, "sam", {"Outlook", "Work"}},
        // A desktop without a documents folder: Wine links Documents to $HOME.
        {o2013x86w32, "anna", o2013x86w32, "anna", {"Outlook"}, true},
        {o2013x64w64, "jürgen", o2013x64w64, "jürgen", {"Büro", "Outlook", "Work"}},
        {o2016x86w64, "jürgen", o2016x86w64, "jürgen", {"Outlook", "Büro", "Work"}},
        // A new machine with another user.
        {o2016x64w64, "sam", o2016x64w64, "jürgen", {"Work", "Outlook"}},
        {o2016x86w32, "lena", o2016x86w32, "lena", {"Büro"}},
        // From an old Outlook to a new one.
        {o2010x86w64, "sam", o2016x86w64, "jürgen", {"Outlook", "Work"}},
        // Names in and beyond the prefix's code page: western, Cyrillic and
        // Japanese prefixes, each with names of the other scripts and an emoji.
        {o2016x86w64,
         "jürgen",
         o2016x86w64,
         "jürgen",
         {"Работа", "Büro"},
         false,
         1252,
         {"Grüße", "Подпись", "署名", "Grüße 🎉"}},
        {o2010x86w32,
         "юрий",
         o2010x86w32,
         "юрий",
         {"Работа", "Büro"},
         false,
         1251,
         {"Подпись", "Grüße", "署名 ✉"}},
        {o2016x64w64,
         "太郎",
         o2016x64w64,
         "太郎",
         {"仕事", "Büro"},
         false,
         932,
         {"署名", "Grüße", "Подпись 🎉"}},
        // From a Russian machine to a western one: names the source's code
        // page holds, which the target's reads otherwise.
        {o2010x86w32,
         "юрий",
         o2016x86w64,
         "jürgen",
         {"Работа"},
         false,
         1251,
         {"Подпись", "Счёт"},
         1252},
    };
    std::vector<RoundTripCase> cases;
    for (const auto& row : rows) {
        PrefixSpec source = prefix(row.source, row.sourceUser, row.profiles, row.codePage);
        PrefixSpec target = prefix(row.target, row.targetUser, row.profiles,
                                   row.targetCodePage ? row.targetCodePage : row.codePage);
        source.documentsIsHome = target.documentsIsHome = row.documentsIsHome;
        source.itemNames = row.itemNames;
        std::string tag = row.source.tag;
        if (row.target.tag != row.source.tag)
            tag += " -> " + row.target.tag;
        if (!row.itemNames.empty())
            tag += ", code page " + std::to_string(row.codePage);
        if (row.targetCodePage)
            tag += " -> " + std::to_string(row.targetCodePage);
        // Wine reads the non-ASCII profile of the prefix, else its first one.
        const auto nonAscii =
            std::find_if(row.profiles.begin(), row.profiles.end(), [](const auto& p) {
                return std::any_of(p.begin(), p.end(), [](unsigned char ch) { return ch >= 0x80; });
            });
        const std::string readByWine =
            nonAscii != row.profiles.end() ? *nonAscii : row.profiles.front();
        for (const auto& profile : row.profiles) {
            cases.push_back(
                {safe(tag + "_" + profile), tag, source, target, profile, profile == readByWine});
            cases.back().overSsh = !row.itemNames.empty() && profile == readByWine;
        }
    }
    // A profile made with the Mail control panel in a prefix where Outlook
    // never started: it has no options to restore over.
    RoundTripCase neverStarted{"2016_x86_on_win64_Outlook_never_started",
                               "2016 x86 on win64, Outlook never started",
                               prefix(o2016x86w64, "jürgen", {"Outlook"}),
                               prefix(o2016x86w64, "jürgen", {"Outlook"}),
                               "Outlook",
                               false,
                               PrefixState::ProfileOnly};
    cases.push_back(neverStarted);

    // From a Windows PC's disk: the source is a Windows user folder, its data
    // files in the user's folders (a Windows PC has no Z:).
    const std::vector<Row> windowsRows = {
        {o2010x86w32, "jürgen", o2010x86w32, "jürgen", {"Outlook", "Büro"}},
        {o2016x64w64, "sam", o2016x86w64, "jürgen", {"Work", "Outlook"}},
    };
    const auto withoutDriveZ = [](PrefixSpec setup) {
        for (auto& profile : setup.profiles)
            for (auto& store : profile.stores)
                if (store.folder == DataFolder::DriveZ)
                    store.folder = DataFolder::Default;
        return setup;
    };
    for (const auto& row : windowsRows) {
        const PrefixSpec source = withoutDriveZ(prefix(row.source, row.sourceUser, row.profiles));
        const std::string tag = "Windows user folder, Outlook " + std::to_string(row.source.year) +
                                " -> " + row.target.tag;
        for (const auto& profile : row.profiles) {
            RoundTripCase c{safe(tag + "_" + profile),
                            tag,
                            source,
                            withoutDriveZ(prefix(row.target, row.targetUser, row.profiles)),
                            profile,
                            profile == row.profiles.front()};
            c.fromWindows = true;
            cases.push_back(c);
        }
        // Into a fresh bottle: the profile is made new and becomes its default.
        RoundTripCase fresh{safe(tag + "_fresh_bottle_" + row.profiles.back()),
                            tag + ", fresh bottle (--create)",
                            source,
                            prefix(row.target, row.targetUser, {}),
                            row.profiles.back(),
                            true}; // Wine reads the profile the bottle got
        fresh.fromWindows = fresh.createProfile = true;
        cases.push_back(fresh);
        // Into a bottle whose own profile is its default: the new profile
        // joins it and the default stays.
        const std::string own =
            std::find(row.profiles.begin(), row.profiles.end(), "Work") == row.profiles.end()
                ? "Work"
                : "Büro";
        RoundTripCase beside{safe(tag + "_bottle_with_default_" + row.profiles.front()),
                             tag + ", bottle with a default profile (--create)",
                             source,
                             withoutDriveZ(prefix(row.target, row.targetUser, {own})),
                             row.profiles.front(),
                             false};
        beside.fromWindows = beside.createProfile = true;
        cases.push_back(beside);
    }
    return cases;
}

// The faults of the program the round trip finds, all in one place: each
// entry names a case and the checks the fault fails there. Remove an entry
// once its fault is mended; the table says when one is no longer seen.
const std::vector<KnownFault>& knownFaults() {
    // None known now. An entry names a case ("" for all), the check it fails
    // and why; the table then shows the case as skipped on that check only.
    static const std::vector<KnownFault> faults;
    return faults;
}

} // namespace roundtrip
