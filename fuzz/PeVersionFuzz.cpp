// The version resource of a Windows program.
#include "FuzzInput.h"
#include "platform/PeVersion.h"

using namespace trelmig;

TRELMIG_FUZZ_TARGET(PeVersion) {
    readPeFileVersion(fuzz::ScratchFile(data, size, "OUTLOOK.EXE"));
    return 0;
}
