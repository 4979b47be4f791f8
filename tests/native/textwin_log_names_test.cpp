// Log file names: the time-stamped pattern, the suffix for a taken name, and names that do not fit.
#include <gtest/gtest.h>
#include <string>

#include "textwin/log_names.h"

TEST(LogNames, PatternSuffixAndLimit)
{
    char name[KAV_LOG_NAME_BYTES];
    LogStamp t = {2011, 6, 23, 9, 5, 7};
    EXPECT_EQ(0, format_log_name(name, "C:\\work\\", 0, 3, &t, 0));
    EXPECT_STREQ("C:\\work\\KAVLIB03-20110623-090507.LOG", name);
    // Instance and window numbers follow each other; the day of a year rollover is padded.
    LogStamp midnight = {2012, 1, 1, 0, 0, 0};
    EXPECT_EQ(0, format_log_name(name, "", 9, 255, &midnight, 0));
    EXPECT_STREQ("KAVLIB9255-20120101-000000.LOG", name);
    EXPECT_EQ(0, format_log_name(name, "D:\\", 1, 12, &t, 7));
    EXPECT_STREQ("D:\\KAVLIB112-20110623-090507-7.LOG", name);

    // 259 characters fit, 260 do not; a name that does not fit is never cut to another name.
    std::string dir(259 - 28, 'd');
    EXPECT_EQ(0, format_log_name(name, dir.c_str(), 0, 3, &t, 0));
    EXPECT_EQ(259u, std::string(name).size());
    EXPECT_EQ(1, format_log_name(name, dir.c_str(), 0, 3, &t, 1));
    EXPECT_STREQ("", name);
}
