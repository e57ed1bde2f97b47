#pragma once

// What every harness shares: the input as text or as a scratch file, and a
// prompter that answers nobody. A harness defines its one-input function with
// TRELMIG_FUZZ_TARGET(Name); the regression tests call that function on the
// inputs kept in tests/data/fuzz, the fuzzer through LLVMFuzzerTestOneInput.

#include "core/Prompter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace trelmig::fuzz {

inline std::string_view Text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input written to a file of this process, for parsers that read files.
// The folder goes when the process ends normally.
inline std::string ScratchFile(const std::uint8_t* data, std::size_t size,
                               const char* name = "input") {
    struct Folder {
        std::filesystem::path path;
        Folder() {
            const char* tmp = std::getenv("TMPDIR");
            std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/trelmig-fuzz-XXXXXX";
            if (!mkdtemp(pattern.data()))
                std::abort();
            path = pattern;
        }
        ~Folder() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    };
    static const Folder folder;
    const std::string path = (folder.path / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

class NobodyPrompter : public Prompter {
public:
    MessageAnswer Show(const std::string&, MessageIcon, MessageButtons) override {
        return MessageAnswer::Ok;
    }
};

} // namespace trelmig::fuzz

#ifdef TRELMIG_FUZZ_NO_MAIN
#define TRELMIG_FUZZ_TARGET(Name) int Fuzz##Name(const std::uint8_t* data, std::size_t size)
#else
#define TRELMIG_FUZZ_TARGET(Name)                                                                  \
    int Fuzz##Name(const std::uint8_t* data, std::size_t size);                                    \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {            \
        return Fuzz##Name(data, size);                                                             \
    }                                                                                              \
    int Fuzz##Name(const std::uint8_t* data, std::size_t size)
#endif
