#include "archive/Pbkdf2Sha1.h"

#include "archive/Sha1Lanes.h"
#include "archive/Sha1Wide.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace trelmig {

namespace {

constexpr std::size_t kBlockSize = 64;
constexpr std::size_t kDigestSize = 20;
constexpr Sha1State kInitialState = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};

[[noreturn]] void fail() {
    throw std::runtime_error("key derivation failed");
}

void storeBigEndian(const Sha1State& state, unsigned char* out) {
    for (std::size_t i = 0; i < state.size(); ++i)
        for (std::size_t b = 0; b < 4; ++b)
            out[4 * i + b] = static_cast<unsigned char>(state[i] >> (24 - 8 * b));
}

Sha1State loadBigEndian(const unsigned char* in) {
    Sha1State state{};
    for (std::size_t i = 0; i < state.size(); ++i)
        for (std::size_t b = 0; b < 4; ++b)
            state[i] = (state[i] << 8) | in[4 * i + b];
    return state;
}

// The state after the key's block xor pad: where every HMAC of the key starts.
Sha1State padState(std::span<const unsigned char> key, unsigned char pad) {
    std::array<unsigned char, kBlockSize> block;
    block.fill(pad);
    for (std::size_t i = 0; i < key.size(); ++i)
        block[i] ^= key[i];
    Sha1State state = kInitialState;
    const unsigned char* blocks[] = {block.data()};
    sha1CompressLanes(&state, blocks, 1);
    OPENSSL_cleanse(block.data(), block.size());
    return state;
}

// The last block of an HMAC's hash: a digest after one block of key, padded.
void prepareDigestBlock(unsigned char* block) {
    std::fill(block + kDigestSize, block + kBlockSize, 0);
    block[kDigestSize] = 0x80;
    constexpr std::size_t kBits = (kBlockSize + kDigestSize) * 8;
    block[kBlockSize - 2] = static_cast<unsigned char>(kBits >> 8);
    block[kBlockSize - 1] = static_cast<unsigned char>(kBits);
}

void deriveWithLanes(std::string_view password, std::span<const unsigned char> salt,
                     unsigned rounds, std::span<unsigned char> out) {
    // A key longer than a block is replaced by its digest, as HMAC does.
    std::array<unsigned char, kBlockSize> key{};
    std::size_t keySize = password.size();
    if (keySize > kBlockSize) {
        unsigned int digestSize = 0;
        if (EVP_Digest(password.data(), password.size(), key.data(), &digestSize, EVP_sha1(),
                       nullptr) != 1)
            fail();
        keySize = digestSize;
    } else {
        std::copy(password.begin(), password.end(), key.begin());
    }
    const Sha1State inner = padState({key.data(), keySize}, 0x36);
    const Sha1State outer = padState({key.data(), keySize}, 0x5c);

    const std::size_t lanes = (out.size() + kDigestSize - 1) / kDigestSize;
    std::vector<unsigned char> blocks(lanes * kBlockSize);
    std::vector<const unsigned char*> blockOf(lanes);
    std::vector<Sha1State> sums(lanes), states(lanes);
    std::vector<unsigned char> message(salt.begin(), salt.end());
    message.resize(salt.size() + 4);
    for (std::size_t l = 0; l < lanes; ++l) {
        const auto index = static_cast<std::uint32_t>(l + 1);
        for (std::size_t b = 0; b < 4; ++b)
            message[salt.size() + b] = static_cast<unsigned char>(index >> (24 - 8 * b));
        unsigned char* block = &blocks[l * kBlockSize];
        unsigned int size = 0;
        // The first round hashes the salt: once per lane, left to OpenSSL.
        if (!HMAC(EVP_sha1(), password.data(), static_cast<int>(password.size()), message.data(),
                  message.size(), block, &size) ||
            size != kDigestSize)
            fail();
        prepareDigestBlock(block);
        sums[l] = loadBigEndian(block);
        blockOf[l] = block;
    }
    for (unsigned r = 1; r < rounds; ++r) {
        std::fill(states.begin(), states.end(), inner);
        sha1CompressLanes(states.data(), blockOf.data(), lanes);
        for (std::size_t l = 0; l < lanes; ++l)
            storeBigEndian(states[l], &blocks[l * kBlockSize]);
        std::fill(states.begin(), states.end(), outer);
        sha1CompressLanes(states.data(), blockOf.data(), lanes);
        for (std::size_t l = 0; l < lanes; ++l) {
            storeBigEndian(states[l], &blocks[l * kBlockSize]);
            for (std::size_t i = 0; i < sums[l].size(); ++i)
                sums[l][i] ^= states[l][i];
        }
    }
    for (std::size_t l = 0; l < lanes; ++l) {
        unsigned char digest[kDigestSize];
        storeBigEndian(sums[l], digest);
        const std::size_t at = l * kDigestSize;
        std::copy_n(digest, std::min(kDigestSize, out.size() - at), out.begin() + at);
        OPENSSL_cleanse(digest, sizeof digest);
    }
    OPENSSL_cleanse(key.data(), key.size());
    OPENSSL_cleanse(blocks.data(), blocks.size());
    OPENSSL_cleanse(sums.data(), sums.size() * sizeof(Sha1State));
    OPENSSL_cleanse(states.data(), states.size() * sizeof(Sha1State));
}

// The key HMAC uses for password: the password, or its digest when longer
// than a block; false when OpenSSL fails.
bool hmacKey(std::string_view password, std::array<unsigned char, kBlockSize>& key,
             std::size_t& keySize) {
    key.fill(0);
    keySize = password.size();
    if (keySize <= kBlockSize) {
        std::copy(password.begin(), password.end(), key.begin());
        return true;
    }
    unsigned int digestSize = 0;
    if (EVP_Digest(password.data(), password.size(), key.data(), &digestSize, EVP_sha1(),
                   nullptr) != 1)
        return false;
    keySize = digestSize;
    return true;
}

// One chain of the batch: the output block `number` (from 1) of key `key`.
struct Chain {
    std::size_t key;
    std::uint32_t number;
};

void deriveWide(std::string_view password, std::span<const std::span<const unsigned char>> salts,
                unsigned rounds, std::span<const std::span<unsigned char>> outs) {
    std::array<unsigned char, kBlockSize> key{};
    std::size_t keySize = 0;
    if (!hmacKey(password, key, keySize))
        fail();
    std::array<std::array<unsigned char, kBlockSize>, 2> pads;
    pads[0].fill(0x36);
    pads[1].fill(0x5c);
    for (auto& pad : pads)
        for (std::size_t i = 0; i < keySize; ++i)
            pad[i] ^= key[i];
    const unsigned char* padBlocks[] = {pads[0].data(), pads[1].data()};
    Sha1State padStates[2];
    sha1FirstBlockWide(padBlocks, 2, padStates);
    OPENSSL_cleanse(key.data(), key.size());
    OPENSSL_cleanse(pads.data(), sizeof pads);

    std::vector<Chain> chains;
    for (std::size_t k = 0; k < salts.size(); ++k)
        for (std::size_t at = 0, n = 1; at < outs[k].size(); at += kDigestSize, ++n)
            chains.push_back({k, static_cast<std::uint32_t>(n)});
    const std::size_t messageSize = salts.front().size() + 4;
    std::vector<unsigned char> messages(kSha1WideLanes * messageSize);
    const unsigned char* messageOf[kSha1WideLanes];
    Sha1State sums[kSha1WideLanes];
    for (std::size_t first = 0; first < chains.size(); first += kSha1WideLanes) {
        const std::size_t lanes = std::min(kSha1WideLanes, chains.size() - first);
        for (std::size_t l = 0; l < lanes; ++l) {
            const Chain& chain = chains[first + l];
            unsigned char* message = &messages[l * messageSize];
            std::copy(salts[chain.key].begin(), salts[chain.key].end(), message);
            for (std::size_t b = 0; b < 4; ++b)
                message[messageSize - 4 + b] =
                    static_cast<unsigned char>(chain.number >> (24 - 8 * b));
            messageOf[l] = message;
        }
        pbkdf2Sha1Wide(padStates[0], padStates[1], messageOf, messageSize, lanes, rounds, sums);
        for (std::size_t l = 0; l < lanes; ++l) {
            const Chain& chain = chains[first + l];
            unsigned char digest[kDigestSize];
            storeBigEndian(sums[l], digest);
            const std::size_t at = (chain.number - 1) * kDigestSize;
            const std::span<unsigned char> out = outs[chain.key];
            std::copy_n(digest, std::min(kDigestSize, out.size() - at), out.begin() + at);
            OPENSSL_cleanse(digest, sizeof digest);
        }
    }
    OPENSSL_cleanse(sums, sizeof sums);
    OPENSSL_cleanse(padStates, sizeof padStates);
}

} // namespace

void pbkdf2HmacSha1Many(std::string_view password,
                        std::span<const std::span<const unsigned char>> salts, unsigned rounds,
                        std::span<const std::span<unsigned char>> outs) {
    if (salts.size() != outs.size())
        throw std::invalid_argument("PBKDF2 needs one output for each salt");
    if (rounds == 0)
        throw std::invalid_argument("PBKDF2 needs at least one round");
    if (salts.empty())
        return;
    // One block holds the salt, the block's number and the padding.
    const bool oneSize = std::all_of(salts.begin(), salts.end(), [&](const auto& salt) {
        return salt.size() == salts.front().size() && salt.size() + 4 <= 55;
    });
    if (salts.size() > 1 && oneSize && sha1WideSupported())
        return deriveWide(password, salts, rounds, outs);
    for (std::size_t i = 0; i < salts.size(); ++i)
        pbkdf2HmacSha1(password, salts[i], rounds, outs[i]);
}

void pbkdf2HmacSha1(std::string_view password, std::span<const unsigned char> salt, unsigned rounds,
                    std::span<unsigned char> out) {
    if (rounds == 0)
        throw std::invalid_argument("PBKDF2 needs at least one round");
    if (out.empty())
        return;
    if (sha1LanesSupported())
        return deriveWithLanes(password, salt, rounds, out);
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), static_cast<int>(rounds), EVP_sha1(),
                          static_cast<int>(out.size()), out.data()) != 1)
        fail();
}

} // namespace trelmig
