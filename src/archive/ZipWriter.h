#pragma once

#include "core/Error.h"

#include <functional>
#include <string>
#include <vector>

namespace trelmig {

struct ZipQueuedFile {
    std::string path; // host path
    std::string name; // entry name: the bare file name, UTF-8
};

// Writes the files, in order, as a new archive at target: each compressed
// (deflate, in chunks a reader can decode apart) and, with a password (when not empty), encrypted
// with AES-256 in worker threads; libzip writes the headers and the directory. The archive at
// target is replaced only once the new one is complete and on disk (ZipWriteTarget). progress gets
// the percent of the files' bytes written so far, rising from 0 to 100. Fails when no new archive
// was put in place. cancelled, when given, is asked as the data is written; true abandons the
// write. Both are called from inside libzip's reads: what they throw fails the write with its
// words, and never passes through libzip.
Result<void> writeZipFile(const std::string& target, const std::vector<ZipQueuedFile>& files,
                          const std::string& password, const std::function<void(int)>& progress,
                          const std::function<bool()>& cancelled = {});

} // namespace trelmig
