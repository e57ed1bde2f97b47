#include "cli/CommandLine.h"
#include "cli/RepositoryArgument.h"
#include "cli/Verbs.h"
#include "core/ItemCatalogue.h"
#include "core/ItemMask.h"
#include "core/Message.h"
#include "repository/Repository.h"

#include <ctime>
#include <ostream>

namespace trelmig {

namespace {

std::string localTimeText(std::int64_t epoch) {
    const std::time_t t = epoch;
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

// "Personal Folders, Signatures"; the stored text as it is when it is no mask.
std::string itemNames(const std::string& items) {
    const auto mask = ItemMask::Parse(items);
    if (!mask)
        return items;
    std::string names;
    for (int box = 0; box < kItemCount; ++box)
        if (mask->Has(box))
            names += (names.empty() ? "" : ", ") +
                     std::string(itemCatalogue()[static_cast<std::size_t>(box)].caption);
    return names;
}

std::string bytesText(std::uint64_t bytes) {
    const char* units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    double value = double(bytes);
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(units)) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

} // namespace

int RunListVersions(const CommandLine& cmd, std::ostream& out, std::ostream& err) {
    const auto repository = ReadRepositoryArgument(cmd, err);
    if (!repository)
        return 2;
    const auto versions = ListVersions(repository->address, repository->passphrase);
    if (!versions) {
        err << MessageText(MessageId::ProgramLine, versions.error().message) << '\n';
        return 1;
    }
    if (versions->empty())
        out << MessageText(MessageId::RepositoryHoldsNoVersion, repository->address.url) << '\n';
    for (const RepositoryVersion& v : *versions)
        out << MessageText(MessageId::VersionLine, v.name, localTimeText(v.time), v.profile,
                           itemNames(v.items), bytesText(v.addedBytes))
            << '\n';
    return 0;
}

} // namespace trelmig
