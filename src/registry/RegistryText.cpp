#include "registry/RegistryText.h"

#include "platform/RegistryTree.h"
#include "platform/TextFile.h"
#include "platform/Utf.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

namespace trelmig {

namespace {

// The Windows program kept binary data in 16-bit sized buffers.
constexpr std::size_t kMaxBinaryBytes = 32767;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

Result<void> appendBytes(const std::string& file, const std::string& bytes) {
    errno = 0;
    std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::app);
    if (out)
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out)
        out.close();
    if (!out)
        return Fail("Cannot write " + file +
                    (errno != 0 ? ": " + std::generic_category().message(errno) : ""));
    return {};
}

// A binary value the registry text cannot carry.
struct ValueTooLong {
    std::string message;
};

// String data as the ANSI entry points hand it over, less the terminator.
std::string stringData(const RegValue& value) {
    std::string text(value.data.begin(), value.data.end());
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

std::int32_t dwordData(const RegValue& value) {
    std::uint32_t n = 0;
    for (std::size_t k = 0; k < 4 && k < value.data.size(); ++k)
        n |= static_cast<std::uint32_t>(value.data[k]) << (8 * k);
    return static_cast<std::int32_t>(n);
}

// The value's line in UTF-8 without its ending; nullopt for types the text
// does not carry.
std::optional<std::string> valueLine(const RegValue& value, const std::string& keyPath) {
    std::string line = "\"" + value.name + "\"";
    switch (value.type) {
    case REG_SZ:
        return line + "= sz:" + stringData(value);
    case REG_EXPAND_SZ:
        return line + "=esz:" + stringData(value);
    case REG_DWORD:
        return line + "= dw:" + std::to_string(dwordData(value));
    case REG_BINARY: {
        if (value.data.size() > kMaxBinaryBytes)
            throw ValueTooLong{"The binary value \"" + value.name + "\" of " + keyPath + " holds " +
                               std::to_string(value.data.size()) +
                               " bytes; registry text takes at most 32767."};
        line += "=bin:";
        for (std::size_t k = 0; k < value.data.size(); ++k) {
            if (k > 0)
                line += ',';
            line += std::to_string(value.data[k]);
        }
        return line;
    }
    default:
        return std::nullopt;
    }
}

// Adds the value lines of the key; false when the key cannot be opened.
bool collectValueLines(RegistryKeys& reg, const std::string& keyPath, std::string& out) {
    std::string sub = keyPath;
    const RootKey root = reg.SplitRegPath(sub);
    if (root == RootKey::None || !reg.backend().keyExists(root, sub))
        return false;
    for (std::size_t i = 0;; ++i) {
        const auto value = reg.backend().valueAt(root, sub, i);
        if (!value)
            break;
        if (auto line = valueLine(*value, keyPath))
            out += *line + "\r\n";
    }
    return true;
}

void collectTreeLines(RegistryKeys& reg, const std::string& keyPath,
                      const std::string& relativeName, std::string& out) {
    out += (relativeName.empty() ? std::string("\\") : relativeName) + "\r\n";
    collectValueLines(reg, keyPath, out);
    for (const auto& name : reg.EnumRegSubkeys(keyPath))
        collectTreeLines(reg, keyPath + "\\" + name, relativeName + "\\" + name, out);
}

} // namespace

Result<void> ExportRegTree(RegistryKeys& reg, const std::string& keyPath,
                           const std::string& relativeName, const std::string& filePath) {
    if (relativeName.empty()) {
        std::error_code ec;
        std::filesystem::remove(std::filesystem::path(filePath), ec);
        if (ec)
            return Fail("Cannot write " + filePath + ": " + ec.message());
    }
    std::string text;
    try {
        collectTreeLines(reg, keyPath, relativeName, text);
    } catch (const ValueTooLong& e) {
        return Fail(e.message);
    }
    return appendBytes(filePath, reg.ansi().fromUtf8(text));
}

Result<bool> ExportRegTreeUnicode(RegistryKeys& reg, const std::string& keyPath,
                                  const std::string& filePath) {
    std::string text;
    try {
        collectTreeLines(reg, keyPath, "", text);
    } catch (const ValueTooLong& e) {
        return Fail(e.message);
    }
    if (isAscii(text))
        return false;
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(filePath), ec);
    if (Result<void> written = appendBytes(filePath, std::string(kUtf8ByteOrderMark) + text);
        !written)
        return std::unexpected(written.error());
    return true;
}

Result<void> ExportRegValues(RegistryKeys& reg, const std::string& keyPath,
                             const std::string& filePath) {
    std::string text;
    try {
        if (!collectValueLines(reg, keyPath, text))
            return {};
    } catch (const ValueTooLong& e) {
        return Fail(e.message);
    }
    return appendBytes(filePath, reg.ansi().fromUtf8(text));
}

namespace {

// One step of an import, decided entirely from the file.
struct ImportStep {
    enum Kind { ReplaceTarget, OpenKey, SetValue };
    Kind kind;
    std::string keyLine; // OpenKey: the line, "\Sub\Deeper"
    RegValue value;      // SetValue
};

[[noreturn]] void badLine(const std::string& file, std::size_t number, const std::string& why) {
    throw RegistryTextError("Line " + std::to_string(number) + " of the registry text " + file +
                            " cannot be imported: " + why + ". Nothing was changed.");
}

std::optional<std::int32_t> parseDword(const std::string& text) {
    const std::string t = TrimBlanks(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        negative = t[i++] == '-';
    if (i == t.size())
        return std::nullopt;
    std::int64_t n = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return std::nullopt;
        n = n * 10 + (t[i] - '0');
        if (n > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        n = -n;
    if (n > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

std::optional<std::vector<std::uint8_t>> parseBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    if (text.empty())
        return bytes;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string piece = TrimBlanks(
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (piece.empty() || piece.size() > 3 ||
            piece.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        const int n = std::stoi(piece);
        if (n > 255)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(n));
        if (comma == std::string::npos)
            return bytes;
        start = comma + 1;
    }
}

// Parses a value line (positions counted in characters, as the format
// counts them). nullopt for a line of a type the text does not know, which is
// ignored.
std::optional<RegValue> parseValueLine(const std::string& line, const std::string& file,
                                       std::size_t number) {
    const std::u16string text = utf8ToUtf16(line);
    const std::size_t eq = text.find(u'=');
    // The name sits between the first character and the one before "=".
    if (eq == std::u16string::npos || eq < 2)
        badLine(file, number,
                line.empty() ? "the line is empty" : "it is neither a key line nor a value line");
    const std::string name = utf16ToUtf8(text.substr(1, eq - 2));
    const std::string type = TrimBlanks(utf16ToUtf8(text.substr(eq + 1, 3)));
    const std::string data = eq + 5 < text.size() ? utf16ToUtf8(text.substr(eq + 5)) : "";

    if (type == "sz" || type == "esz") {
        RegValue v{name, type == "sz" ? REG_SZ : REG_EXPAND_SZ, {data.begin(), data.end()}};
        v.data.push_back(0); // stored with its terminator, as every reader expects
        return v;
    }
    if (type == "dw") {
        const auto n = parseDword(data);
        if (!n)
            badLine(file, number, "\"" + data + "\" is not a 32-bit number");
        const auto u = static_cast<std::uint32_t>(*n);
        return RegValue{name,
                        REG_DWORD,
                        {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                         static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)}};
    }
    if (type == "bin") {
        auto bytes = parseBytes(data);
        if (!bytes)
            badLine(file, number, "the binary data are not numbers from 0 to 255");
        return RegValue{name, REG_BINARY, std::move(*bytes)};
    }
    return std::nullopt;
}

std::vector<ImportStep> parseRegistryText(RegistryKeys& reg, const std::string& filePath) {
    std::vector<ImportStep> steps;
    std::optional<std::string> currentKeyLine;
    auto lines = readLines(std::filesystem::path(filePath));
    // A text behind a byte-order mark is UTF-8: the twin of an export the
    // code page could not hold.
    const bool utf8 = !lines.empty() && lines.front().starts_with(kUtf8ByteOrderMark);
    if (utf8)
        lines.front().erase(0, kUtf8ByteOrderMark.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = utf8 ? lines[i] : reg.ansi().toUtf8(lines[i]);
        if (line.starts_with('\\')) {
            // A key line naming the key already current means that key again.
            // The Windows program would take it for a value line, which makes
            // "\Sub" a malformed line and "\A=B" a value of an unknown type
            // dropped silently; exports never write it, and a line starting
            // with "\" can only mean a key.
            if (line == currentKeyLine)
                continue;
            if (static_cast<std::size_t>(std::count(line.begin(), line.end(), '\\')) > kMaxKeyDepth)
                badLine(filePath, i + 1,
                        "the key is nested deeper than " + std::to_string(kMaxKeyDepth) +
                            " levels");
            currentKeyLine = line;
            // "\" (or any line ending in "\") stands for the target itself.
            steps.push_back(
                {line.ends_with('\\') ? ImportStep::ReplaceTarget : ImportStep::OpenKey, line, {}});
            continue;
        }
        if (auto value = parseValueLine(line, filePath, i + 1))
            steps.push_back({ImportStep::SetValue, {}, std::move(*value)});
    }
    return steps;
}

} // namespace

Result<void> ImportRegText(RegistryKeys& reg, const std::string& targetKeyPath,
                           const std::string& filePath, bool save) {
    std::vector<ImportStep> steps;
    try {
        steps = parseRegistryText(reg, filePath);
    } catch (const RegistryTextError&) {
        throw;
    } catch (const std::exception& e) { // the file cannot be read
        return Fail(e.what());
    }

    std::string targetSub = targetKeyPath;
    const RootKey root = reg.SplitRegPath(targetSub);
    if (root == RootKey::None)
        return Fail("the registry path " + targetKeyPath + " is malformed");

    RegistryBackend& registry = reg.backend();
    try {
        // Values before the first key line belong to no key; keys that cannot
        // be created are skipped with their values, as registry failures are
        // everywhere else.
        bool keyOpen = false;
        std::string keySub;
        for (const auto& step : steps) {
            switch (step.kind) {
            case ImportStep::ReplaceTarget:
                if (auto deleted = reg.DeleteRegTree(targetKeyPath); !deleted) {
                    registry.revert();
                    return deleted;
                }
                keySub = targetSub;
                keyOpen = registry.createKey(root, keySub) == ERROR_SUCCESS;
                break;
            case ImportStep::OpenKey:
                keySub = targetSub + step.keyLine;
                keyOpen = registry.createKey(root, keySub) == ERROR_SUCCESS;
                break;
            case ImportStep::SetValue:
                if (keyOpen)
                    registry.setValue(root, keySub, step.value);
                break;
            }
        }
    } catch (...) {
        registry.revert();
        throw;
    }
    if (save)
        return reg.Save();
    return {};
}

} // namespace trelmig
