#include "cli/Verbs.h"

#include "cli/CommandLine.h"
#include "core/Message.h"
#include "platform/DesktopNotification.h"
#include "platform/ThisProgram.h"

#include <ostream>
#include <unistd.h>

namespace trelmig {

int RunAwaitNotification(const CommandLine& cmd, std::ostream&, std::ostream& err) {
    constexpr int kOneHour = 3600;
    if (!WaitForNotificationAction(cmd.notificationId, "default", kOneHour))
        return 1;
    // The main window shows the last run, and its runs one click away.
    const std::string program = CommandLineProgram().string();
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    err << MessageText(MessageId::ProgramLine, MessageText(MessageId::WindowNotOpened)) << '\n';
    return 1;
}

} // namespace trelmig
