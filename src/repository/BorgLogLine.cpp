#include "repository/BorgLogLine.h"

#include <nlohmann/json.hpp>

namespace trelmig {

namespace {

std::string stringOf(const nlohmann::json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::uint64_t countOf(const nlohmann::json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_number_unsigned() ? it->get<std::uint64_t>() : 0;
}

} // namespace

BorgLogLine ParseBorgLogLine(std::string_view line) {
    BorgLogLine parsed;
    const auto object = nlohmann::json::parse(line, nullptr, false);
    if (object.is_discarded() || !object.is_object()) {
        parsed.kind = BorgLogLine::Kind::Message;
        parsed.level = "TEXT";
        parsed.message = std::string(line);
        return parsed;
    }
    const std::string type = stringOf(object, "type");
    if (type == "log_message") {
        parsed.kind = BorgLogLine::Kind::Message;
        parsed.level = stringOf(object, "levelname");
        parsed.msgid = stringOf(object, "msgid");
        parsed.message = stringOf(object, "message");
    } else if (type == "archive_progress") {
        parsed.kind = BorgLogLine::Kind::Progress;
        auto& p = parsed.progress;
        p.originalBytes = countOf(object, "original_size");
        p.compressedBytes = countOf(object, "compressed_size");
        p.deduplicatedBytes = countOf(object, "deduplicated_size");
        p.files = countOf(object, "nfiles");
        p.path = stringOf(object, "path");
    } else if (type == "progress_percent") {
        parsed.kind = BorgLogLine::Kind::Progress;
        const auto current = object.find("current");
        const auto total = object.find("total");
        if (current != object.end() && total != object.end() && current->is_number() &&
            total->is_number() && total->get<double>() > 0)
            parsed.progress.percent = 100.0 * current->get<double>() / total->get<double>();
        parsed.progress.message = stringOf(object, "message");
        if (const auto info = object.find("info");
            info != object.end() && info->is_array() && !info->empty() && info->back().is_string())
            parsed.progress.path = info->back().get<std::string>();
    } else if (type == "progress_message") {
        parsed.kind = BorgLogLine::Kind::Progress;
        parsed.progress.message = stringOf(object, "message");
    }
    return parsed;
}

} // namespace trelmig
