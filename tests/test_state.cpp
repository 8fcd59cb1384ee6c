// The constant text tables, byte for byte against iconv's CP932.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "state/state.h"
#include "tests/helpers/sjis.h"

static void expect_table(const char* const* table, std::initializer_list<const char*> utf8,
                         size_t bytes)
{
    int i = 0;
    for (const char* text : utf8) {
        EXPECT_EQ(std::string(table[i]), to_sjis(text)) << text;
        EXPECT_EQ(std::strlen(table[i++]), bytes) << text;
    }
}

TEST(tables, month_weekday_and_layout_names)
{
    expect_table(Mname, {"１月", "２月", "３月", "４月", "５月", "６月", "７月", "８月", "９月",
                         "10月", "11月", "12月"}, 4);
    expect_table(Youbi, {"日", "月", "火", "水", "木", "金", "土"}, 2);
    expect_table(Dspname, {"大", "中", "小", "年"}, 2);
}

TEST(tables, function_key_captions_are_four_bytes_and_a_nul)
{
    const char* names[12] = {"Ｆ１", "Ｆ２", "Ｆ３", "Ｆ４", "Ｆ５", "Ｆ６", "Ｆ７", "Ｆ８",
                             "Ｆ９", "Ｆ10", "Ｆ11", "Ｆ12"};
    for (int key = 0; key < 12; key++) {
        const char* action = key == 8 ? "印刷" : key == 10 ? "Menu" : key == 11 ? "終了" : "    ";
        EXPECT_EQ(std::string(Fnkc[0][key], 5), to_sjis(names[key]) + '\0') << key;
        EXPECT_EQ(std::string(Fnkc[1][key], 5), to_sjis(action) + '\0') << key;
    }
}
