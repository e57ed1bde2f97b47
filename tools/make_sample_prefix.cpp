// Writes a sample prefix (registry files, files under drive_c, dosdevices)
// into the folder given as the last argument, which must be new or empty:
// the Outlook 2010 one, or with --2016 the 64-bit Outlook 2016 one.
// Regenerate the committed copies with:
//   rm -rf samples/prefix && <build>/tools/make_sample_prefix samples/prefix
//   rm -rf samples/prefix-2016 && <build>/tools/make_sample_prefix --2016 samples/prefix-2016
#include "SamplePrefix2016.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    const bool outlook2016 = argc == 3 && std::string(argv[1]) == "--2016";
    if (argc != 2 && !outlook2016) {
        std::fprintf(stderr, "usage: %s [--2016] NEW-PREFIX-FOLDER\n", argv[0]);
        return 2;
    }
    try {
        sample::writeSamplePrefix(argv[argc - 1],
                                  outlook2016 ? sample::sample2016Files() : sample::sampleFiles());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
