#include "app/PrefixSummary.h"

#include "app/Environment.h"
#include "registry/RegistryBinary.h"

#include <exception>

namespace trelmig {

namespace {

// Discovery shows nothing; a message would be a fault of the prefix, which
// the summary reports as its error instead.
class QuietPrompter : public Prompter {
public:
    MessageAnswer Show(const std::string&, MessageIcon, MessageButtons) override {
        return MessageAnswer::Cancel;
    }
};

} // namespace

std::vector<PrefixSummary::DataFile> ProfileDataFiles(Environment& env,
                                                      const std::string& profile) {
    std::vector<PrefixSummary::DataFile> files;
    const std::string key = env.session().profilesKey + "\\" + profile;
    for (const auto& section : env.reg.EnumRegSubkeys(key)) {
        if (const auto path = ReadStorePath(env.reg, key + "\\" + section))
            files.push_back({*path, env.files.fileExists(*path)});
    }
    return files;
}

namespace {

template <typename Source> PrefixSummary summarize(const Source& source) {
    PrefixSummary summary;
    QuietPrompter prompter;
    try {
        Environment env(source, prompter);
        summary.warnings = env.sourceWarnings;
        summary.outlook = env.Discover();
        summary.outlookVersion = env.session().outlookVersion;
        if (env.session().profiles.empty())
            return summary;
        for (const auto& name : env.session().profiles)
            summary.profiles.push_back({name, ProfileDataFiles(env, name)});
    } catch (const std::exception& e) {
        summary.error = e.what();
    }
    return summary;
}

} // namespace

PrefixSummary SummarizePrefix(const WinePrefix& prefix) {
    return summarize(prefix);
}

PrefixSummary SummarizeWindowsUser(const std::filesystem::path& userFolder) {
    try {
        return summarize(WindowsSource::Open(userFolder, std::nullopt));
    } catch (const std::exception& e) {
        PrefixSummary summary;
        summary.error = e.what();
        return summary;
    }
}

} // namespace trelmig
