// The information file of an archive, read key by key as the restore does.
#include "FuzzInput.h"
#include "core/SettingsFile.h"

using namespace trelmig;

TRELMIG_FUZZ_TARGET(InfoFile) {
    const std::string file = fuzz::ScratchFile(data, size, "vastrel.dat");
    static const AnsiCodec ansi(1252);
    for (const char* key : {"BackupComputer", "BackupTime", "BackupItem", "BackupInformation",
                            "Outlookversion", "PSTFile1", ""})
        GetINI(key, file, ansi);
    return 0;
}
