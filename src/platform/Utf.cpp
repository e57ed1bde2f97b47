#include "platform/Utf.h"

#include <algorithm>

namespace trelmig {

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    auto cont = [&](std::size_t k) {
        return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
    };
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        std::size_t len;
        if (c < 0x80) { // NOLINT(bugprone-branch-clone): ASCII first, the common case
            cp = c;
            len = 1;
        } else if ((c & 0xE0) == 0xC0 && c >= 0xC2 && cont(1)) {
            cp = ((c & 0x1F) << 6) | (s[i + 1] & 0x3F);
            len = 2;
        } else if ((c & 0xF0) == 0xE0 && cont(1) && cont(2)) {
            cp = ((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            len = 3;
            if (cp < 0x800) {
                cp = c;
                len = 1;
            }
        } else if ((c & 0xF8) == 0xF0 && cont(1) && cont(2) && cont(3)) {
            cp = ((c & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) |
                 (s[i + 3] & 0x3F);
            len = 4;
            if (cp < 0x10000 || cp > 0x10FFFF) {
                cp = c;
                len = 1;
            }
        } else {
            cp = c;
            len = 1;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

char16_t foldCase(char16_t c) {
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 80);
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
        // Latin Extended-A pairs upper/lower; the odd block 0x139..0x148 and
        // 0x179..0x17E pairs odd/even instead.
        bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddPairs)
            return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
        return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
    }
    return c;
}

std::u16string foldCase(std::u16string_view s) {
    std::u16string out(s);
    for (auto& c : out)
        c = foldCase(c);
    return out;
}

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isValidUtf8(std::string_view bytes) {
    return utf16ToUtf8(utf8ToUtf16(bytes)) == bytes;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return foldCase(utf8ToUtf16(a)) == foldCase(utf8ToUtf16(b));
}

std::u16string utf16FromLeBytes(std::span<const std::uint8_t> bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t k = 0; k < text.size(); ++k)
        text[k] = static_cast<char16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
    return text;
}

std::vector<std::uint8_t> utf16LeBytes(std::u16string_view text) {
    std::vector<std::uint8_t> bytes(text.size() * 2);
    for (std::size_t k = 0; k < text.size(); ++k) {
        bytes[2 * k] = static_cast<std::uint8_t>(text[k] & 0xFF);
        bytes[2 * k + 1] = static_cast<std::uint8_t>(text[k] >> 8);
    }
    return bytes;
}

} // namespace trelmig
