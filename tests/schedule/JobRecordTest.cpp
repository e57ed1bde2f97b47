#include "schedule/JobRecord.h"

#include <gtest/gtest.h>

using namespace trelmig;

namespace {

DayChecks days(std::initializer_list<int> checked) {
    DayChecks d{};
    for (int i : checked)
        d[i] = true;
    return d;
}

JobChoices choices(const std::string& time, const std::string& dayList,
                   const std::string& password = "") {
    return {time, dayList, "Outlook", "10000001", password, "/home/sam/b.kvx"};
}

} // namespace

TEST(DayList, CheckedDaysInBoxOrder) {
    EXPECT_EQ(DayList(days({})), "");
    EXPECT_EQ(DayList(days({0, 3})), "M,TH");
    EXPECT_EQ(DayList(days({0, 1, 2, 3, 4, 5, 6})), "M,T,W,TH,F,S,SU");
    EXPECT_EQ(DayList(days({6})), "SU");
    EXPECT_EQ(DayList(days({5, 6})), "S,SU");
    EXPECT_EQ(DayList(days({0, 1, 2, 3, 4, 5})), "M,T,W,TH,F,S");
}

TEST(DayList, DaysOfWeekBitsOfTheCodes) {
    EXPECT_EQ(DaysOfWeekOf("M,TH"), 9);
    EXPECT_EQ(DaysOfWeekOf("M,T,W,TH,F,S,SU"), 127);
    EXPECT_EQ(DaysOfWeekOf(""), 0);
    EXPECT_EQ(DaysOfWeekOf("su,th"), 72);  // compared in upper case
    EXPECT_EQ(DaysOfWeekOf("X,M,SUN"), 1); // unknown codes add nothing
    EXPECT_TRUE(IsValidDayList("M,t,SU"));
    EXPECT_FALSE(IsValidDayList("M,,T"));
    EXPECT_FALSE(IsValidDayList("Monday"));
    EXPECT_FALSE(IsValidDayList(""));
}

TEST(StartTime, TimesOfDay) {
    EXPECT_EQ(StartTimeMs("9:00"), 32400000u);
    EXPECT_EQ(StartTimeMs("23:30"), 84600000u);
    EXPECT_EQ(StartTimeMs("0:00"), 0u);
    EXPECT_EQ(StartTimeMs("09:05"), StartTimeMs("9:5"));
    EXPECT_EQ(StartTimeMs(" 7:15:59 "), (7u * 3600 + 15 * 60) * 1000); // seconds dropped
    EXPECT_EQ(StartTimeMs("9:00 PM"), 21u * 3600 * 1000);
    EXPECT_EQ(StartTimeMs("12:30 am"), 30u * 60 * 1000);
    EXPECT_EQ(StartTimeMs("12:00 PM"), 12u * 3600 * 1000);
    for (const char* bad :
         {"", "9", "24:00", "9:60", "noon", "13:00 PM", "0:00 AM", "9:00x", "-1:00", "9:00:60"})
        EXPECT_FALSE(StartTimeMs(bad)) << bad;
    for (const char* bad : {"123:00", "9:000", "9::00", "9:00 PMX", "9:00 P M", ":00", "9:"})
        EXPECT_FALSE(StartTimeMs(bad)) << bad;
    // Long runs of blanks are read in one pass, not by backtracking.
    const std::string blanks(300000, ' ');
    EXPECT_EQ(StartTimeMs(blanks + "9:00" + blanks + "PM" + blanks), 21u * 3600 * 1000);
    EXPECT_FALSE(StartTimeMs(blanks + "9:00" + blanks + "x"));
}

TEST(BuildJobInfo, RecordsOfTheScheduleWindow) {
    const auto nine = BuildJobInfo(choices("9:00", "M,TH"), "/usr/bin/trelmig");
    ASSERT_TRUE(nine);
    EXPECT_EQ(nine->jobTime, 32400000u);
    EXPECT_EQ(nine->daysOfWeek, 9);
    EXPECT_EQ(nine->daysOfMonth, 0u);
    EXPECT_EQ(nine->flags, kJobRunPeriodically);
    // Unprotected: "ps=" directly followed by "bf=".
    EXPECT_EQ(nine->command, "\"/usr/bin/trelmig\" sf=Outlookxm=10000001ps=bf=/home/sam/b.kvx");
    EXPECT_EQ(CronJobLine(*nine, 1, "/home/sam/.wine"),
              "0 9 * * 1,4 WINEPREFIX='/home/sam/.wine' '/usr/bin/trelmig' "
              "'sf=Outlookxm=10000001ps=bf=/home/sam/b.kvx' # trelmig job 1");

    const auto daily = BuildJobInfo(choices("23:30", "M,T,W,TH,F,S,SU", "s3cret"), "/bin/t");
    ASSERT_TRUE(daily);
    EXPECT_EQ(daily->jobTime, 84600000u);
    EXPECT_EQ(daily->daysOfWeek, 127);
    // The password stands in plain text after "ps=".
    EXPECT_EQ(daily->command, "\"/bin/t\" sf=Outlookxm=10000001ps=s3cretbf=/home/sam/b.kvx");
    EXPECT_EQ(CronJobLine(*daily, 2, "/p"),
              "30 23 * * * WINEPREFIX='/p' '/bin/t' "
              "'sf=Outlookxm=10000001ps=s3cretbf=/home/sam/b.kvx' # trelmig job 2");

    // No day: nothing refused, the flag still set; cron runs it once.
    const auto once = BuildJobInfo(choices("0:00", ""), "/bin/t");
    ASSERT_TRUE(once);
    EXPECT_EQ(once->jobTime, 0u);
    EXPECT_EQ(once->daysOfWeek, 0);
    EXPECT_EQ(once->daysOfMonth, 0u);
    EXPECT_EQ(once->flags, 1);
    EXPECT_EQ(CronJobLine(*once, 3, "/p"),
              "0 0 * * * '/bin/t' --remove-job 3 && WINEPREFIX='/p' '/bin/t' "
              "'sf=Outlookxm=10000001ps=bf=/home/sam/b.kvx' # trelmig job 3");

    EXPECT_FALSE(BuildJobInfo(choices("25:00", "M"), "/bin/t"));
}
