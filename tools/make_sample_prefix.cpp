// Writes the sample prefix (registry files, files under drive_c, dosdevices)
// into the folder given as the only argument, which must be new or empty.
// Regenerate the committed copy with:
//   rm -rf samples/prefix && <build>/tools/make_sample_prefix samples/prefix
#include "SamplePrefix.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s NEW-PREFIX-FOLDER\n", argv[0]);
        return 2;
    }
    try {
        sample::writeSamplePrefix(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
