#pragma once

namespace trelmig {

// How an archive is written: a backup file is deflated and on disk before it
// takes its name; one for the program's own passing use (a version unpacked
// to be restored from the work folder) may be stored and left to the cache.
struct ZipWriteMode {
    bool deflate = true;
    bool flush = true;
};

} // namespace trelmig
