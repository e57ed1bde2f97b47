#include "WindowsDisk.h"

#include "HostFiles.h"
#include "RegFileModel.h"
#include "tools/HiveWriter.h"

namespace fs = std::filesystem;

namespace roundtrip {

namespace {

// The keys of a registry file below from (all of them when empty), moved to
// below to in the hive. Keys Windows keeps only while the user is logged on
// are left out, as a real NTUSER.DAT lacks them.
void addKeys(const RegFileModel& model, const std::string& from, const std::string& to,
             hivefixture::HiveKey& hive) {
    for (const RegKey* key : model.allKeys()) {
        const std::string low = lower(key->path);
        if (low.starts_with("volatile environment"))
            continue;
        if (!from.empty() && low != lower(from) && !low.starts_with(lower(from) + "\\"))
            continue;
        const std::string rest = key->path.substr(from.empty() ? 0 : from.size());
        std::string path = to + rest;
        if (!from.empty() && path.starts_with("\\"))
            path.erase(0, 1);
        hivefixture::HiveKey& target = path.empty() ? hive : hive.at(path);
        for (const auto& [lowered, named] : key->values)
            target.values.push_back({named.first, named.second.type, named.second.bytes});
    }
}

} // namespace

WrittenWindowsDisk writeWindowsDisk(const fs::path& prefix, const std::string& user,
                                    const fs::path& root) {
    WrittenWindowsDisk disk{root, root / "Users" / user};
    fs::create_directories(disk.userFolder.parent_path());
    // Wine's links into $HOME are followed: on Windows the folders are real.
    fs::copy(prefix / "drive_c" / "users" / user, disk.userFolder, fs::copy_options::recursive);

    // Office and its shared stationery live on the partition.
    for (const char* folder : {"Program Files", "Program Files (x86)"})
        if (fs::exists(prefix / "drive_c" / folder))
            fs::copy(prefix / "drive_c" / folder, root / folder, fs::copy_options::recursive);

    hivefixture::HiveKey ntuser;
    addKeys(RegFileModel::read(prefix / "user.reg"), "", "", ntuser);
    hivefixture::WriteHive(disk.userFolder / "NTUSER.DAT", ntuser);

    const RegFileModel machine = RegFileModel::read(prefix / "system.reg");
    const fs::path config = root / "Windows" / "System32" / "config";
    fs::create_directories(config);
    hivefixture::HiveKey software;
    addKeys(machine, "Software", "", software);
    hivefixture::WriteHive(config / "SOFTWARE", software);
    hivefixture::HiveKey system;
    addKeys(machine, "System\\CurrentControlSet", "ControlSet001", system);
    system.at("Select").values.push_back({"Current", kRegDword, {1, 0, 0, 0}});
    hivefixture::WriteHive(config / "SYSTEM", system);
    return disk;
}

std::map<std::string, std::string> treeHashes(const fs::path& folder) {
    std::map<std::string, std::string> hashes;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            hashes[fs::relative(entry.path(), folder).string()] = sha256Of(entry.path());
        else
            hashes[fs::relative(entry.path(), folder).string()] = "(folder)";
    return hashes;
}

} // namespace roundtrip
