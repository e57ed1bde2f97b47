#include "restore/DataFilesInUse.h"

#include "app/Environment.h"
#include "outlook/ProfilesKey.h"
#include "platform/Utf.h"
#include "registry/RegistryBinary.h"

#include <algorithm>
#include <cctype>

namespace fs = std::filesystem;

namespace trelmig {

namespace {

// One spelling per file: links followed, ASCII letters folded (Wine finds
// files without regard to case).
std::string fileKey(const fs::path& host) {
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(host, ec);
    std::string key = (ec ? host.lexically_normal() : resolved).string();
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

// A UTF-16 path value (001f6700) as text, cut at its first NUL.
std::string widePath(const RegValue& value) {
    std::u16string text = utf16FromLeBytes(value.data);
    return utf16ToUtf8(text.substr(0, text.find(u'\0')));
}

} // namespace

DataFilesInUse::DataFilesInUse(Environment& env, const std::string& exceptProfile) {
    // Every Outlook of the prefix keeps its own profiles.
    std::vector<std::string> roots{env.session().profilesKey};
    for (const char* version : {"14.0", "15.0", "16.0"})
        if (std::find(roots.begin(), roots.end(), ProfilesKeyFor(version)) == roots.end())
            roots.push_back(ProfilesKeyFor(version));
    for (const std::string& root : roots) {
        for (const std::string& profile : env.reg.EnumRegSubkeys(root)) {
            if (root == env.session().profilesKey && profile == exceptProfile)
                continue;
            for (const std::string& section : env.reg.EnumRegSubkeys(root + "\\" + profile)) {
                const std::string key = root + "\\" + profile + "\\" + section;
                addPath(env, ReadStorePath(env.reg, key).value_or(""));
                for (const char* name : {"001e6700", "001e6600"})
                    addPath(env, env.reg.ReadRegString(key, name).value_or(""));
                std::string sub = key;
                const RootKey rootKey = env.reg.SplitRegPath(sub);
                if (auto wide = env.registry.queryValue(rootKey, sub, "001f6700"))
                    addPath(env, widePath(*wide));
            }
        }
    }
}

void DataFilesInUse::addPath(Environment& env, const std::string& windowsPath) {
    if (windowsPath.empty())
        return;
    if (const auto host = env.files.hostPath(windowsPath.substr(0, windowsPath.find('\0'))))
        files_.insert(fileKey(*host));
}

bool DataFilesInUse::contains(const fs::path& hostFile) const {
    return files_.contains(fileKey(hostFile));
}

std::string DataFilesInUse::freeName(const fs::path& hostFolder, const std::string& fileName,
                                     const std::string& profile) const {
    if (!contains(hostFolder / fileName))
        return fileName;
    const auto dot = fileName.rfind('.');
    const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : fileName.substr(dot);
    for (int n = 1;; ++n) {
        const std::string mark = n == 1 ? profile : profile + " " + std::to_string(n);
        std::string candidate = stem + " (" + mark + ")" + extension;
        if (!contains(hostFolder / candidate))
            return candidate;
    }
}

} // namespace trelmig
