// Clocks: the tick count runs with real time and the local time is the
// calendar time of this time zone.
#include <gtest/gtest.h>
#include <platform/platform.h>

#include <ctime>

namespace {

TEST(Clocks, TickCountAdvancesAtLeastAsFarAsASleep) {
    DWORD start = GetTickCount();
    Sleep(30);
    DWORD passed = GetTickCount() - start;
    EXPECT_GE(passed, 30u);
    EXPECT_LT(passed, 60000u) << "milliseconds, not a finer unit";
}

TEST(Clocks, LocalTimeIsTheCalendarTimeOfThisZone) {
    SYSTEMTIME st{};
    time_t before = time(nullptr);
    GetLocalTime(&st);
    time_t after = time(nullptr);
    tm t{};
    t.tm_year = st.wYear - 1900;
    t.tm_mon = st.wMonth - 1;
    t.tm_mday = st.wDay;
    t.tm_hour = st.wHour;
    t.tm_min = st.wMinute;
    t.tm_sec = st.wSecond;
    t.tm_isdst = -1;
    time_t made = mktime(&t);
    EXPECT_GE(made, before);
    EXPECT_LE(made, after);
    EXPECT_EQ(st.wDayOfWeek, t.tm_wday);
    EXPECT_LT(st.wMilliseconds, 1000);
}

}  // namespace
