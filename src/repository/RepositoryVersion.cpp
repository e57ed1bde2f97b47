#include "repository/RepositoryVersion.h"

#include <cstdio>

namespace trelmig {

namespace {

void appendEscaped(std::string& out, unsigned char c) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%%%02X", c);
    out += hex;
}

std::string safePart(std::string_view part, std::string_view unsafe) {
    std::string out;
    for (const unsigned char c : part) {
        if (c < 0x20 || c == 0x7f || unsafe.find(char(c)) != std::string_view::npos)
            appendEscaped(out, c);
        else
            out += char(c);
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

constexpr std::string_view kNameUnsafe = "%-/:*?[]\\ ";
constexpr std::string_view kCommentUnsafe = "%=";
// "-YYYY-MM-DDTHH:MM:SS"
constexpr std::size_t kTimeSuffixLength = 20;

bool isTimeSuffix(std::string_view s) {
    if (s.size() != kTimeSuffixLength)
        return false;
    constexpr std::string_view kShape = "-dddd-dd-ddTdd:dd:dd";
    for (std::size_t i = 0; i < s.size(); ++i)
        if (kShape[i] == 'd' ? (s[i] < '0' || s[i] > '9') : s[i] != kShape[i])
            return false;
    return true;
}

} // namespace

std::string RepositorySourceName(std::string_view computer, std::string_view prefix,
                                 std::string_view profile) {
    return safePart(computer, kNameUnsafe) + "-" + safePart(prefix, kNameUnsafe) + "-" +
           safePart(profile, kNameUnsafe);
}

std::string RepositoryVersionName(std::string_view sourceName, const VersionTime& time) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "-%04d-%02d-%02dT%02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return std::string(sourceName) + stamp;
}

std::optional<std::string> SourceOfVersionName(std::string_view versionName) {
    if (versionName.size() <= kTimeSuffixLength)
        return std::nullopt;
    const std::string_view source = versionName.substr(0, versionName.size() - kTimeSuffixLength);
    if (!isTimeSuffix(versionName.substr(source.size())))
        return std::nullopt;
    int dashes = 0;
    for (const char c : source)
        dashes += c == '-';
    if (dashes != 2)
        return std::nullopt;
    return std::string(source);
}

std::string VersionComment(const RepositoryVersion& version) {
    const auto line = [](std::string_view key, std::string_view value) {
        return std::string(key) + "=" + safePart(value, kCommentUnsafe) + "\n";
    };
    return line("computer", version.computer) + line("prefix", version.prefix) +
           line("profile", version.profile) + line("items", version.items);
}

void ReadVersionComment(std::string_view comment, RepositoryVersion& version) {
    while (!comment.empty()) {
        const auto end = comment.find('\n');
        const std::string_view line = comment.substr(0, end);
        comment = end == std::string_view::npos ? std::string_view() : comment.substr(end + 1);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, equals);
        std::string value = unescaped(line.substr(equals + 1));
        if (key == "computer")
            version.computer = std::move(value);
        else if (key == "prefix")
            version.prefix = std::move(value);
        else if (key == "profile")
            version.profile = std::move(value);
        else if (key == "items")
            version.items = std::move(value);
    }
}

} // namespace trelmig
