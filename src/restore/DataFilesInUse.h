#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace trelmig {

class Environment;

// The data files (personal folders, offline folders, address books) that the
// profiles of the prefix other than one name, as host files. A restore into
// that one profile never writes over them: Outlook's default paths are the
// same for every profile, so a backup of "Outlook" restored into "Work"
// would otherwise replace the files "Outlook" still uses.
class DataFilesInUse {
public:
    DataFilesInUse(Environment& env, const std::string& exceptProfile);

    bool contains(const std::filesystem::path& hostFile) const;

    // The name a restored data file gets beside the others: its own unless
    // another profile names that file, else "Stem (Profile).ext", then
    // "Stem (Profile 2).ext" and so on. hostFolder is the folder it goes to.
    std::string freeName(const std::filesystem::path& hostFolder, const std::string& fileName,
                         const std::string& profile) const;

private:
    void addPath(Environment& env, const std::string& windowsPath);

    std::set<std::string> files_; // resolved host paths, letters folded to lower case
};

} // namespace trelmig
