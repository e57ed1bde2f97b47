#include "HostFiles.h"

#include "RegFileModel.h"

#include <algorithm>
#include <fstream>
#include <openssl/evp.h>

namespace fs = std::filesystem;

namespace roundtrip {

std::optional<fs::path> hostPathOf(const fs::path& prefix, const std::string& windowsPath) {
    if (windowsPath.size() < 3 || windowsPath[1] != ':' || windowsPath[2] != '\\')
        return std::nullopt;
    fs::path at = prefix / "dosdevices" / (lower(windowsPath.substr(0, 1)) + ":");
    std::size_t pos = 3;
    while (pos < windowsPath.size()) {
        const std::size_t end = std::min(windowsPath.find('\\', pos), windowsPath.size());
        const std::string part = windowsPath.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty())
            continue;
        if (fs::exists(at / part)) {
            at /= part;
            continue;
        }
        std::error_code ec;
        bool found = false;
        for (const auto& entry : fs::directory_iterator(at, ec)) {
            if (lower(entry.path().filename().string()) == lower(part)) {
                at = entry.path();
                found = true;
                break;
            }
        }
        if (!found)
            return std::nullopt;
    }
    return at;
}

std::string sha256Of(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return "";
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr);
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        EVP_DigestUpdate(ctx, buffer, static_cast<std::size_t>(in.gcount()));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(ctx, digest, &length);
    EVP_MD_CTX_free(ctx);
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 0xF];
    }
    return text;
}

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace roundtrip
