#pragma once

#include "archive/ZipFlushBehind.h"
#include "platform/SideFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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
    // Makes ready for writeAt (after create()).
    void beginPlacedWrites();
    // Writes at that place of the file, from any thread: the chunks of one
    // entry decoded on several cores. They go to the disk behind the writers
    // (ZipFlushBehind), so that the flush at the end is short and the cache
    // the file holds stays bounded; the writers do not wait for the disk.
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
    std::unique_ptr<ZipFlushBehind> flushBehind_; // while placed writes go on
};

} // namespace trelmig
