// Builds the stand-in OUTLOOK.EXE of the sample prefix: a small PE32 image that
// never runs but carries the version resource that Outlook 2010 (14.0.4760.1000)
// has, so that version detection reads it the way it reads the real program.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sample {

namespace pe {

using Bytes = std::vector<unsigned char>;

inline void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

inline void append16(Bytes& b, std::uint16_t v) {
    b.resize(b.size() + 2);
    put16(b, b.size() - 2, v);
}

inline void append32(Bytes& b, std::uint32_t v) {
    b.resize(b.size() + 4);
    put32(b, b.size() - 4, v);
}

inline void appendWide(Bytes& b, const std::string& ascii) {
    for (char c : ascii)
        append16(b, static_cast<unsigned char>(c));
    append16(b, 0);
}

inline void padTo(Bytes& b, std::size_t alignment) {
    while (b.size() % alignment != 0)
        b.push_back(0);
}

// One node of a version resource: header, key, value, then the children, each
// starting on a 32-bit boundary. wLength leaves out trailing padding.
inline Bytes versionNode(const std::string& key, std::uint16_t type, const Bytes& value,
                         std::uint16_t valueLength, const std::vector<Bytes>& children) {
    Bytes node(6, 0);
    appendWide(node, key);
    padTo(node, 4);
    node.insert(node.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        padTo(node, 4);
        node.insert(node.end(), child.begin(), child.end());
    }
    put16(node, 0, static_cast<std::uint16_t>(node.size()));
    put16(node, 2, valueLength);
    put16(node, 4, type);
    return node;
}

inline Bytes versionString(const std::string& key, const std::string& text) {
    Bytes value;
    appendWide(value, text);
    return versionNode(key, 1, value, static_cast<std::uint16_t>(text.size() + 1), {});
}

struct FileVersion {
    std::uint16_t major, minor, build, revision;
};

inline Bytes versionInfo(FileVersion v, const std::string& versionText) {
    Bytes fixed;
    append32(fixed, 0xFEEF04BD); // dwSignature
    append32(fixed, 0x00010000); // dwStrucVersion
    append32(fixed, std::uint32_t(v.major) << 16 | v.minor);
    append32(fixed, std::uint32_t(v.build) << 16 | v.revision);
    append32(fixed, std::uint32_t(v.major) << 16 | v.minor); // product version
    append32(fixed, std::uint32_t(v.build) << 16 | v.revision);
    append32(fixed, 0x3F);       // dwFileFlagsMask
    append32(fixed, 0);          // dwFileFlags
    append32(fixed, 0x00040004); // VOS_NT_WINDOWS32
    append32(fixed, 1);          // VFT_APP
    append32(fixed, 0);          // dwFileSubtype
    append32(fixed, 0);          // dwFileDateMS
    append32(fixed, 0);          // dwFileDateLS

    const std::vector<std::pair<std::string, std::string>> strings = {
        {"Comments", "Synthetic test file of the trelmig sample prefix, not Microsoft software"},
        {"CompanyName", "Microsoft Corporation"},
        {"FileDescription", "Microsoft Outlook"},
        {"FileVersion", versionText},
        {"InternalName", "Outlook"},
        {"OriginalFilename", "Outlook.exe"},
        {"ProductName", "Microsoft Outlook"},
        {"ProductVersion", versionText},
    };
    std::vector<Bytes> stringNodes;
    for (const auto& [key, text] : strings)
        stringNodes.push_back(versionString(key, text));
    Bytes stringTable = versionNode("040904B0", 1, {}, 0, stringNodes);
    Bytes stringFileInfo = versionNode("StringFileInfo", 1, {}, 0, {stringTable});

    Bytes translation;
    append16(translation, 0x0409); // US English
    append16(translation, 1200);   // Unicode
    Bytes var = versionNode("Translation", 0, translation, 4, {});
    Bytes varFileInfo = versionNode("VarFileInfo", 1, {}, 0, {var});

    return versionNode("VS_VERSION_INFO", 0, fixed, static_cast<std::uint16_t>(fixed.size()),
                       {stringFileInfo, varFileInfo});
}

// Resource section: RT_VERSION (16) -> ID 1 -> language 1033 -> data entry,
// followed by the version data. Offsets inside the tree are relative to the
// section start; the data entry holds an RVA.
inline Bytes resourceSection(const Bytes& version, std::uint32_t sectionRva) {
    Bytes rsrc;
    auto directory = [&rsrc](std::uint32_t id, std::uint32_t target) {
        append32(rsrc, 0); // Characteristics
        append32(rsrc, 0); // TimeDateStamp
        append16(rsrc, 0); // MajorVersion
        append16(rsrc, 0); // MinorVersion
        append16(rsrc, 0); // NumberOfNamedEntries
        append16(rsrc, 1); // NumberOfIdEntries
        append32(rsrc, id);
        append32(rsrc, target);
    };
    constexpr std::uint32_t kSubdirectory = 0x80000000;
    constexpr std::uint32_t kDirectorySize = 24;
    directory(16, kSubdirectory | kDirectorySize);
    directory(1, kSubdirectory | 2 * kDirectorySize);
    directory(1033, 3 * kDirectorySize);
    const std::uint32_t dataOffset = 3 * kDirectorySize + 16;
    append32(rsrc, sectionRva + dataOffset);
    append32(rsrc, static_cast<std::uint32_t>(version.size()));
    append32(rsrc, 0); // CodePage
    append32(rsrc, 0); // Reserved
    rsrc.insert(rsrc.end(), version.begin(), version.end());
    return rsrc;
}

// The checksum of the optional header, as the image help library computes it.
inline std::uint32_t imageChecksum(const Bytes& image, std::size_t checksumOffset) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < image.size(); i += 2) {
        if (i == checksumOffset || i == checksumOffset + 2)
            continue;
        std::uint32_t word = image[i];
        if (i + 1 < image.size())
            word |= std::uint32_t(image[i + 1]) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + image.size());
}

inline std::uint32_t alignUp(std::uint32_t v, std::uint32_t alignment) {
    return (v + alignment - 1) / alignment * alignment;
}

} // namespace pe

// The Outlook 2010 stand-in by default; other releases give their version.
inline std::vector<unsigned char> buildSamplePe(pe::FileVersion version = {14, 0, 4760, 1000}) {
    using namespace pe;
    constexpr std::uint32_t kFileAlignment = 0x200;
    constexpr std::uint32_t kSectionAlignment = 0x1000;
    constexpr std::uint32_t kPeOffset = 0x80;
    constexpr std::uint32_t kOptionalHeaderSize = 0xE0;
    constexpr std::uint32_t kSectionTable = kPeOffset + 4 + 20 + kOptionalHeaderSize;
    constexpr std::uint32_t kHeadersSize = kFileAlignment;
    constexpr std::uint32_t kTextRva = 0x1000;
    constexpr std::uint32_t kRsrcRva = 0x2000;

    const Bytes text = {0x31, 0xC0, 0xC3}; // xor eax, eax; ret
    const std::string versionText =
        std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
        std::to_string(version.build) + "." + std::to_string(version.revision);
    const Bytes rsrc = resourceSection(versionInfo(version, versionText), kRsrcRva);
    const std::uint32_t textRaw = alignUp(static_cast<std::uint32_t>(text.size()), kFileAlignment);
    const std::uint32_t rsrcRaw = alignUp(static_cast<std::uint32_t>(rsrc.size()), kFileAlignment);
    const std::uint32_t textFile = kHeadersSize;
    const std::uint32_t rsrcFile = textFile + textRaw;
    const std::uint32_t imageSize =
        kRsrcRva + alignUp(static_cast<std::uint32_t>(rsrc.size()), kSectionAlignment);

    Bytes image(rsrcFile + rsrcRaw, 0);

    // DOS header and the usual stub.
    image[0] = 'M';
    image[1] = 'Z';
    put16(image, 0x02, 0x90);   // bytes on last page
    put16(image, 0x04, 3);      // pages
    put16(image, 0x08, 4);      // header paragraphs
    put16(image, 0x0C, 0xFFFF); // max allocation
    put16(image, 0x10, 0xB8);   // initial SP
    put16(image, 0x18, 0x40);   // relocation table offset
    put32(image, 0x3C, kPeOffset);
    const unsigned char stubCode[] = {0x0E, 0x1F, 0xBA, 0x0E, 0x00, 0xB4, 0x09,
                                      0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21};
    std::size_t at = 0x40;
    for (unsigned char c : stubCode)
        image[at++] = c;
    for (char c : std::string("This program cannot be run in DOS mode.\r\r\n$"))
        image[at++] = static_cast<unsigned char>(c);

    // PE signature and file header.
    at = kPeOffset;
    image[at] = 'P';
    image[at + 1] = 'E';
    const std::size_t fileHeader = at + 4;
    put16(image, fileHeader + 0, 0x014C);               // Machine: i386
    put16(image, fileHeader + 2, 2);                    // NumberOfSections
    put32(image, fileHeader + 4, 0x4B4AD8B1);           // TimeDateStamp
    put16(image, fileHeader + 16, kOptionalHeaderSize); // SizeOfOptionalHeader
    put16(image, fileHeader + 18, 0x0103); // RELOCS_STRIPPED | EXECUTABLE_IMAGE | 32BIT_MACHINE

    // Optional header (PE32).
    const std::size_t opt = fileHeader + 20;
    put16(image, opt + 0, 0x010B);      // Magic
    image[opt + 2] = 9;                 // linker version
    put32(image, opt + 4, textRaw);     // SizeOfCode
    put32(image, opt + 8, rsrcRaw);     // SizeOfInitializedData
    put32(image, opt + 16, kTextRva);   // AddressOfEntryPoint
    put32(image, opt + 20, kTextRva);   // BaseOfCode
    put32(image, opt + 24, kRsrcRva);   // BaseOfData
    put32(image, opt + 28, 0x2F000000); // ImageBase
    put32(image, opt + 32, kSectionAlignment);
    put32(image, opt + 36, kFileAlignment);
    put16(image, opt + 40, 5); // OS version 5.1
    put16(image, opt + 42, 1);
    put16(image, opt + 44, version.major); // image version
    put16(image, opt + 48, 5);             // subsystem version 5.1
    put16(image, opt + 50, 1);
    put32(image, opt + 56, imageSize);
    put32(image, opt + 60, kHeadersSize);
    put16(image, opt + 68, 2);          // Subsystem: Windows GUI
    put16(image, opt + 70, 0x8100);     // NX_COMPAT | TERMINAL_SERVER_AWARE
    put32(image, opt + 72, 0x00100000); // stack reserve
    put32(image, opt + 76, 0x00001000); // stack commit
    put32(image, opt + 80, 0x00100000); // heap reserve
    put32(image, opt + 84, 0x00001000); // heap commit
    put32(image, opt + 92, 16);         // NumberOfRvaAndSizes
    const std::size_t dataDirectories = opt + 96;
    put32(image, dataDirectories + 2 * 8, kRsrcRva); // resource table
    put32(image, dataDirectories + 2 * 8 + 4, static_cast<std::uint32_t>(rsrc.size()));

    // Section table.
    auto section = [&image](std::size_t entry, const char* name, std::uint32_t virtualSize,
                            std::uint32_t rva, std::uint32_t rawSize, std::uint32_t rawOffset,
                            std::uint32_t characteristics) {
        for (std::size_t i = 0; name[i] != '\0'; ++i)
            image[entry + i] = static_cast<unsigned char>(name[i]);
        put32(image, entry + 8, virtualSize);
        put32(image, entry + 12, rva);
        put32(image, entry + 16, rawSize);
        put32(image, entry + 20, rawOffset);
        put32(image, entry + 36, characteristics);
    };
    section(kSectionTable, ".text", static_cast<std::uint32_t>(text.size()), kTextRva, textRaw,
            textFile, 0x60000020); // code, execute, read
    section(kSectionTable + 40, ".rsrc", static_cast<std::uint32_t>(rsrc.size()), kRsrcRva, rsrcRaw,
            rsrcFile, 0x40000040); // initialized data, read

    std::copy(text.begin(), text.end(), image.begin() + textFile);
    std::copy(rsrc.begin(), rsrc.end(), image.begin() + rsrcFile);

    const std::size_t checksumOffset = opt + 64;
    put32(image, checksumOffset, imageChecksum(image, checksumOffset));
    return image;
}

} // namespace sample
