#include "restore/NewProfile.h"

#include "app/Environment.h"
#include "outlook/OutlookEnvironment.h"
#include "outlook/ProfilesKey.h"
#include "restore/RestoreJournal.h"

#include <algorithm>
#include <stdexcept>

namespace trelmig {

std::string DefaultProfileKeyFor(const std::string& outlookVersion) {
    if (!IsOutlook2013OrLater(outlookVersion))
        return kProfilesKey;
    return "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + outlookVersion + "\\Outlook";
}

void CreateProfile(Environment& env, const std::string& profile, RestoreJournal* journal) {
    const Session& s = env.session();
    // A key name: no backslash, no control character, not blank.
    if (profile.find('\\') != std::string::npos || IsBlankName(profile) ||
        std::any_of(profile.begin(), profile.end(),
                    [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        throw std::runtime_error("\"" + profile + "\" cannot be the name of a profile");
    const std::string key = s.profilesKey + "\\" + profile;
    if (env.reg.RegKeyExists(key))
        throw std::runtime_error("there is a profile \"" + profile + "\" already");
    const std::string defaultKey = DefaultProfileKeyFor(s.outlookVersion);
    const auto named = env.reg.ReadRegString(defaultKey, "DefaultProfile");
    const bool noDefault =
        !named || IsBlankName(*named) || !env.reg.RegKeyExists(s.profilesKey + "\\" + *named);
    if (journal) {
        journal->beforeKeyChange(key);
        if (noDefault)
            journal->beforeValueChange(defaultKey, "DefaultProfile");
    }
    std::string sub = key;
    const RootKey root = env.reg.SplitRegPath(sub);
    if (env.reg.backend().createKey(root, sub) != ERROR_SUCCESS)
        throw std::runtime_error("the profile key " + key + " cannot be made");
    auto written =
        noDefault ? env.reg.WriteRegString(defaultKey, "DefaultProfile", profile) : Result<void>();
    if (!written) {
        env.registry.revert();
        throw std::runtime_error(written.error().message);
    }
    if (journal)
        journal->beforeCommit();
    if (auto saved = env.reg.Save(); !saved)
        throw std::runtime_error(saved.error().message);
    env.ReloadProfiles();
}

} // namespace trelmig
