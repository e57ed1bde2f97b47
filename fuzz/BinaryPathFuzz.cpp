// Paths inside the binary values of a profile's message store sections.
#include "FuzzInput.h"
#include "platform/WineRegistry.h"
#include "registry/RegistryBinary.h"

using namespace trelmig;

TRELMIG_FUZZ_TARGET(BinaryPath) {
    WineRegistry registry;
    const std::string sub = "Software\\Profiles\\Outlook\\Section";
    registry.createKey(RootKey::CurrentUser, sub);
    registry.setValue(RootKey::CurrentUser, sub,
                      RegValue{"01020fff", REG_BINARY, {data, data + size}});
    fuzz::NobodyPrompter prompter;
    static const AnsiCodec ansi(1252);
    RegistryKeys reg(registry, prompter, ansi);
    const std::string key = "HKEY_CURRENT_USER\\" + sub;
    try {
        ReadStorePath(reg, key);
        ReadRegBinaryPathNarrow(reg, key, "01020fff");
        ReadRegBinaryHex(reg, key, "01020fff");
        ReplaceInRegBinary(reg, key, "01020fff", "C:\\a", "D:\\longer\\path.pst");
        ReadRegBinaryPath(reg, key, "01020fff");
    } catch (const RegistryBinaryError&) {
    }
    return 0;
}
