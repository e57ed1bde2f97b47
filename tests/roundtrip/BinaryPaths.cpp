#include "BinaryPaths.h"

#include "OutlookPrefix.h"
#include "RegFileModel.h"

#include <algorithm>
#include <stdexcept>

namespace roundtrip {

// Every occurrence of from replaced by to.
bool replaceAll(std::vector<unsigned char>& bytes, const std::vector<unsigned char>& from,
                const std::vector<unsigned char>& to) {
    bool replaced = false;
    for (auto it = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
         it != bytes.end(); it = std::search(it, bytes.end(), from.begin(), from.end())) {
        const auto at = it - bytes.begin();
        bytes.erase(it, it + static_cast<std::ptrdiff_t>(from.size()));
        bytes.insert(bytes.begin() + at, to.begin(), to.end());
        it = bytes.begin() + at + static_cast<std::ptrdiff_t>(to.size());
        replaced = true;
    }
    return replaced;
}

// A binary value with each data file path moved: UTF-16 copies, else
// single-byte ones.
std::vector<unsigned char> moved(std::vector<unsigned char> bytes,
                                 const std::map<std::string, std::string>& paths) {
    for (const auto& [from, to] : paths) {
        if (from == to)
            continue;
        if (replaceAll(bytes, utf16Bytes(from, false), utf16Bytes(to, false)))
            continue;
        try {
            replaceAll(bytes, ansiBytes(from), ansiBytes(to));
        } catch (const std::logic_error&) {
            // no Latin-1 form: the fixtures write such paths in UTF-16 only
        }
    }
    return bytes;
}

namespace {

bool endsWithDataFile(const std::string& text) {
    const std::string l = lower(text);
    return l.ends_with(".pst") || l.ends_with(".ost");
}

} // namespace

// Data file paths held in a binary value, as UTF-16 or single-byte text
// (a drive letter, ":\", and a name ending in .pst or .ost).
std::vector<std::string> embeddedPaths(const std::vector<unsigned char>& bytes) {
    std::vector<std::string> found;
    auto scan = [&](const std::u16string& text) {
        for (std::size_t at = text.find(u":\\"); at != std::u16string::npos;
             at = text.find(u":\\", at + 1)) {
            if (at == 0)
                continue;
            std::size_t end = at;
            while (end < text.size() && text[end] >= 0x20)
                ++end;
            const std::string path = utf16ToUtf8(text.substr(at - 1, end - at + 1));
            if (endsWithDataFile(path))
                found.push_back(path);
        }
    };
    std::u16string wide, narrow;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    std::u16string shifted; // UTF-16 that starts on an odd byte
    for (std::size_t i = 1; i + 1 < bytes.size(); i += 2)
        shifted += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    for (unsigned char b : bytes)
        narrow += static_cast<char16_t>(b);
    scan(wide);
    scan(shifted);
    scan(narrow);
    return found;
}

} // namespace roundtrip
