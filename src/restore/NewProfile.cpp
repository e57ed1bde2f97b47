#include "restore/NewProfile.h"

#include "app/Environment.h"
#include "outlook/OutlookEnvironment.h"
#include "outlook/ProfilesKey.h"
#include "restore/RestoreJournal.h"

#include <algorithm>

namespace trelmig {

std::string DefaultProfileKeyFor(const std::string& outlookVersion) {
    if (!IsOutlook2013OrLater(outlookVersion))
        return kProfilesKey;
    return "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + outlookVersion + "\\Outlook";
}

namespace {

Result<void> makeProfile(Environment& env, const std::string& profile, RestoreJournal* journal) {
    const Session& s = env.session();
    // A key name: no backslash, no control character, not blank.
    if (profile.find('\\') != std::string::npos || IsBlankName(profile) ||
        std::any_of(profile.begin(), profile.end(),
                    [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        return Fail("\"" + profile + "\" cannot be the name of a profile");
    const std::string key = s.profilesKey + "\\" + profile;
    if (env.reg.RegKeyExists(key))
        return Fail("there is a profile \"" + profile + "\" already");
    const std::string defaultKey = DefaultProfileKeyFor(s.outlookVersion);
    const auto named = env.reg.ReadRegString(defaultKey, "DefaultProfile");
    const bool noDefault =
        !named || IsBlankName(*named) || !env.reg.RegKeyExists(s.profilesKey + "\\" + *named);
    if (journal) {
        journal->beforeKeyChange(key);
        if (noDefault)
            journal->beforeValueChange(defaultKey, "DefaultProfile");
    }
    if (auto made = env.reg.CreateRegKey(key); !made)
        return Fail("the profile key " + key + " cannot be made");
    auto written =
        noDefault ? env.reg.WriteRegString(defaultKey, "DefaultProfile", profile) : Result<void>();
    if (!written) {
        env.registry.revert();
        return written;
    }
    if (journal)
        journal->beforeCommit();
    if (auto saved = env.reg.Save(); !saved)
        return saved;
    env.ReloadProfiles();
    return {};
}

} // namespace

Result<void> CreateProfile(Environment& env, const std::string& profile, RestoreJournal* journal) {
    // The journal throws when the undo record cannot keep what is changed.
    try {
        return makeProfile(env, profile, journal);
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}

} // namespace trelmig
