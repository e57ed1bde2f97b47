#include "app/MachineSource.h"

namespace trelmig {

std::unique_ptr<Environment> OpenEnvironment(const MachineSource& source, Prompter& prompter) {
    if (source.windowsUser)
        return std::make_unique<Environment>(
            WindowsSource::Open(*source.windowsUser, source.windowsRoot), prompter);
    return std::make_unique<Environment>(WinePrefix::locate(source.prefix), prompter);
}

std::string SourceLine(const Environment& env) {
    return (env.readOnlySource() ? "Windows user folder: " : "Wine prefix: ") +
           env.prefix.root().string();
}

} // namespace trelmig
