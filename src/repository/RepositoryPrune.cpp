#include "repository/BorgArchiveJson.h"
#include "repository/BorgCommand.h"
#include "repository/Repository.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace trelmig {

namespace {

// borg prune --list says "Keeping archive (rule: daily #1):   NAME   Thu, ..."
// and "Pruning archive (1/2):   NAME   Thu, ..."; version names hold no space.
std::optional<std::string> archiveAfter(std::string_view message, std::string_view lead) {
    if (!message.starts_with(lead))
        return std::nullopt;
    const auto colon = message.find("):");
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = message.substr(colon + 2);
    const auto start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return std::nullopt;
    rest = rest.substr(start);
    return std::string(rest.substr(0, rest.find(' ')));
}

// "compaction freed about 1.23 MB repository space."
std::optional<std::uint64_t> freedBytesOf(std::string_view message) {
    constexpr std::string_view kLead = "compaction freed about ";
    const auto at = message.find(kLead);
    if (at == std::string_view::npos)
        return std::nullopt;
    double value = 0;
    char unit[8] = {};
    const std::string text(message.substr(at + kLead.size()));
    if (std::sscanf(text.c_str(), "%lf %7s", &value, unit) < 1)
        return 0;
    const std::string_view u(unit);
    double scale = 1;
    if (u == "kB")
        scale = 1e3;
    else if (u == "MB")
        scale = 1e6;
    else if (u == "GB")
        scale = 1e9;
    else if (u == "TB")
        scale = 1e12;
    return std::uint64_t(std::llround(std::max(0.0, value) * scale));
}

std::vector<std::string> pruneArguments(const RepositoryAddress& address,
                                        const std::string& sourceName, const KeepPolicy& policy) {
    std::vector<std::string> arguments = {"--info", "prune", "--list", "--glob-archives",
                                          sourceName + "-*"};
    // The newest version always stays, whatever the policy.
    const int last = std::max(policy.last, 1);
    arguments.insert(arguments.end(),
                     {"--keep-last", std::to_string(last), "--keep-daily",
                      std::to_string(policy.daily), "--keep-weekly", std::to_string(policy.weekly),
                      "--keep-monthly", std::to_string(policy.monthly), address.url});
    return arguments;
}

} // namespace

Result<PruneOutcome> PruneVersions(const RepositoryAddress& address, const std::string& passphrase,
                                   const std::string& sourceName, const KeepPolicy& policy) {
    PruneOutcome outcome;
    BorgCall prune;
    prune.address = address;
    prune.arguments = pruneArguments(address, sourceName, policy);
    prune.passphrase = passphrase;
    prune.what = "The old versions of " + sourceName + " in the repository " + address.url +
                 " cannot be pruned";
    auto pruned = RunBorg(prune);
    if (!pruned)
        return std::unexpected(pruned.error());
    for (const auto& line : pruned->messages) {
        if (auto name = archiveAfter(line.message, "Pruning archive"))
            (IsCheckpointName(*name) ? outcome.checkpointsRemoved : outcome.removed)
                .push_back(*name);
        else if (auto kept = archiveAfter(line.message, "Keeping archive"))
            outcome.kept.push_back(*kept);
    }

    // Compacting reads the repository's index: not for a run that freed nothing.
    if (outcome.removed.empty() && outcome.checkpointsRemoved.empty())
        return outcome;
    BorgCall compact;
    compact.address = address;
    compact.arguments = {"--info", "compact", address.url};
    compact.passphrase = passphrase;
    compact.what = "The repository " + address.url + " cannot be compacted";
    auto compacted = RunBorg(compact);
    if (!compacted)
        return std::unexpected(compacted.error());
    // borg compacts nothing, and says nothing of it, in an append-only repository.
    outcome.appendOnly = true;
    for (const auto& line : compacted->messages)
        if (const auto freed = freedBytesOf(line.message)) {
            outcome.appendOnly = false;
            outcome.freedBytes += *freed;
        }
    return outcome;
}

} // namespace trelmig
