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

struct RouteRow {
    std::string caseName; // kind / profile
    std::string kvx, local, ssh;
};

std::vector<RouteRow>& routeTable() {
    static std::vector<RouteRow> rows;
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
        printRoutes();
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
    static void printRoutes() {
        if (routeTable().empty())
            return;
        std::size_t caseWidth = 4, kvxWidth = 3, localWidth = 5;
        for (const auto& row : routeTable()) {
            caseWidth = std::max(caseWidth, displayWidth(row.caseName));
            kvxWidth = std::max(kvxWidth, row.kvx.size());
            localWidth = std::max(localWidth, row.local.size());
        }
        const auto cell = [](const std::string& text, std::size_t width) {
            return text + std::string(width - displayWidth(text), ' ') + " | ";
        };
        std::cout << "Round trip by way (case x kvx, local repository, ssh repository):\n";
        std::cout << "| " << cell("case", caseWidth) << cell("kvx", kvxWidth)
                  << cell("local", localWidth) << "ssh\n";
        for (const auto& row : routeTable())
            std::cout << "| " << cell(row.caseName, caseWidth) << cell(row.kvx, kvxWidth)
                      << cell(row.local, localWidth) << row.ssh << "\n";
        std::cout << std::endl;
    }
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

void addRouteRow(const std::string& kind, const std::string& profile, const std::string& kvx,
                 const std::string& local, const std::string& ssh) {
    routeTable().push_back({kind + " / " + profile, kvx, local, ssh});
}

void addNameRow(const std::string& codePage, const std::string& nameKind, const std::string& names,
                const std::string& outcome) {
    nameTable().push_back({codePage, nameKind + ": " + names, outcome});
}

} // namespace roundtrip
