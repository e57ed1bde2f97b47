// A data file read by libpff through our libbfio handle, the way a backup's
// data file is looked into: the input is the data file. The folder tree and
// the first messages of each folder are walked, with bounded counts, and
// everything is freed on every path.
#include "FuzzInput.h"
#include "mailstore/EntryBfioHandle.h"

#include <libpff.h>

#include <array>

using namespace trelmig;

namespace {

constexpr int kMaxFolders = 64;
constexpr int kMaxDepth = 8;
constexpr int kMessagesPerFolder = 4;

void readMessage(libpff_item_t* message) {
    std::size_t size = 0;
    if (libpff_message_get_utf8_subject_size(message, &size, nullptr) == 1 && size > 0 &&
        size <= 4096) {
        std::array<std::uint8_t, 4096> subject{};
        libpff_message_get_utf8_subject(message, subject.data(), size, nullptr);
    }
    std::uint64_t time = 0;
    libpff_message_get_delivery_time(message, &time, nullptr);
    int attachments = 0;
    libpff_message_get_number_of_attachments(message, &attachments, nullptr);
}

void walk(libpff_item_t* folder, int depth, int& folders) {
    if (++folders > kMaxFolders)
        return;
    std::size_t size = 0;
    if (libpff_item_get_utf8_display_name_size(folder, &size, nullptr) == 1 && size > 0 &&
        size <= 1024) {
        std::array<std::uint8_t, 1024> name{};
        libpff_item_get_utf8_display_name(folder, name.data(), size, nullptr);
    }
    int messages = 0;
    if (libpff_folder_get_number_of_sub_messages(folder, &messages, nullptr) == 1)
        for (int i = 0; i < messages && i < kMessagesPerFolder; ++i) {
            libpff_item_t* message = nullptr;
            if (libpff_folder_get_sub_message(folder, i, &message, nullptr) == 1 && message) {
                readMessage(message);
                libpff_item_free(&message, nullptr);
            }
        }
    int subFolders = 0;
    if (depth >= kMaxDepth ||
        libpff_folder_get_number_of_sub_folders(folder, &subFolders, nullptr) != 1)
        return;
    for (int i = 0; i < subFolders && folders <= kMaxFolders; ++i) {
        libpff_item_t* sub = nullptr;
        if (libpff_folder_get_sub_folder(folder, i, &sub, nullptr) == 1 && sub) {
            walk(sub, depth + 1, folders);
            libpff_item_free(&sub, nullptr);
        }
    }
}

} // namespace

TRELMIG_FUZZ_TARGET(DataFile) {
    const auto source = EntryBfioSource::Over(std::span(data, size));
    libbfio_handle_t* handle = NewEntryBfioHandle(source);
    libpff_file_t* file = nullptr;
    if (!handle || libpff_file_initialize(&file, nullptr) != 1) {
        libbfio_handle_free(&handle, nullptr);
        return 0;
    }
    if (libpff_file_open_file_io_handle(file, handle, LIBPFF_OPEN_READ, nullptr) == 1) {
        libpff_item_t* root = nullptr;
        if (libpff_file_get_root_folder(file, &root, nullptr) == 1 && root) {
            int folders = 0;
            walk(root, 0, folders);
            libpff_item_free(&root, nullptr);
        }
        libpff_file_close(file, nullptr);
    }
    libpff_file_free(&file, nullptr);
    libbfio_handle_free(&handle, nullptr);
    return 0;
}
