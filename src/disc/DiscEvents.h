#pragma once

#include "disc/DiscTypes.h"

#include <string>

namespace trelmig {

// What the engine reports to the disc window. Image events arrive inside the
// image call that causes them; write and verify events arrive from
// DiscEngine::Poll. Every handler is optional.
class DiscEngineEvents {
public:
    virtual ~DiscEngineEvents() = default;

    virtual void WriteState(int /*state*/, int /*progress*/) {}
    // A source that cannot be read as the write begins. True leaves it out
    // and goes on, false cancels the write.
    virtual bool FileWarning(const FileErrorInfo& /*info*/) { return true; }
    virtual void TrackStatus(int /*track*/, long /*count*/, const std::string& /*text*/) {}
    virtual void Error(const DiscError& /*error*/) {}
    virtual void VerifyStart(long /*fileCount*/) {}
    // index counts from 1 up to total.
    virtual void VerifyResult(const DiscItem& /*item*/, int /*code*/, long /*index*/,
                              long /*total*/) {}
    virtual void VerifyDone(long /*checked*/, long /*matched*/) {}

    virtual void FolderAdded(const DiscItem& /*item*/) {}
    virtual void ItemRemoved(const DiscItem& /*item*/) {}
    virtual void ItemRename(const DiscItem& /*item*/) {}
    virtual void FileListed(const DiscItem& /*item*/) {}
    // A file is added where the image already holds one. True replaces it.
    virtual bool ReplaceQuery(const DiscItem& /*existing*/, const std::string& /*newSource*/) {
        return false;
    }
    virtual void ImageCleared() {}
};

// What the engine reports to the erase window, from DiscEngine::Poll.
class DiscEraseEvents {
public:
    virtual ~DiscEraseEvents() = default;
    virtual void EraseState(int /*state*/, int /*percent*/) {}
    virtual void DeviceError(const DeviceErrorInfo& /*info*/) {}
};

} // namespace trelmig
