#include "WindowTestSupport.h"

#include "gui/ByteProgressText.h"
#include "gui/ProgressPanel.h"

#include <QLabel>

#include <gtest/gtest.h>

using namespace trelmig;
using namespace std::chrono_literals;

// What the panel says during the long part of a run, in the user's number
// format; speed and time left only once they are known.
TEST(ByteProgressText, WhatIsAtWorkBytesSpeedAndTimeLeft) {
    guiApp();
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ByteProgressText(ByteWork::Compressing, QStringLiteral("Outlook.pst"), 1'200'000'000,
                               4'000'000'000, 180'000'000.0, 20s, english),
              QStringLiteral("Compressing Outlook.pst: 1.2 GB of 4.0 GB, 180.0 MB/s, about 20 s "
                             "left"));
    EXPECT_EQ(ByteProgressText(ByteWork::Restoring, QStringLiteral("Archive.pst"), 0, 2'500'000,
                               std::nullopt, std::nullopt, english),
              QStringLiteral("Restoring Archive.pst: 0 bytes of 2.5 MB"));
    EXPECT_EQ(ByteProgressText(ByteWork::Writing, QStringLiteral("backup.kvx"), 2'500'000,
                               2'500'000, 180'000'000.0, 0s, english),
              QStringLiteral("Writing backup.kvx: 2.5 MB of 2.5 MB, 180.0 MB/s"));
    EXPECT_EQ(ByteSizeText(1'234'567'890, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("1,2 GB"));
    EXPECT_EQ(TimeLeftText(59s), QStringLiteral("59 s"));
    EXPECT_EQ(TimeLeftText(61s), QStringLiteral("2 min"));
    EXPECT_EQ(TimeLeftText(3900s), QStringLiteral("1 h 5 min"));

    ProgressPanel panel;
    panel.setLocale(english);
    panel.SetShown(true);
    panel.SetByteProgress(ByteWork::Verifying, "backup.kvx", 500, 1000);
    const QLabel* item = control<QLabel>(&panel, QStringLiteral("SkinLabel9"));
    EXPECT_EQ(item->text(), QStringLiteral("Verifying backup.kvx: 500 bytes of 1.0 kB"));
    EXPECT_EQ(item->toolTip(), item->text()); // the label may be cut short
}
