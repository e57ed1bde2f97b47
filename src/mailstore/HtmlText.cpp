#include "mailstore/HtmlText.h"

#include "platform/Utf.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <utility>

namespace trelmig {

namespace {

std::string Latin1ToUtf8(std::string_view bytes) {
    std::u16string wide;
    wide.reserve(bytes.size());
    for (const char c : bytes)
        wide += char16_t(static_cast<unsigned char>(c));
    return utf16ToUtf8(wide);
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

void AppendCodePoint(std::string& out, std::uint32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The entity at html[at] ('&'); returns how many bytes it took, 0 when it is
// no entity this reader knows (the '&' then stands for itself).
std::size_t DecodeEntity(std::string_view html, std::size_t at, std::string& out) {
    const std::size_t end = html.find(';', at);
    if (end == std::string_view::npos || end - at > 10)
        return 0;
    const std::string_view name = html.substr(at + 1, end - at - 1);
    static constexpr std::array<std::pair<std::string_view, std::uint32_t>, 8> kNamed{
        {{"amp", '&'},
         {"lt", '<'},
         {"gt", '>'},
         {"quot", '"'},
         {"apos", '\''},
         {"nbsp", 0xA0},
         {"copy", 0xA9},
         {"reg", 0xAE}}};
    for (const auto& [entity, cp] : kNamed) {
        if (name == entity) {
            AppendCodePoint(out, cp == 0xA0 ? ' ' : cp);
            return end - at + 1;
        }
    }
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string digits(name.substr(hex ? 2 : 1));
        if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF"
                                                           : "0123456789") != std::string::npos)
            return 0;
        AppendCodePoint(out, std::uint32_t(std::stoul(digits, nullptr, hex ? 16 : 10)));
        return end - at + 1;
    }
    return 0;
}

bool EndsLine(const std::string& tag) {
    static constexpr std::array<std::string_view, 14> kBreaking{"br",  "/p",  "p",   "/div",  "/tr",
                                                                "li",  "/li", "/h1", "/h2",   "/h3",
                                                                "/h4", "/h5", "/h6", "/table"};
    return std::ranges::find(kBreaking, tag) != kBreaking.end();
}

// Appends text, white space runs as one space.
void AppendText(std::string& out, char c) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') {
        if (!out.empty() && out.back() != ' ' && out.back() != '\n')
            out += ' ';
        return;
    }
    out += c;
}

void EndLine(std::string& out) {
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    out += '\n';
}

std::string TrimLines(const std::string& text) {
    std::string out;
    bool lineStart = true;
    int blankLines = 0;
    for (const char c : text) {
        if (lineStart && c == ' ')
            continue;
        if (c == '\n') {
            if (lineStart && ++blankLines > 1)
                continue;
            lineStart = true;
            out += c;
            continue;
        }
        lineStart = false;
        blankLines = 0;
        out += c;
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    while (!out.empty() && out.front() == '\n')
        out.erase(0, 1);
    return out;
}

} // namespace

std::string HtmlToText(std::string_view raw) {
    const std::string html = isValidUtf8(raw) ? std::string(raw) : Latin1ToUtf8(raw);
    std::string out;
    std::string skipUntil; // the closing tag of head, script or style
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            if (html.compare(i, 4, "<!--") == 0) {
                const std::size_t end = html.find("-->", i + 4);
                i = end == std::string::npos ? html.size() : end + 3;
                continue;
            }
            const std::size_t end = html.find('>', i);
            if (end == std::string::npos)
                break;
            const std::string inside = Lower(std::string_view(html).substr(i + 1, end - i - 1));
            const std::string tag = inside.substr(0, inside.find_first_of(" \t\r\n/", 1));
            i = end + 1;
            if (!skipUntil.empty()) {
                if (tag == skipUntil)
                    skipUntil.clear();
                continue;
            }
            if (tag == "head" || tag == "script" || tag == "style")
                skipUntil = "/" + tag;
            else if (EndsLine(tag))
                EndLine(out);
            continue;
        }
        if (!skipUntil.empty()) {
            ++i;
            continue;
        }
        if (html[i] == '&') {
            if (const std::size_t taken = DecodeEntity(html, i, out)) {
                i += taken;
                continue;
            }
        }
        AppendText(out, html[i]);
        ++i;
    }
    return TrimLines(out);
}

} // namespace trelmig
