#include "HiveWriter.h"

#include <hivex.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace hivefixture {

namespace {

constexpr std::size_t kBlock = 4096;

void put16(std::vector<unsigned char>& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

void put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t get32(const std::vector<unsigned char>& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}

// The base block's checksum: the XOR of its first 127 double words.
void seal(std::vector<unsigned char>& b) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < 0x1FC; at += 4)
        sum ^= get32(b, at);
    if (sum == 0)
        sum = 1;
    if (sum == 0xFFFFFFFF)
        sum = 0xFFFFFFFE;
    put32(b, 0x1FC, sum);
}

// A hive with a root key and its security cell, nothing else: the base block
// and one bin of 4 KiB.
std::vector<unsigned char> baseHive() {
    std::vector<unsigned char> b(2 * kBlock, 0);
    std::memcpy(b.data(), "regf", 4);
    put32(b, 0x04, 1);      // primary sequence number
    put32(b, 0x08, 1);      // secondary
    put32(b, 0x14, 1);      // major version
    put32(b, 0x18, 3);      // minor version
    put32(b, 0x20, 1);      // file format: direct memory load
    put32(b, 0x24, 0x20);   // root cell, from the first bin
    put32(b, 0x28, kBlock); // size of the bins
    put32(b, 0x2C, 1);      // clustering factor
    seal(b);

    const std::size_t bin = kBlock;
    std::memcpy(&b[bin], "hbin", 4);
    put32(b, bin + 0x08, kBlock);

    const std::string rootName = "ROOT";
    const std::size_t nk = bin + 0x20;
    const std::size_t nkSize = (4 + 0x4C + rootName.size() + 7) / 8 * 8;
    const std::size_t sk = nk + nkSize;
    const std::uint32_t skOffset = static_cast<std::uint32_t>(sk - bin);
    put32(b, nk, static_cast<std::uint32_t>(-static_cast<std::int32_t>(nkSize)));
    std::memcpy(&b[nk + 4], "nk", 2);
    put16(b, nk + 4 + 0x02, 0x2C);       // hive entry, no delete, compressed name
    put32(b, nk + 4 + 0x10, 0xFFFFFFFF); // parent
    put32(b, nk + 4 + 0x1C, 0xFFFFFFFF); // subkey list
    put32(b, nk + 4 + 0x20, 0xFFFFFFFF); // volatile subkey list
    put32(b, nk + 4 + 0x28, 0xFFFFFFFF); // value list
    put32(b, nk + 4 + 0x2C, skOffset);
    put32(b, nk + 4 + 0x30, 0xFFFFFFFF); // class name
    put16(b, nk + 4 + 0x48, static_cast<std::uint16_t>(rootName.size()));
    std::memcpy(&b[nk + 4 + 0x4C], rootName.data(), rootName.size());

    // A self-relative security descriptor with a NULL DACL.
    const std::size_t skSize = 48;
    put32(b, sk, static_cast<std::uint32_t>(-static_cast<std::int32_t>(skSize)));
    std::memcpy(&b[sk + 4], "sk", 2);
    put32(b, sk + 4 + 0x04, skOffset); // next
    put32(b, sk + 4 + 0x08, skOffset); // previous
    put32(b, sk + 4 + 0x0C, 1);        // references
    put32(b, sk + 4 + 0x10, 20);       // descriptor size
    b[sk + 4 + 0x14] = 1;              // revision
    put16(b, sk + 4 + 0x16, 0x8004);   // self-relative, DACL present

    const std::size_t freeCell = sk + skSize;
    put32(b, freeCell, static_cast<std::uint32_t>(bin + kBlock - freeCell));
    return b;
}

void addTree(hive_h* h, hive_node_h node, const HiveKey& key) {
    std::vector<hive_set_value> values;
    values.reserve(key.values.size());
    for (const HiveValue& v : key.values)
        values.push_back({const_cast<char*>(v.name.c_str()), static_cast<hive_type>(v.type),
                          v.data.size(),
                          reinterpret_cast<char*>(const_cast<unsigned char*>(v.data.data()))});
    if (!values.empty() && hivex_node_set_values(h, node, values.size(), values.data(), 0) != 0)
        throw std::runtime_error("hivex cannot set the values of " + key.name + ": " +
                                 std::generic_category().message(errno));
    for (const HiveKey& sub : key.subkeys) {
        const hive_node_h child = hivex_node_add_child(h, node, sub.name.c_str());
        if (child == 0)
            throw std::runtime_error("hivex cannot add the key " + sub.name + ": " +
                                     std::generic_category().message(errno));
        addTree(h, child, sub);
    }
}

bool sameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

HiveKey& HiveKey::at(const std::string& path) {
    HiveKey* key = this;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string name = path.substr(start, end - start);
        HiveKey* next = nullptr;
        for (HiveKey& sub : key->subkeys)
            if (sameNoCase(sub.name, name))
                next = &sub;
        if (!next) {
            key->subkeys.push_back(HiveKey{name, {}, {}});
            next = &key->subkeys.back();
        }
        key = next;
        start = end + 1;
    }
    return *key;
}

void WriteHive(const std::filesystem::path& file, const HiveKey& root) {
    const std::filesystem::path base = file.string() + ".base";
    {
        const std::vector<unsigned char> bytes = baseHive();
        std::ofstream out(base, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + base.string());
    }
    hive_h* h = hivex_open(base.c_str(), HIVEX_OPEN_WRITE);
    if (!h)
        throw std::runtime_error("hivex cannot open the base hive: " +
                                 std::generic_category().message(errno));
    try {
        addTree(h, hivex_root(h), root);
    } catch (...) {
        hivex_close(h);
        throw;
    }
    const int committed = hivex_commit(h, file.c_str(), 0);
    hivex_close(h);
    std::filesystem::remove(base);
    if (committed != 0)
        throw std::runtime_error("hivex cannot write " + file.string());
}

void MakeDirty(const std::filesystem::path& hive) {
    std::vector<unsigned char> b(kBlock);
    {
        std::ifstream in(hive, std::ios::binary);
        in.read(reinterpret_cast<char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    put32(b, 0x04, get32(b, 0x08) + 1);
    seal(b);
    {
        std::fstream out(hive, std::ios::binary | std::ios::in | std::ios::out);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    // A log of a few pages, written after the hive.
    const auto hiveTime = std::filesystem::last_write_time(hive);
    const std::filesystem::path log = hive.string() + ".LOG1";
    std::ofstream(log, std::ios::binary) << std::string(2 * kBlock, '\0');
    std::filesystem::last_write_time(log, hiveTime + std::chrono::seconds(30));
}

} // namespace hivefixture
