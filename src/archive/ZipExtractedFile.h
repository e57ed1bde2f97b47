#pragma once

#include "platform/SideFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace trelmig {

// The file an entry is extracted to, under exactly the name it is given:
// made there new (never over a file that is already there, never through a
// link) and removed again unless kept, so that an extraction that fails
// leaves nothing under that name. What becomes of a kept file is up to whoever
// chose the name (the restore renames it into place). Paths are host paths;
// failures throw std::runtime_error naming the file and the reason.
class ZipExtractedFile {
public:
    explicit ZipExtractedFile(std::string path);
    // Removes the file unless it was kept.
    ~ZipExtractedFile();
    ZipExtractedFile(const ZipExtractedFile&) = delete;
    ZipExtractedFile& operator=(const ZipExtractedFile&) = delete;

    void create();
    void write(const void* data, std::size_t length);
    // Writes at that place of the file, from any thread, beside write(): the
    // chunks of one entry decoded on several cores. The disk is asked to
    // start on them at once, so that the flush at the end is short, and what
    // is on the disk leaves the cache a few chunks later.
    void writeAt(const void* data, std::size_t length, std::uint64_t offset);
    // Flushes the file and its name to disk when asked, and closes it: many
    // extracted files wait for each other, and need no descriptor each.
    void finish(bool flush);
    // The file stays when this object goes.
    void keep() { kept_ = true; }
    const std::string& path() const { return path_; }

private:
    [[noreturn]] void fail(const std::string& what, int err) const;

    std::string path_;
    int fd_ = -1;
    bool created_ = false;
    bool kept_ = false;
    SequentialWrites writes_;
};

} // namespace trelmig
