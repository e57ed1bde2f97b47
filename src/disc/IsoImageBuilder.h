#pragma once

#include "core/Error.h"
#include "disc/DiscTypes.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct burn_source;
struct Iso_Image;

namespace trelmig {

struct IsoBuildOptions {
    std::string volumeId;
    int fileSystem = kFsIso9660 | kFsJoliet; // the UDF bit is not written
    bool rockRidge = true;
    bool recordMd5 = true; // per file and for the session, with the Rock Ridge attributes
    bool useFileDates = true;
    std::uint32_t startBlock = 0; // where the session begins on the medium
};

// Turns the entries of a disc image into a libisofs image: ISO 9660 level 3
// (files over 4 GiB in several extents), Joliet and Rock Ridge as asked.
class IsoImageBuilder {
public:
    // Answers a source that cannot be opened: true leaves it out, false stops.
    using UnreadableHandler = std::function<bool(const FileErrorInfo&)>;

    explicit IsoImageBuilder(IsoBuildOptions options);
    ~IsoImageBuilder();
    IsoImageBuilder(const IsoImageBuilder&) = delete;
    IsoImageBuilder& operator=(const IsoImageBuilder&) = delete;

    // Adds the entries (parents before their content). Fails when the
    // handler stopped it or libisofs failed. Files left out are appended to
    // leftOut.
    Result<void> Build(const std::vector<DiscItem>& entries, const UnreadableHandler& unreadable,
                       std::vector<DiscItem>& leftOut);
    // Starts producing the image; the stream is the caller's.
    Result<::burn_source*> CreateStream();

    // The size in bytes the image of these entries takes; sources that cannot
    // be read are left out.
    static std::optional<double> MeasureSize(const std::vector<DiscItem>& entries,
                                             const IsoBuildOptions& options);

private:
    Result<::burn_source*> Start(bool sizeOnly);

    IsoBuildOptions options_;
    ::Iso_Image* image_ = nullptr;
};

// The description of what a file-system type writes, for the status panel.
std::string FileSystemDescription(int fileSystem);

} // namespace trelmig
