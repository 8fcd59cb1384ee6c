// The constant text tables: exact Shift-JIS bytes and entry sizes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/state.h"
#include "tests/helpers/sjis.h"

TEST(mname, every_entry_is_the_month_name_in_exactly_four_bytes)
{
    const char* names[12] = {"１月", "２月", "３月", "４月", "５月", "６月",
                             "７月", "８月", "９月", "10月", "11月", "12月"};
    for (int m = 0; m < 12; m++) {
        SCOPED_TRACE(m + 1);
        EXPECT_EQ(std::strlen(Mname[m]), 4u);
        EXPECT_EQ(std::string(Mname[m]), to_sjis(names[m]));
    }
}

TEST(youbi, weekday_names_run_sunday_to_saturday_in_two_bytes)
{
    const char* names[7] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int d = 0; d < 7; d++) {
        EXPECT_EQ(std::strlen(Youbi[d]), 2u);
        EXPECT_EQ(std::string(Youbi[d]), to_sjis(names[d]));
    }
}

TEST(dspname, layout_labels_are_dai_chuu_shou_nen)
{
    const char* names[4] = {"大", "中", "小", "年"};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(std::string(Dspname[i]), to_sjis(names[i]));
}

TEST(fnkc, every_caption_is_four_bytes_and_a_nul)
{
    for (int row = 0; row < 2; row++)
        for (int key = 0; key < 12; key++) {
            SCOPED_TRACE(testing::Message() << row << "," << key);
            EXPECT_EQ(std::strlen(Fnkc[row][key]), 4u);
            EXPECT_EQ(Fnkc[row][key][4], '\0');
        }
}

TEST(fnkc, key_names_are_full_width_f_then_digits)
{
    EXPECT_EQ(std::string(Fnkc[0][0]), to_sjis("Ｆ１"));
    EXPECT_EQ(std::string(Fnkc[0][8]), to_sjis("Ｆ９"));
    EXPECT_EQ(std::string(Fnkc[0][9]), to_sjis("Ｆ") + "10");
    EXPECT_EQ(std::string(Fnkc[0][11]), to_sjis("Ｆ") + "12");
}

TEST(fnkc, actions_are_print_menu_and_end_the_rest_blank)
{
    for (int key = 0; key < 12; key++) {
        if (key == 8)
            EXPECT_EQ(std::string(Fnkc[1][key]), to_sjis("印刷"));
        else if (key == 10)
            EXPECT_STREQ(Fnkc[1][key], "Menu");
        else if (key == 11)
            EXPECT_EQ(std::string(Fnkc[1][key]), to_sjis("終了"));
        else
            EXPECT_STREQ(Fnkc[1][key], "    ") << "key " << key + 1;
    }
}
