#include "backup/BackupRequest.h"

#include "app/Environment.h"
#include "backup/BackupDriver.h"
#include "core/KeepPolicy.h"
#include "outlook/OutlookEnvironment.h"

#include <filesystem>

namespace trelmig {

BackupRequest MakeBackupRequest(const BackupOrder& order, Environment& env) {
    BackupRequest request;
    request.profile = order.profile;
    request.items = order.items.Boxes();
    request.description = order.description;
    request.password = order.password;
    request.time = LocalTimeNow();
    request.targetFile =
        order.keepVersions ? VersionTarget(order.chosenFile, request.time) : order.chosenFile;
    request.outlookDisplayName = OutlookDisplayName(env.reg, env.files, env.system);
    return request;
}

std::string VersionTarget(const std::string& chosenFile, const std::tm& t) {
    const VersionTime time{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                           t.tm_hour,        t.tm_min,     t.tm_sec};
    const std::filesystem::path chosen(chosenFile);
    return (chosen.parent_path() / VersionFileName(chosen.filename().string(), time)).string();
}

} // namespace trelmig
