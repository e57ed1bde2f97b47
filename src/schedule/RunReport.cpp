#include "schedule/RunReport.h"

#include "platform/DesktopNotification.h"
#include "platform/RunsLog.h"
#include "platform/SystemLog.h"
#include "platform/ThisProgram.h"

#include <ostream>

namespace trelmig {

std::string IsoLocalTime(const std::tm& t) {
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &t);
    std::string iso = text;
    if (iso.size() >= 5 && (iso[iso.size() - 5] == '+' || iso[iso.size() - 5] == '-'))
        iso.insert(iso.size() - 2, ":");
    return iso;
}

namespace {

void problem(SystemLog& log, std::ostream& err, const std::string& line) {
    log.error(line);
    err << "trelmig: " << line << '\n';
}

void notify(const RunRecord& record, SystemLog& log) {
    DesktopNotification n;
    n.summary =
        record.exitStatus == 3 ? "Scheduled backup partly failed" : "Scheduled backup failed";
    n.body = record.message;
    n.critical = true;
    n.action = {"default", "Show the runs"};
    // No desktop is no fault (a server, a run before anyone logged in): the
    // system log has it.
    const NotificationSent sent = SendDesktopNotification(n);
    if (!sent.error.empty())
        log.info("the failure could not be shown on the desktop: " + sent.error);
    else if (!StartNotificationWaiter(CommandLineProgram().string(), sent.id))
        log.info("nothing waits for the notification's action: the program could not be started");
}

} // namespace

std::optional<std::string> AppendRunRecord(const RunRecord& record) {
    const auto file = RunsLogFile();
    if (!file)
        return "neither XDG_STATE_HOME nor HOME is set";
    try {
        AppendRunsLogLine(*file, RunRecordJson(record));
    } catch (const std::exception& e) {
        return e.what();
    }
    return std::nullopt;
}

void ReportRun(const RunRecord& record, SystemLog& log, std::ostream& err) {
    if (const auto why = AppendRunRecord(record))
        problem(log, err, "the run could not be logged: " + *why);
    if (!record.Succeeded())
        notify(record, log);
}

} // namespace trelmig
