#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace trelmig {

// The counter mode of WinZip AES: each 16-byte block of the entry's data is
// XORed with the AES encryption of a counter block whose low 8 bytes hold a
// little-endian counter starting at 1 (the high 8 bytes stay zero). The same
// operation encrypts and decrypts. OpenSSL encrypts the counters a batch at a
// time, with AES instructions where the processor has them. Throws
// std::runtime_error when OpenSSL fails.
class ZipAesCtr {
public:
    // key: 16, 24 or 32 bytes (AES-128, -192, -256).
    explicit ZipAesCtr(std::span<const unsigned char> key);
    ~ZipAesCtr();
    ZipAesCtr(const ZipAesCtr&) = delete;
    ZipAesCtr& operator=(const ZipAesCtr&) = delete;

    // XORs the next bytes of the key stream onto data; any lengths.
    void apply(std::span<unsigned char> data);
    // The next apply() starts at that byte of the entry's data: the key
    // stream of any place is its block's counter, so chunks of one entry can
    // be decrypted apart.
    void seek(std::uint64_t byteOffset);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace trelmig
