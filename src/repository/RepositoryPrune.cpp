#include "repository/BorgArchiveJson.h"
#include "repository/BorgCommand.h"
#include "repository/Repository.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace trelmig {

namespace {

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

// What the policy removes of the source's versions, by the rules the .kvx
// versions are kept by: borg prune's own rules differ (each rule counts only
// what the rules before it left, and one keeps the oldest version besides), so
// borg is told which versions go. Checkpoints older than the newest version
// go too, as borg prune removes them.
void decide(std::vector<RepositoryVersion> archives, const KeepPolicy& policy,
            PruneOutcome& outcome) {
    std::ranges::stable_sort(archives,
                             [](const auto& a, const auto& b) { return a.time > b.time; });
    std::vector<VersionTime> times;
    std::int64_t newest = 0;
    for (const auto& archive : archives)
        if (!IsCheckpointName(archive.name)) {
            times.push_back(LocalVersionTime(archive.time));
            newest = std::max(newest, archive.time);
        }
    const std::vector<bool> kept = KeptVersions(times, policy);
    std::size_t at = 0;
    for (const auto& archive : archives) {
        if (IsCheckpointName(archive.name)) {
            if (!times.empty() && archive.time < newest)
                outcome.checkpointsRemoved.push_back(archive.name);
            continue;
        }
        (kept[at++] ? outcome.kept : outcome.removed).push_back(archive.name);
    }
}

} // namespace

Result<PruneOutcome> PruneVersions(const RepositoryAddress& address, const std::string& passphrase,
                                   const std::string& sourceName, const KeepPolicy& policy) {
    PruneOutcome outcome;
    const std::string what = "The old versions of " + sourceName + " in the repository " +
                             address.url + " cannot be pruned";
    const auto list = MakeBorgCall(address,
                                   {"list", "--json", "--consider-checkpoints", "--glob-archives",
                                    sourceName + "-*", address.url},
                                   passphrase, what);
    auto listed = RunBorg(list);
    if (!listed)
        return std::unexpected(listed.error());
    auto archives = VersionsOfBorgJson(listed->json);
    if (!archives)
        return Fail(what + ": " + archives.error().message);
    decide(std::move(*archives), policy, outcome);

    std::vector<std::string> arguments = {"delete", address.url};
    arguments.insert(arguments.end(), outcome.removed.begin(), outcome.removed.end());
    arguments.insert(arguments.end(), outcome.checkpointsRemoved.begin(),
                     outcome.checkpointsRemoved.end());
    if (arguments.size() > 2)
        if (auto deleted = RunBorg(MakeBorgCall(address, arguments, passphrase, what)); !deleted)
            return std::unexpected(deleted.error());

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
