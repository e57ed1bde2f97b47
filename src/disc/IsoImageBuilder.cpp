#define LIBISOFS_WITHOUT_LIBBURN // for the fields of libisofs' burn_source
#include <cstdint>
#include <libisofs/libisofs.h>

#include "disc/IsoImageBuilder.h"

#include "disc/BurnLibrary.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <system_error>
#include <unistd.h>

namespace trelmig {

namespace {

std::string IsoErrorText(int code) {
    const char* text = iso_error_to_msg(code);
    return text ? text : "libisofs error " + std::to_string(code);
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

// The volume identifier as ISO 9660 holds it: at most 32 bytes.
std::string VolumeId(const std::string& text) {
    std::string id = text.substr(0, 32);
    // Do not cut a UTF-8 sequence in half.
    while (!id.empty() && (static_cast<unsigned char>(id.back()) & 0xC0) == 0x80)
        id.pop_back();
    if (!id.empty() && (static_cast<unsigned char>(id.back()) & 0x80))
        id.pop_back();
    return id;
}

} // namespace

std::string FileSystemDescription(int fileSystem) {
    std::string text = (fileSystem & kFsJoliet) ? "ISO9660/Joliet" : "ISO9660";
    text += " with Rock Ridge";
    if (fileSystem & kFsUdf)
        text += " (UDF is not included)";
    return text;
}

IsoImageBuilder::IsoImageBuilder(IsoBuildOptions options) : options_(std::move(options)) {}

IsoImageBuilder::~IsoImageBuilder() {
    if (image_)
        iso_image_unref(image_);
}

Result<void> IsoImageBuilder::Build(const std::vector<DiscItem>& entries,
                                    const UnreadableHandler& unreadable,
                                    std::vector<DiscItem>& leftOut) {
    if (!InitializeDiscLibraries())
        return Fail("The image library could not be started.");
    if (image_)
        iso_image_unref(image_);
    image_ = nullptr;
    const std::string volume = VolumeId(options_.volumeId);
    int result = iso_image_new(volume.c_str(), &image_);
    if (result < 0)
        return Fail(IsoErrorText(result));
    iso_tree_set_follow_symlinks(image_, 1);
    std::map<std::string, IsoDir*> folders;
    folders["\\"] = iso_image_get_root(image_);
    for (const auto& entry : entries) {
        auto parent = folders.find(entry.parentPath);
        if (parent == folders.end())
            continue; // below a folder that was left out
        if (entry.isFolder) {
            IsoDir* dir = nullptr;
            result = iso_tree_add_new_dir(parent->second, entry.name.c_str(), &dir);
            if (result < 0)
                return Fail(IsoErrorText(result) + ": " + entry.imagePath);
            if (options_.useFileDates && entry.date) {
                const auto date = static_cast<time_t>(entry.date);
                iso_node_set_mtime(reinterpret_cast<IsoNode*>(dir), date);
                iso_node_set_atime(reinterpret_cast<IsoNode*>(dir), date);
                iso_node_set_ctime(reinterpret_cast<IsoNode*>(dir), date);
            }
            folders[entry.imagePath] = dir;
            continue;
        }
        const std::string source = AbsolutePath(entry.sourcePath);
        const int fd = ::open(source.c_str(), O_RDONLY);
        if (fd < 0) {
            const int err = errno;
            const FileErrorInfo info{err, std::generic_category().message(err), source};
            if (unreadable && !unreadable(info))
                return Fail("Stopped at a source that cannot be read: " + source);
            leftOut.push_back(entry);
            continue;
        }
        ::close(fd);
        result = iso_tree_add_new_node(image_, parent->second, entry.name.c_str(), source.c_str(),
                                       nullptr);
        if (result < 0) {
            const FileErrorInfo info{result, IsoErrorText(result), source};
            if (unreadable && !unreadable(info))
                return Fail(IsoErrorText(result) + ": " + source);
            leftOut.push_back(entry);
        }
    }
    return {};
}

Result<::burn_source*> IsoImageBuilder::Start(bool sizeOnly) {
    if (!image_)
        return Fail("No image was built.");
    IsoWriteOpts* opts = nullptr;
    int result = iso_write_opts_new(&opts, 0);
    if (result < 0)
        return Fail(IsoErrorText(result));
    iso_write_opts_set_iso_level(opts, 3);
    iso_write_opts_set_rockridge(opts, options_.rockRidge ? 1 : 0);
    const bool joliet = options_.fileSystem & kFsJoliet;
    iso_write_opts_set_joliet(opts, joliet ? 1 : 0);
    if (joliet) {
        iso_write_opts_set_joliet_long_names(opts, 1);
        iso_write_opts_set_joliet_longer_paths(opts, 1);
    }
    // Keep the volume identifier as typed (mixed case, blanks).
    iso_write_opts_set_relaxed_vol_atts(opts, 1);
    if (options_.rockRidge) {
        iso_write_opts_set_aaip(opts, 1);
        iso_write_opts_set_record_md5(opts, options_.recordMd5 ? 1 : 0, options_.recordMd5 ? 1 : 0);
    }
    if (options_.useFileDates) {
        iso_write_opts_set_dir_rec_mtime(opts, 1 | 2);
    } else {
        iso_write_opts_set_replace_timestamps(opts, 2);
        iso_write_opts_set_default_timestamp(opts, std::time(nullptr));
    }
    iso_write_opts_set_ms_block(opts, options_.startBlock);
    iso_write_opts_set_will_cancel(opts, sizeOnly ? 1 : 0);
    ::burn_source* stream = nullptr;
    result = iso_image_create_burn_source(image_, opts, &stream);
    iso_write_opts_free(opts);
    if (result < 0)
        return Fail(IsoErrorText(result));
    return stream;
}

Result<::burn_source*> IsoImageBuilder::CreateStream() {
    return Start(false);
}

std::optional<double> IsoImageBuilder::MeasureSize(const std::vector<DiscItem>& entries,
                                                   const IsoBuildOptions& options) {
    IsoImageBuilder builder(options);
    std::vector<DiscItem> leftOut;
    if (!builder.Build(
            entries, [](const FileErrorInfo&) { return true; }, leftOut))
        return std::nullopt;
    const auto started = builder.Start(true);
    if (!started)
        return std::nullopt;
    ::burn_source* stream = *started;
    const double size = static_cast<double>(stream->get_size(stream));
    DiscardImageStream(stream);
    return size;
}

} // namespace trelmig
