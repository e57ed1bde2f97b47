#include "backup/SignatureLinks.h"

#include "platform/Text.h"

#include <algorithm>
#include <cctype>

namespace trelmig {

namespace {

// The value of the attribute whose name ends just before `at` (at points
// after the '='), quoted or not.
std::string attributeValue(const std::string& html, std::size_t at) {
    while (at < html.size() &&
           (html[at] == ' ' || html[at] == '\t' || html[at] == '\r' || html[at] == '\n'))
        ++at;
    if (at >= html.size())
        return {};
    const char quote = html[at];
    if (quote == '"' || quote == '\'') {
        const auto end = html.find(quote, at + 1);
        return end == std::string::npos ? std::string() : html.substr(at + 1, end - at - 1);
    }
    std::size_t end = at;
    while (end < html.size() && !std::isspace(static_cast<unsigned char>(html[end])) &&
           html[end] != '>')
        ++end;
    return html.substr(at, end - at);
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':';
}

} // namespace

std::vector<std::string> LinkedFolders(const std::string& html) {
    std::string lower = html;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::vector<std::string> folders;
    for (const char* attribute : {"src", "href"}) {
        const std::string name = attribute;
        for (auto at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
            // A whole attribute name, followed by '=' (blanks allowed).
            if (at > 0 && isNameChar(lower[at - 1]))
                continue;
            std::size_t eq = at + name.size();
            while (eq < lower.size() && lower[eq] == ' ')
                ++eq;
            if (eq >= lower.size() || lower[eq] != '=')
                continue;
            const std::string link = attributeValue(html, eq + 1);
            const auto slash = link.find('/');
            // Relative links into a folder only: no scheme, no root, no way up.
            if (slash == std::string::npos || slash == 0 || link.find(':') < slash)
                continue;
            const std::string folder = PercentDecoded(link.substr(0, slash));
            if (folder.empty() || folder == "." || folder == ".." ||
                folder.find_first_of("\\/") != std::string::npos)
                continue;
            if (std::find(folders.begin(), folders.end(), folder) == folders.end())
                folders.push_back(folder);
        }
    }
    return folders;
}

} // namespace trelmig
