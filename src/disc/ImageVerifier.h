#pragma once

#include "core/Error.h"
#include "disc/DiscDevice.h"
#include "disc/DiscTypes.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

struct Iso_Image;

namespace trelmig {

// Reads a written image back through libisofs and compares its files with
// their sources, byte for byte.
class ImageVerifier {
public:
    // startBlock: where the session begins on the medium.
    ImageVerifier(BlockReader& reader, std::uint32_t startBlock);
    ~ImageVerifier();
    ImageVerifier(const ImageVerifier&) = delete;
    ImageVerifier& operator=(const ImageVerifier&) = delete;

    // Loads the image's directory tree; fails when it is not a readable image.
    Result<void> Open();
    // A verify result code for one file of the image (Open must have
    // succeeded); stops early with kVerifySkipped when cancel is set.
    int Compare(const DiscItem& file, const std::atomic<bool>& cancel);

private:
    struct Source;
    std::unique_ptr<Source> source_;
    std::uint32_t startBlock_;
    ::Iso_Image* image_ = nullptr;
};

// "\a\b" as libisofs writes it: "/a/b".
std::string IsoPathOf(const std::string& imagePath);

} // namespace trelmig
