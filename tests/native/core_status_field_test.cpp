#include <gtest/gtest.h>
#include <string.h>

#include "core/status_field.h"

static int first_non_space(const char *field)
{
    int i = 0;
    while (field[i] == ' ') i++;
    return i;
}

TEST(StatusField, CentresShortTextsAroundColumn18)
{
    char field[KAV_STATUS_FIELD_BYTES];
    format_status_field(field, "Input text");  // 10 characters start at 18 - 5
    EXPECT_EQ(13, first_non_space(field));
    EXPECT_STREQ("Input text", field + 13);
    format_status_field(field, "32-bit color");
    EXPECT_EQ(12, first_non_space(field));
    format_status_field(field, "");
    EXPECT_EQ(18u, strlen(field));
}

TEST(StatusField, LongTextsStartAtColumn0AndNeverOverrun)
{
    char field[KAV_STATUS_FIELD_BYTES];
    const char *forty = "0123456789012345678901234567890123456789";
    format_status_field(field, forty);
    EXPECT_STREQ(forty, field);
    char huge[200];
    memset(huge, 'x', sizeof huge - 1);
    huge[sizeof huge - 1] = '\0';
    format_status_field(field, huge);
    EXPECT_EQ(63u, strlen(field));
}
