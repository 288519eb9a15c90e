#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "model/ShortDate.h"

namespace {

TEST(ShortDateTest, TodayInTheLocalesShortForm) {
    char date[64];
    ASSERT_TRUE(todayShortDate(date, sizeof date));
    std::time_t now = std::time(nullptr);
    std::tm* local = std::localtime(&now);
    ASSERT_NE(local, nullptr);
    std::string text = date;
    // Whatever the order and separators, a short date carries the day of
    // the month and at least the last two digits of the year, and nothing
    // of a time.
    EXPECT_NE(text.find(std::to_string(local->tm_mday)), std::string::npos) << text;
    std::string year = std::to_string(local->tm_year % 100);
    if (year.size() == 1) year = "0" + year;
    EXPECT_NE(text.find(year), std::string::npos) << text;
    EXPECT_EQ(text.find(':'), std::string::npos) << text;
    EXPECT_LE(text.size(), 16u) << text;
}

TEST(ShortDateTest, TooSmallABufferGivesNothing) {
    char date[3] = "xy";
    EXPECT_FALSE(todayShortDate(date, sizeof date));
    EXPECT_STREQ(date, "");
    EXPECT_FALSE(todayShortDate(date, 0));
}

}  // namespace
