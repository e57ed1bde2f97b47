#include "platform/PeVersion.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string_view>
#include <vector>

namespace trelmig {

namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000u;
// Version resources are a few KiB; anything far larger is not one.
constexpr std::uint32_t kMaxVersionResource = 1u << 20;

// Bounds-checked little-endian reads at file offsets.
class Reader {
public:
    explicit Reader(const std::filesystem::path& file) : in_(file, std::ios::binary) {
        if (in_) {
            in_.seekg(0, std::ios::end);
            std::streamoff end = in_.tellg();
            size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        }
    }

    bool ok() const { return static_cast<bool>(in_); }
    std::uint64_t size() const { return size_; }

    bool read(std::uint64_t offset, void* buffer, std::uint64_t length) {
        if (offset > size_ || length > size_ - offset)
            return false;
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(length));
        return static_cast<std::uint64_t>(in_.gcount()) == length;
    }
    std::optional<std::uint32_t> u16(std::uint64_t offset) { return number(offset, 2); }
    std::optional<std::uint32_t> u32(std::uint64_t offset) { return number(offset, 4); }

private:
    std::optional<std::uint32_t> number(std::uint64_t offset, unsigned length) {
        unsigned char bytes[4] = {};
        if (!read(offset, bytes, length))
            return std::nullopt;
        std::uint32_t value = 0;
        for (unsigned i = length; i-- > 0;)
            value = value << 8 | bytes[i];
        return value;
    }

    std::ifstream in_;
    std::uint64_t size_ = 0;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

// File offset of the bytes at rva, when length bytes there lie in one section.
std::optional<std::uint64_t> fileOffset(const std::vector<Section>& sections, std::uint32_t rva,
                                        std::uint32_t length) {
    for (const Section& s : sections) {
        std::uint64_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva < s.virtualAddress || rva - s.virtualAddress >= extent)
            continue;
        std::uint64_t delta = rva - s.virtualAddress;
        if (delta + length > s.rawSize)
            return std::nullopt; // not in the file's bytes
        return s.rawOffset + delta;
    }
    return std::nullopt;
}

// Offset field of the entry of a resource directory (at dirOffset) whose id
// is wanted, or of its first entry when wanted is empty.
std::optional<std::uint32_t> directoryEntry(Reader& file, std::uint64_t dirOffset,
                                            std::optional<std::uint32_t> wanted) {
    auto named = file.u16(dirOffset + 12);
    auto ids = file.u16(dirOffset + 14);
    if (!named || !ids)
        return std::nullopt;
    const std::uint32_t count = *named + *ids;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t entry = dirOffset + 16 + std::uint64_t{i} * 8;
        auto name = file.u32(entry);
        auto offset = file.u32(entry + 4);
        if (!name || !offset)
            return std::nullopt;
        if (!wanted || (!(*name & kSubdirectoryFlag) && *name == *wanted))
            return offset;
    }
    return std::nullopt;
}

// Where the optional header's data directories say the resources are, and
// the section table that maps them to file offsets.
struct PeLayout {
    std::uint32_t resourceRva = 0;
    std::vector<Section> sections;
};

// The RVA of the resource directory, from the optional header at optional.
std::optional<std::uint32_t> resourceDirectoryRva(Reader& file, std::uint64_t optional,
                                                  std::uint32_t optionalSize) {
    auto magic = file.u16(optional);
    if (!magic)
        return std::nullopt;
    std::uint64_t directoryCountAt;
    if (*magic == 0x10B)
        directoryCountAt = 92; // PE32
    else if (*magic == 0x20B)
        directoryCountAt = 108; // PE32+
    else
        return std::nullopt;
    auto directoryCount = file.u32(optional + directoryCountAt);
    const std::uint64_t resourceDirectoryAt =
        optional + directoryCountAt + 4 + std::uint64_t{2} * 8;
    if (!directoryCount || *directoryCount <= 2 ||
        resourceDirectoryAt + 8 > optional + optionalSize)
        return std::nullopt;
    auto resourceRva = file.u32(resourceDirectoryAt);
    if (!resourceRva || *resourceRva == 0)
        return std::nullopt;
    return resourceRva;
}

std::optional<PeLayout> readLayout(Reader& file) {
    char mz[2] = {};
    if (!file.read(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z')
        return std::nullopt;
    auto peOffset = file.u32(0x3C);
    if (!peOffset)
        return std::nullopt;
    char signature[4] = {};
    if (!file.read(*peOffset, signature, 4) ||
        std::string_view(signature, 4) != std::string_view("PE\0\0", 4))
        return std::nullopt;

    const std::uint64_t coff = std::uint64_t{*peOffset} + 4;
    auto sectionCount = file.u16(coff + 2);
    auto optionalSize = file.u16(coff + 16);
    if (!sectionCount || !optionalSize)
        return std::nullopt;
    const std::uint64_t optional = coff + 20;
    PeLayout layout;
    auto resourceRva = resourceDirectoryRva(file, optional, *optionalSize);
    if (!resourceRva)
        return std::nullopt;
    layout.resourceRva = *resourceRva;

    const std::uint64_t sectionTable = optional + *optionalSize;
    for (std::uint32_t i = 0; i < *sectionCount; ++i) {
        const std::uint64_t at = sectionTable + std::uint64_t{i} * 40;
        auto virtualSize = file.u32(at + 8);
        auto virtualAddress = file.u32(at + 12);
        auto rawSize = file.u32(at + 16);
        auto rawOffset = file.u32(at + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset)
            return std::nullopt;
        layout.sections.push_back({*virtualAddress, *virtualSize, *rawSize, *rawOffset});
    }
    return layout;
}

// The bytes of the first version resource, found through the resource tree:
// type -> name -> language -> data entry. Offsets in the tree are relative to
// its start.
std::optional<std::vector<unsigned char>> versionResource(Reader& file, const PeLayout& layout) {
    auto resourceBase = fileOffset(layout.sections, layout.resourceRva, 16);
    if (!resourceBase)
        return std::nullopt;
    std::uint64_t directory = *resourceBase;
    std::optional<std::uint32_t> wanted = kRtVersion;
    for (int level = 0; level < 3; ++level) {
        auto entry = directoryEntry(file, directory, wanted);
        if (!entry)
            return std::nullopt;
        const bool isDirectory = (*entry & kSubdirectoryFlag) != 0;
        if (isDirectory != (level < 2))
            return std::nullopt;
        directory = *resourceBase + (*entry & ~kSubdirectoryFlag);
        wanted.reset();
    }
    // Data entry: RVA and size of the version resource.
    auto dataRva = file.u32(directory);
    auto dataSize = file.u32(directory + 4);
    if (!dataRva || !dataSize || *dataSize < 16 || *dataSize > kMaxVersionResource)
        return std::nullopt;
    auto dataAt = fileOffset(layout.sections, *dataRva, *dataSize);
    if (!dataAt)
        return std::nullopt;
    std::vector<unsigned char> data(*dataSize);
    if (!file.read(*dataAt, data.data(), data.size()))
        return std::nullopt;
    return data;
}

// "a.b.c.d" from the VS_FIXEDFILEINFO, which VS_VERSIONINFO puts after its
// key, 32-bit aligned.
std::optional<std::string> fixedFileVersion(const std::vector<unsigned char>& data) {
    auto le32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(data[at]) | std::uint32_t{data[at + 1]} << 8 |
               std::uint32_t{data[at + 2]} << 16 | std::uint32_t{data[at + 3]} << 24;
    };
    for (std::size_t at = 0; at + 16 <= data.size(); at += 4) {
        if (le32(at) != kFixedFileInfoSignature)
            continue;
        const std::uint32_t ms = le32(at + 8);
        const std::uint32_t ls = le32(at + 12);
        return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
               std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> readPeFileVersion(const std::filesystem::path& exe) {
    Reader file(exe);
    if (!file.ok())
        return std::nullopt;
    const auto layout = readLayout(file);
    if (!layout)
        return std::nullopt;
    const auto data = versionResource(file, *layout);
    if (!data)
        return std::nullopt;
    return fixedFileVersion(*data);
}

} // namespace trelmig
