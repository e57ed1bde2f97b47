#include "RoundTripTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

namespace roundtrip {

namespace {

struct TableRow {
    std::string kind;
    std::string profile;
    std::string outcome;
};

std::vector<TableRow>& table() {
    static std::vector<TableRow> rows;
    return rows;
}

std::vector<TableRow>& nameTable() { // kind: code page, profile: name kind + names
    static std::vector<TableRow> rows;
    return rows;
}

class TablePrinter : public ::testing::Environment {
public:
    void TearDown() override {
        if (table().empty())
            return;
        std::size_t kindWidth = 4, profileWidth = 7;
        for (const auto& row : table()) {
            kindWidth = std::max(kindWidth, row.kind.size());
            profileWidth = std::max(profileWidth, displayWidth(row.profile));
        }
        std::cout << "\nRound trip (prefix kind x profile):\n";
        print("kind", kindWidth, "profile", profileWidth, "result");
        for (const auto& row : table())
            print(row.kind, kindWidth, row.profile, profileWidth, row.outcome);
        std::cout << std::endl;
        if (nameTable().empty())
            return;
        std::size_t namesWidth = 5;
        for (const auto& row : nameTable())
            namesWidth = std::max(namesWidth, displayWidth(row.profile));
        std::cout << "Names (code page x name kind):\n";
        print("code page", 9, "kind and names", namesWidth, "result");
        for (const auto& row : nameTable())
            print(row.kind, 9, row.profile, namesWidth, row.outcome);
        std::cout << std::endl;
    }

private:
    static std::size_t displayWidth(const std::string& text) {
        return static_cast<std::size_t>(std::count_if(
            text.begin(), text.end(), [](unsigned char c) { return (c & 0xC0) != 0x80; }));
    }
    static void print(const std::string& kind, std::size_t kw, const std::string& profile,
                      std::size_t pw, const std::string& outcome) {
        std::cout << "| " << kind << std::string(kw - kind.size(), ' ') << " | " << profile
                  << std::string(pw - displayWidth(profile), ' ') << " | " << outcome << "\n";
    }
};

[[maybe_unused]] const auto* const kTablePrinter =
    ::testing::AddGlobalTestEnvironment(new TablePrinter);

} // namespace

void addTableRow(const std::string& kind, const std::string& profile, const std::string& outcome) {
    table().push_back({kind, profile, outcome});
}

void addNameRow(const std::string& codePage, const std::string& nameKind, const std::string& names,
                const std::string& outcome) {
    nameTable().push_back({codePage, nameKind + ": " + names, outcome});
}

} // namespace roundtrip
