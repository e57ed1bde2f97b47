#include "mailstore/MimeEncoding.h"

#include <openssl/evp.h>

#include <algorithm>

namespace trelmig {

namespace {

constexpr std::size_t kBytesPerLine = 57; // 76 base64 characters
// "=?UTF-8?B?" and "?=" leave 63 characters of a word for 45 bytes of text.
constexpr std::size_t kBytesPerWord = 45;

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool NeedsNoEncoding(std::string_view text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x7F || (u < 0x20 && c != '\t'))
            return false;
    }
    // "=?" would be read as the start of an encoded word.
    return text.find("=?") == std::string_view::npos;
}

} // namespace

std::string Base64(std::string_view data) {
    std::string encoded(4 * ((data.size() + 2) / 3) + 1, '\0');
    const int length =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()),
                        reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
    encoded.resize(std::size_t(length));
    return encoded;
}

void WriteBase64Lines(std::string_view data, std::ostream& out) {
    for (std::size_t at = 0; at < data.size(); at += kBytesPerLine)
        out << Base64(data.substr(at, kBytesPerLine)) << "\r\n";
}

std::string EncodeHeaderText(std::string_view utf8) {
    if (NeedsNoEncoding(utf8))
        return std::string(utf8);
    std::string encoded;
    std::size_t at = 0;
    while (at < utf8.size()) {
        std::size_t end = std::min(utf8.size(), at + kBytesPerWord);
        while (end < utf8.size() && end > at + 1 && IsUtf8Continuation(utf8[end]))
            --end;
        if (!encoded.empty())
            encoded += "\r\n ";
        encoded += "=?UTF-8?B?" + Base64(utf8.substr(at, end - at)) + "?=";
        at = end;
    }
    return encoded;
}

std::string EncodeParameter(std::string_view name, std::string_view utf8) {
    if (NeedsNoEncoding(utf8)) {
        std::string quoted;
        for (const char c : utf8) {
            if (c == '"' || c == '\\')
                quoted += '\\';
            quoted += c;
        }
        return std::string(name) + "=\"" + quoted + "\"";
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded = std::string(name) + "*=UTF-8''";
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') ||
                           (u >= 'a' && u <= 'z') || c == '.' || c == '-' || c == '_';
        if (plain) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[u >> 4];
            encoded += kHex[u & 0x0F];
        }
    }
    return encoded;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace trelmig
