#include "app/MachineSource.h"

namespace trelmig {

std::unique_ptr<Environment> OpenEnvironment(const MachineSource& source, Prompter& prompter) {
    if (source.windowsUser)
        return std::make_unique<Environment>(
            WindowsSource::Open(*source.windowsUser, source.windowsRoot), prompter);
    return std::make_unique<Environment>(WinePrefix::locate(source.prefix), prompter);
}

std::vector<std::string> MachineArguments(const MachineSource& source) {
    std::vector<std::string> arguments;
    if (source.windowsUser) {
        arguments = {"--windows-user", source.windowsUser->string()};
        if (source.windowsRoot) {
            arguments.emplace_back("--windows-root");
            arguments.push_back(source.windowsRoot->string());
        }
    } else if (source.prefix) {
        arguments = {"--prefix", source.prefix->string()};
    }
    return arguments;
}

std::string SourceLine(const Environment& env) {
    return (env.readOnlySource() ? "Windows user folder: " : "Wine prefix: ") +
           env.prefix.root().string();
}

} // namespace trelmig
