#include "registry/RegistryText.h"

#include "RegistryTestSupport.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace trelmig::test;

namespace {

const std::string kTarget = "Software\\Target";

void writeLines(const std::string& file, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    writeFileBytes(file, text);
}

// A target key holding values and subkeys, saved to the prefix's files.
void putTargetTree(WineRegistry& r) {
    put(r, kTarget, {sz("", "old default"), dword("Old", 1)});
    put(r, kTarget + "\\Old Key\\Deeper", {binary("b", {1, 2, 3})});
    put(r, kTarget + "\\Sub", {sz("stale", "x")});
    r.save();
}

} // namespace

TEST(RegistryTextImport, GoldenFileRebuildsTheTreeReplacingTheTargetInOneSave) {
    TempPrefix p;
    TreeSnapshot expected;
    {
        RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
        buildGoldenTree(*f.registry, "Software\\Golden");
        put(*f.registry, "Software\\Copy", {sz("Stale", "old"), dword("DwPos", 99)});
        put(*f.registry, "Software\\Copy\\Stale Key\\Deeper", {dword("x", 1)});
        put(*f.registry, "Software\\Copy\\Empty", {sz("leftover", "1")});
        f.registry->save();

        // What survives the text: the four types, unmappable characters as "?".
        expected = snapshot(*f.registry, "Software\\Golden");
        auto& top = expected[""];
        std::erase_if(top,
                      [](const RegValue& v) { return v.name == "Multi" || v.name == "Qword"; });
        for (auto& v : top)
            if (v.name == "Unmappable")
                v = sz("Unmappable", "x?y");

        ImportRegText(f.reg, hkcu("Software\\Copy"),
                      std::string(TRELMIG_FIXTURES_DIR) + "/registry-text/golden-export.txt");

        EXPECT_EQ(snapshot(*f.registry, "Software\\Copy"), expected);
        EXPECT_FALSE(f.registry->keyExists(RootKey::CurrentUser, "Software\\Copy\\Stale Key"));
        EXPECT_FALSE(
            f.registry->queryValue(RootKey::CurrentUser, "Software\\Copy\\Empty", "leftover"));
        EXPECT_FALSE(f.registry->hasUnsavedChanges());
        EXPECT_TRUE(f.prompter.messages.empty());
    }
    WineRegistry fromDisk(p.prefix());
    EXPECT_EQ(snapshot(fromDisk, "Software\\Copy"), expected);
}

TEST(RegistryTextImport, MalformedLineChangesNothingAndNamesTheLine) {
    const std::vector<std::string> good = {"\\", "\"a\"= sz:1", "\\Sub"};
    struct Case {
        std::string badLine;
        bool beforeKeyLine = false;
    };
    const std::vector<Case> cases = {
        {""},
        {"no equals sign"},
        {"x= sz:equals at position 2"},
        {"\"n\"= dw:abc"},
        {"\"n\"= dw:"},
        {"\"n\"= dw:1.5"},
        {"\"n\"= dw:2147483648"},
        {"\"n\"= dw:4294967295"},
        {"\"n\"=bin:1,256"},
        {"\"n\"=bin:1,,2"},
        {"\"n\"=bin:-1"},
        {"\"n\"=bin:1,"},
        {"\"early\"= dw:x", true},
        // 55 KB of text nesting 27,000 keys: refused, not followed down.
        {[] {
            std::string deep;
            for (int i = 0; i < 27000; ++i)
                deep += "\\k";
            return deep;
        }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("bad line: " + c.badLine);
        TempPrefix p;
        RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
        putTargetTree(*f.registry);
        const TreeSnapshot before = snapshot(*f.registry, kTarget);
        const auto filesBefore = p.regFiles();

        std::vector<std::string> lines = good;
        lines.insert(c.beforeKeyLine ? lines.begin() : lines.end(), c.badLine);
        lines.push_back("\"after\"= dw:2");
        const std::string file = p.file("OBC2.tmp");
        writeLines(file, lines);
        const std::string number = c.beforeKeyLine ? "Line 1 " : "Line 4 ";

        try {
            ImportRegText(f.reg, hkcu(kTarget), file);
            ADD_FAILURE() << "the import accepted the file";
        } catch (const RegistryTextError& e) {
            EXPECT_NE(std::string(e.what()).find(number), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
        }
        EXPECT_EQ(snapshot(*f.registry, kTarget), before);
        EXPECT_FALSE(f.registry->hasUnsavedChanges());
        EXPECT_EQ(p.regFiles(), filesBefore);
    }
}

TEST(RegistryTextImport, LinesTheFormatDropsOrRepeats) {
    TempPrefix p;
    RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
    putTargetTree(*f.registry);
    const std::string file = p.file("OBC3.tmp");
    writeLines(file, {
                         "\"nowhere\"= sz:before any key line",
                         "\\",
                         "\"a\"= sz:x=y",
                         "\"t\"=SZ :type texts compare exactly",
                         "\"q\"=qwd:1",
                         "\"x=y\"= sz:a name with = is cut at its =",
                         "\"n\"= dw: -2147483648 ",
                         "\"b\"=bin: 1, 2 ,255",
                         "\\", // the same key again: its values stay
                         "\"c\"= sz:3",
                         "\\Sub",
                         "\"s\"= sz:1",
                         "\\Sub",
                         "\"s2\"= sz:2",
                     });

    ImportRegText(f.reg, hkcu(kTarget), file);

    const TreeSnapshot expected = {
        {"", {sz("a", "x=y"), binary("b", {1, 2, 255}), sz("c", "3"), dword("n", 0x80000000u)}},
        {"\\Sub", {sz("s", "1"), sz("s2", "2")}},
    };
    EXPECT_EQ(snapshot(*f.registry, kTarget), expected);
}

TEST(RegistryTextImport, FailedSaveRevertsTheImport) {
    TempPrefix p;
    RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
    putTargetTree(*f.registry);
    const TreeSnapshot before = snapshot(*f.registry, kTarget);
    const std::string file = p.file("OBC4.tmp");
    writeLines(file, {"\\", "\"new\"= sz:1"});
    // Another program rewrites the file after it was loaded: the save refuses.
    const std::string changed = readFileBytes(p.root() / "user.reg") + "\n";
    writeFileBytes(p.root() / "user.reg", changed);

    const auto imported = ImportRegText(f.reg, hkcu(kTarget), file);
    ASSERT_FALSE(imported.has_value());
    EXPECT_NE(imported.error().message.find("user.reg"), std::string::npos)
        << imported.error().message;

    EXPECT_EQ(snapshot(*f.registry, kTarget), before);
    EXPECT_FALSE(f.registry->hasUnsavedChanges());
    EXPECT_EQ(readFileBytes(p.root() / "user.reg"), changed);
}

TEST(RegistryTextImport, TheUnicodeTwinOfAnExportKeepsNamesWhateverTheCodePage) {
    TempPrefix p;
    RegistryFixture f(std::make_unique<WineRegistry>(p.prefix()));
    buildGoldenTree(*f.registry, "Software\\Golden");
    put(*f.registry, "Software\\Golden\\Подписи 署名", {sz("Signatures", "Grüße 🎉")});
    put(*f.registry, "Software\\Plain", {sz("Signatures", "Signaturen")});
    const std::string twin = p.file("OBC2.tmp");

    // An ASCII tree needs no twin, and none is written.
    const Result<bool> plain = ExportRegTreeUnicode(f.reg, hkcu("Software\\Plain"), twin);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(*plain);
    EXPECT_FALSE(std::filesystem::exists(twin));

    const Result<bool> written = ExportRegTreeUnicode(f.reg, hkcu("Software\\Golden"), twin);
    ASSERT_TRUE(written);
    ASSERT_TRUE(*written);
    TreeSnapshot expected = snapshot(*f.registry, "Software\\Golden");
    std::erase_if(expected[""],
                  [](const RegValue& v) { return v.name == "Multi" || v.name == "Qword"; });
    ASSERT_TRUE(ImportRegText(f.reg, hkcu("Software\\Copy"), twin));
    EXPECT_EQ(snapshot(*f.registry, "Software\\Copy"), expected);
}
