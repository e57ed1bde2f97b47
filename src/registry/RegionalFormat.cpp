#include "registry/RegionalFormat.h"

#include "registry/RegistryKeys.h"

namespace trelmig {

RegionalFormat ReadRegionalFormat(RegistryKeys& reg) {
    RegionalFormat f;
    const std::string key = "HKEY_CURRENT_USER\\Control Panel\\International";
    auto read = [&](const char* name, std::string& into) {
        const auto v = reg.ReadRegString(key, name);
        if (v && !v->empty())
            into = *v;
    };
    read("sShortDate", f.shortDate);
    read("sTimeFormat", f.timeFormat);
    read("s1159", f.am);
    read("s2359", f.pm);
    return f;
}

} // namespace trelmig
