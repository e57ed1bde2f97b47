// The main window's line about the unattended runs, and the setting of the
// runs window that says when a missing backup alarms.
#include "gui/LastBackupLine.h"

#include "WindowTestSupport.h"
#include "core/RunRecord.h"
#include "gui/RunsDialog.h"
#include "gui/WindowMemory.h"
#include "platform/RunsLog.h"
#include "platform/ScopedEnv.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QSpinBox>
#include <QTreeWidget>

#include <ctime>

using namespace trelmig;

namespace {

// ISO local time `days` days ago.
std::string daysAgo(int days) {
    std::time_t t = std::time(nullptr) - static_cast<std::time_t>(days) * 24 * 3600;
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

} // namespace

TEST(LastBackupLine, TheDaysWithoutASuccessAreSetInTheRunsWindowAndRemembered) {
    guiApp();
    WorkFolder dir;
    ScopedEnv state{"XDG_STATE_HOME", (dir.path() / "state").string()};
    RunRecord good;
    good.profile = "Outlook";
    good.start = good.end = daysAgo(3);
    good.exitStatus = 0;
    good.archive = "/b/outlook.kvx";
    AppendRunsLogLine(*RunsLogFile(), RunRecordJson(good));
    const QString settings = QString::fromStdString((dir.path() / "settings.conf").string());

    LastBackupLine line;
    auto* label = control<QLabel>(&line, "lblLastBackup");
    EXPECT_EQ(line.StaleDays(), 7);
    EXPECT_FALSE(label->property("alarming").toBool()) << label->text().toStdString();
    WindowMemory memory(settings, "/p");
    line.Remember(&memory);
    EXPECT_EQ(line.StaleDays(), 7);

    // The runs window offers the days the line uses, and lists the run.
    RunsDialog runs(line.StaleDays());
    auto* days = control<QSpinBox>(&runs, "spnStaleDays");
    EXPECT_EQ(days->value(), 7);
    EXPECT_EQ(control<QTreeWidget>(&runs, "lvRuns")->topLevelItemCount(), 1);
    days->setValue(2);
    line.SetStaleDays(runs.StaleDays());
    EXPECT_TRUE(label->property("alarming").toBool());
    EXPECT_NE(label->text().indexOf(QStringLiteral("no backup succeeded for 2 days")), -1)
        << label->text().toStdString();

    // Kept for every prefix: the next window starts with two days.
    LastBackupLine next;
    WindowMemory otherPrefix(settings, "/other");
    next.Remember(&otherPrefix);
    EXPECT_EQ(next.StaleDays(), 2);
    EXPECT_TRUE(control<QLabel>(&next, "lblLastBackup")->property("alarming").toBool());
}

// The last run's time reads as the user's locale writes times.
TEST(LastBackupLine, TheTimeOfTheLastRunIsInTheUsersLocale) {
    guiApp();
    WorkFolder dir;
    ScopedEnv state{"XDG_STATE_HOME", (dir.path() / "state").string()};
    RunRecord good;
    good.profile = "Outlook";
    good.start = good.end = "2026-03-07T21:30:05";
    good.exitStatus = 0;
    AppendRunsLogLine(*RunsLogFile(), RunRecordJson(good));
    const QLocale before;
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        QLocale::setDefault(locale);
        LastBackupLine line;
        const QString text = control<QLabel>(&line, "lblLastBackup")->text();
        const QString expected =
            locale.toString(QDateTime(QDate(2026, 3, 7), QTime(21, 30)), QLocale::ShortFormat);
        EXPECT_TRUE(text.contains(expected))
            << text.toStdString() << " / " << expected.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("2026-03-07"))) << text.toStdString();
    }
    QLocale::setDefault(before);
}
