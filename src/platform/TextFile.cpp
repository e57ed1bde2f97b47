#include "platform/TextFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace trelmig {

namespace {

[[noreturn]] void fail(const char* what, const std::filesystem::path& file, int error) {
    std::string message = std::string(what) + " " + file.string();
    if (error != 0)
        message += ": " + std::generic_category().message(error);
    throw std::runtime_error(message);
}

void writeOrFail(const std::filesystem::path& file, std::string_view bytes,
                 std::ios::openmode mode) {
    errno = 0;
    std::ofstream out(file, std::ios::binary | mode);
    if (!out)
        fail("Cannot open", file, errno);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        fail("Cannot write", file, errno);
}

} // namespace

std::string readFileBytes(const std::filesystem::path& file) {
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        fail("Cannot open", file, errno);
    std::string bytes;
    char buffer[65536];
    try {
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
            bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    } catch (const std::ios_base::failure&) {
        // libstdc++ reports a read error (a folder, an I/O error) this way.
        fail("Cannot read", file, errno);
    }
    if (in.bad())
        fail("Cannot read", file, errno);
    return bytes;
}

std::string readFileBytes(const std::filesystem::path& file, std::uintmax_t maxBytes) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec)
        fail("Cannot open", file, ec.value());
    if (size > maxBytes)
        throw std::runtime_error(file.string() + " is " + std::to_string(size) +
                                 " bytes long, more than the " + std::to_string(maxBytes) +
                                 " bytes such a file may have");
    std::string bytes = readFileBytes(file);
    if (bytes.size() > maxBytes)
        throw std::runtime_error(file.string() + " grew while it was read");
    return bytes;
}

std::vector<std::string> readLines(const std::filesystem::path& file) {
    const std::string bytes = readFileBytes(file);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos)
            end = bytes.size();
        else if (end > start && bytes[end - 1] == '\r')
            --end;
        lines.emplace_back(bytes, start, end - start);
        start = next;
    }
    return lines;
}

void appendLine(const std::filesystem::path& file, std::string_view line) {
    std::string text(line);
    text += "\r\n";
    writeOrFail(file, text, std::ios::app);
}

void writeFileBytes(const std::filesystem::path& file, std::string_view bytes) {
    writeOrFail(file, bytes, std::ios::trunc);
}

} // namespace trelmig
