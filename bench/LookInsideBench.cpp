// Reads the folder tree of a data file inside a backup, the way the
// look-inside window does, and says what that cost; bench/look-inside-bench
// runs it under GNU time.
//
//   look_inside_bench inside  ARCHIVE ENTRY PASSWORD
//   look_inside_bench extract ARCHIVE ENTRY PASSWORD FOLDER
//   look_inside_bench file PATH
//
// inside: read in place through the entry's random reader; extract: the entry
// extracted into FOLDER first (every check, as a restore does), then read;
// file: a data file on disk (one another program extracted).
#include "archive/ZipArchive.h"
#include "mailstore/EntryBfioHandle.h"

#include <libpff.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

using namespace trelmig;

namespace {

struct Tree {
    int folders = 0;
    long messages = 0;
};

void walk(libpff_item_t* folder, Tree& tree) {
    ++tree.folders;
    int messages = 0, subFolders = 0;
    if (libpff_folder_get_number_of_sub_messages(folder, &messages, nullptr) == 1)
        tree.messages += messages;
    if (libpff_folder_get_number_of_sub_folders(folder, &subFolders, nullptr) != 1)
        return;
    for (int i = 0; i < subFolders; ++i) {
        libpff_item_t* sub = nullptr;
        if (libpff_folder_get_sub_folder(folder, i, &sub, nullptr) == 1) {
            walk(sub, tree);
            libpff_item_free(&sub, nullptr);
        }
    }
}

// The tree of the file libpff opens through handle, or by path without one.
bool readTree(libbfio_handle_t* handle, const std::string& path, Tree& tree) {
    libpff_file_t* file = nullptr;
    libpff_file_initialize(&file, nullptr);
    const int opened =
        handle ? libpff_file_open_file_io_handle(file, handle, LIBPFF_OPEN_READ, nullptr)
               : libpff_file_open(file, path.c_str(), LIBPFF_OPEN_READ, nullptr);
    libpff_item_t* root = nullptr;
    const bool ok = opened == 1 && libpff_file_get_root_folder(file, &root, nullptr) == 1;
    if (ok) {
        walk(root, tree);
        libpff_item_free(&root, nullptr);
    }
    libpff_file_close(file, nullptr);
    libpff_file_free(&file, nullptr);
    if (handle)
        libbfio_handle_free(&handle, nullptr);
    return ok;
}

int fail(const std::string& why) {
    std::fprintf(stderr, "look_inside_bench: %s\n", why.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "file" && argc == 3) {
        Tree tree;
        if (!readTree(nullptr, argv[2], tree))
            return fail("libpff cannot read the data file");
        std::printf("%d folders, %ld messages\n", tree.folders, tree.messages);
        return 0;
    }
    if (argc < 5 || (mode != "inside" && mode != "extract") || (mode == "extract" && argc < 6))
        return fail("usage: inside|extract ARCHIVE ENTRY PASSWORD [FOLDER]");
    const auto started = std::chrono::steady_clock::now();
    ZipArchive zip(AnsiCodec(1252));
    if (auto opened = zip.OpenZip(argv[2]); !opened)
        return fail(opened.error().message);
    zip.SetDecryptPassword(argv[4]);
    Tree tree;
    if (mode == "inside") {
        auto reader = zip.OpenRandomAccess(argv[3]);
        if (!reader)
            return fail(reader.error().message);
        std::shared_ptr<ZipEntryRandomReader> shared = std::move(*reader);
        const auto source = EntryBfioSource::Over(shared);
        if (!readTree(NewEntryBfioHandle(source), {}, tree))
            return fail("libpff cannot read the data file: " + source->lastError());
        const auto counters = shared->counters();
        std::printf("chunks decoded %llu of %zu, %.1f MB read of the archive\n",
                    static_cast<unsigned long long>(counters.chunksDecoded), shared->chunkCount(),
                    counters.bytesRead / 1e6);
    } else {
        const std::string copy = (std::filesystem::path(argv[5]) / argv[3]).string();
        if (auto extracted = zip.ExtractEntryTo(argv[3], copy); !extracted)
            return fail(extracted.error().message);
        const bool read = readTree(nullptr, copy, tree);
        std::filesystem::remove(copy);
        if (!read)
            return fail("libpff cannot read the extracted data file");
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d folders, %ld messages, %.2f s\n", tree.folders, tree.messages, seconds);
    return 0;
}
