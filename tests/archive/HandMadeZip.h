#pragma once

// Zip archives put together byte by byte, so that a test can build what no
// zip program writes: records that point at each other's data, second end
// records, sizes that lie. Only stored (uncompressed) entries; every number
// is the caller's to choose.

#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

namespace handzip {

inline void put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i, value >>= 8)
        out.push_back(static_cast<char>(value & 0xff));
}

inline std::uint32_t crcOf(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// What a central record says of its entry.
struct Record {
    std::string name;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localOffset = 0;
    std::uint16_t flags = 0x0800; // names in UTF-8
};

inline std::string localHeader(const std::string& name, std::uint32_t crc,
                               std::uint64_t compressedSize, std::uint64_t size) {
    std::string out;
    put(out, 0x04034b50, 4);
    put(out, 20, 2);
    put(out, 0x0800, 2);
    put(out, 0, 2); // stored
    put(out, 0, 4);
    put(out, crc, 4);
    put(out, compressedSize, 4);
    put(out, size, 4);
    put(out, name.size(), 2);
    put(out, 0, 2);
    return out + name;
}

inline std::string centralRecord(const Record& r) {
    std::string out;
    put(out, 0x02014b50, 4);
    put(out, 20, 2);
    put(out, 20, 2);
    put(out, r.flags, 2);
    put(out, 0, 2);
    put(out, 0, 4);
    put(out, r.crc, 4);
    put(out, r.compressedSize, 4);
    put(out, r.size, 4);
    put(out, r.name.size(), 2);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, 0, 4);
    put(out, r.localOffset, 4);
    return out + r.name;
}

inline std::string endRecord(std::uint64_t count, std::uint64_t directorySize,
                             std::uint64_t directoryOffset, const std::string& comment = {}) {
    std::string out;
    put(out, 0x06054b50, 4);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, count, 2);
    put(out, count, 2);
    put(out, directorySize, 4);
    put(out, directoryOffset, 4);
    put(out, comment.size(), 2);
    return out + comment;
}

// A Zip64 end record for a directory of count records, followed by its
// locator; at is the offset the record itself starts at.
inline std::string zip64End(std::uint64_t count, std::uint64_t directorySize,
                            std::uint64_t directoryOffset, std::uint64_t at) {
    std::string out;
    put(out, 0x06064b50, 4);
    put(out, 44, 8);
    put(out, 45, 2);
    put(out, 45, 2);
    put(out, 0, 4);
    put(out, 0, 4);
    put(out, count, 8);
    put(out, count, 8);
    put(out, directorySize, 8);
    put(out, directoryOffset, 8);
    put(out, 0x07064b50, 4);
    put(out, 0, 4);
    put(out, at, 8);
    put(out, 1, 4);
    return out;
}

// A plain archive being built: entries appended, then the directory.
struct Builder {
    std::string bytes;
    std::vector<Record> records;

    // Appends a stored entry and returns its record.
    Record& add(const std::string& name, const std::string& data) {
        Record r{name, crcOf(data), data.size(), data.size(), bytes.size()};
        bytes += localHeader(name, r.crc, data.size(), data.size()) + data;
        records.push_back(r);
        return records.back();
    }
    // The directory of the records and the end record, with that comment.
    std::string finish(const std::string& comment = {}) const {
        std::string out = bytes;
        const std::uint64_t directory = out.size();
        for (const Record& r : records)
            out += centralRecord(r);
        return out + endRecord(records.size(), out.size() - directory, directory, comment);
    }
};

} // namespace handzip
