#pragma once

#include "archive/ZipWriteMode.h"
#include "core/Error.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trelmig {

struct ZipQueuedFile {
    std::string path;    // host path
    std::string name;    // entry name: the bare file name, UTF-8
    std::string shownAs; // what the user is shown while it is written; empty: name

    const std::string& shownName() const { return shownAs.empty() ? name : shownAs; }
};

// Writes the files, in order, as a new archive at target: each compressed
// (deflate, in chunks a reader can decode apart) and, with a password (when not empty), encrypted
// with AES-256 in worker threads; libzip writes the headers and the directory. The archive at
// target is replaced only once the new one is complete and on disk (ZipWriteTarget). progress gets
// the percent of the files' bytes written so far, rising from 0 to 100. Fails when no new archive
// was put in place. cancelled, when given, is asked as the data is written; true abandons the
// write. Both are called from inside libzip's reads: what they throw fails the write with its
// words, and never passes through libzip.
// bytes, when given, is told the same progress in bytes, with the entry whose
// data is at work (files are compressed in their order).
using ZipWriteBytes = std::function<void(const std::string& entry, std::uint64_t bytesDone,
                                         std::uint64_t bytesTotal)>;
Result<void> writeZipFile(const std::string& target, const std::vector<ZipQueuedFile>& files,
                          const std::string& password, const std::function<void(int)>& progress,
                          const std::function<bool()>& cancelled = {},
                          const ZipWriteBytes& bytes = {}, ZipWriteMode mode = {});

} // namespace trelmig
