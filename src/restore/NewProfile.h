#pragma once

#include "core/Error.h"

#include <string>

namespace trelmig {

class Environment;
class RestoreJournal;

// The key that names Outlook's default profile in its value "DefaultProfile":
// the Outlook key of the version from Outlook 2013 on
// (HKCU\Software\Microsoft\Office\<V>\Outlook), the profiles key itself before.
std::string DefaultProfileKeyFor(const std::string& outlookVersion);

// Makes a new, empty mail profile under the profiles key of the prefix's
// Outlook, and makes it the default profile when none is named (or the one
// named does not exist). The restore of the profile configuration then fills
// it; an empty profile is what Outlook's own "Add profile" leaves before the
// first account, and Outlook opens it with its account set-up. Saves the
// registry. Fails when the name cannot be a profile name, the profile exists
// or the registry cannot be saved.
Result<void> CreateProfile(Environment& env, const std::string& profile, RestoreJournal* journal);

} // namespace trelmig
