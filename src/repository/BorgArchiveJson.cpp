#include "repository/BorgArchiveJson.h"

#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

namespace trelmig {

namespace {

RepositoryVersion versionOf(const nlohmann::json& archive) {
    RepositoryVersion version;
    version.name = archive.value("name", "");
    version.time = EpochOfBorgTime(archive.value("start", ""));
    if (const auto comment = archive.find("comment");
        comment != archive.end() && comment->is_string())
        ReadVersionComment(comment->get<std::string>(), version);
    if (const auto stats = archive.find("stats"); stats != archive.end() && stats->is_object()) {
        version.originalBytes = stats->value("original_size", std::uint64_t(0));
        version.addedBytes = stats->value("deduplicated_size", std::uint64_t(0));
    }
    return version;
}

} // namespace

Result<std::vector<RepositoryVersion>> VersionsOfBorgJson(std::string_view json) {
    const auto document = nlohmann::json::parse(json, nullptr, false);
    if (document.is_discarded() || !document.is_object())
        return Fail("borg printed no JSON that can be read");
    std::vector<RepositoryVersion> versions;
    try {
        if (const auto one = document.find("archive"); one != document.end())
            versions.push_back(versionOf(*one));
        if (const auto list = document.find("archives"); list != document.end())
            for (const auto& archive : *list)
                versions.push_back(versionOf(archive));
    } catch (const nlohmann::json::exception& e) {
        return Fail(std::string("borg printed JSON of another shape: ") + e.what());
    }
    return versions;
}

Result<std::vector<std::string>> FilesOfBorgJsonLines(std::string_view jsonLines) {
    std::vector<std::string> files;
    while (!jsonLines.empty()) {
        const auto end = jsonLines.find('\n');
        const std::string_view line = jsonLines.substr(0, end);
        jsonLines = end == std::string_view::npos ? std::string_view() : jsonLines.substr(end + 1);
        if (line.empty())
            continue;
        const auto item = nlohmann::json::parse(line, nullptr, false);
        if (item.is_discarded() || !item.is_object())
            return Fail("borg printed a line that is no JSON");
        if (item.value("type", "") != "-")
            continue;
        std::string path = item.value("path", "");
        if (path.starts_with("./"))
            path.erase(0, 2);
        files.push_back(std::move(path));
    }
    return files;
}

bool IsCheckpointName(std::string_view name) {
    const auto at = name.rfind(".checkpoint");
    if (at == std::string_view::npos)
        return false;
    const std::string_view rest = name.substr(at + std::string_view(".checkpoint").size());
    if (rest.empty())
        return true;
    if (rest.front() != '.' || rest.size() == 1)
        return false;
    return rest.substr(1).find_first_not_of("0123456789") == std::string_view::npos;
}

std::int64_t EpochOfBorgTime(std::string_view text) {
    std::tm tm{};
    const std::string copy(text.substr(0, 19));
    if (std::sscanf(copy.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                    &tm.tm_hour, &tm.tm_min, &tm.tm_sec) != 6)
        return 0;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::string BorgTimestampOf(const VersionTime& localTime) {
    std::tm tm{};
    tm.tm_year = localTime.year - 1900;
    tm.tm_mon = localTime.month - 1;
    tm.tm_mday = localTime.day;
    tm.tm_hour = localTime.hour;
    tm.tm_min = localTime.minute;
    tm.tm_sec = localTime.second;
    tm.tm_isdst = -1;
    const std::time_t epoch = std::mktime(&tm);
    std::tm utc{};
    gmtime_r(&epoch, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    return text;
}

} // namespace trelmig
