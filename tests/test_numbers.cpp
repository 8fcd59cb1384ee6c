// BinToAscii, BcdToHex and AsciiToSjis.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "support/ghl3000.h"
#include "tests/helpers/sjis.h"

// Runs BinToAscii into a buffer pre-filled with '#', returning the result
// code and the 12 bytes after the call (a NUL shows as '|').
struct Field {
    int result;
    std::string bytes;
};
static Field bta(const char* type, int width, int decimals, const char* attributes,
                 const void* value)
{
    char out[96];
    std::memset(out, '#', sizeof out);
    int r = BinToAscii(type, width, decimals, attributes, value, out);
    std::string s(out, 12);
    for (char& c : s)
        if (c == '\0')
            c = '|';
    return {r, s};
}

TEST(bin_to_ascii, examples)
{
    int i7 = 7, i2003 = 2003, i5 = 5;
    int32_t m42 = -42;
    double pi = 3.14159;
    unsigned char c65 = 65;
    uint32_t u4e9 = 4000000000u;
    EXPECT_EQ(bta("SI", 2, 0, "0100", &i7).bytes, "07##########");
    EXPECT_EQ(bta("SI", 4, 0, "0100", &i2003).bytes, "2003########");
    EXPECT_EQ(bta("SI", 2, 0, "0001", &i5).bytes, " 5|#########");
    EXPECT_EQ(bta("LN", 6, 0, "1000", &m42).bytes, "   -42######");
    EXPECT_EQ(bta("LN", 6, 0, "1100", &m42).bytes, "-00042######");
    EXPECT_EQ(bta("LN", 6, 0, "1010", &m42).bytes, "-42   ######");
    EXPECT_EQ(bta("LN", 6, 0, "0000", &m42).bytes, "    42######");
    EXPECT_EQ(bta("DB", 6, 2, "0000", &pi).bytes, "  3.14######");
    EXPECT_EQ(bta("CH", 3, 0, "0100", &c65).bytes, "065#########");
    EXPECT_EQ(bta("UL", 10, 0, "0100", &u4e9).bytes, "4000000000##");
    EXPECT_EQ(bta("SI", 2, 0, "0100", &i7).result, BTA_OK);
}

TEST(bin_to_ascii, too_long_for_the_field_gives_21_and_writes_nothing)
{
    int32_t big = 123456;
    for (const char* a : {"0000", "1111", "0100", "1010"})
        EXPECT_EQ(bta("LN", 4, 0, a, &big).bytes, "############") << a;
    EXPECT_EQ(bta("LN", 4, 0, "0000", &big).result, BTA_TOO_LONG);
    int32_t m42 = -42;
    EXPECT_EQ(bta("LN", 2, 0, "0000", &m42).result, BTA_OK);  // the sign is not counted
    EXPECT_EQ(bta("LN", 2, 0, "1000", &m42).result, BTA_TOO_LONG);
    double huge = 1e300;
    EXPECT_EQ(bta("DB", 79, 8, "0000", &huge).result, BTA_TOO_LONG);
}

TEST(bin_to_ascii, refused_arguments_give_99_and_write_nothing)
{
    int32_t v = 1;
    double d = 1;
    EXPECT_EQ(bta("XX", 4, 0, "0000", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("S", 4, 0, "0000", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("", 4, 0, "0000", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta(nullptr, 4, 0, "0000", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("LN", 0, 0, "0000", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("LN", -5, 0, "0000", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("LN", 80, 0, "0000", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("LN", 2147483647, 0, "0000", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("DB", 4, 9, "0000", &d).result, BTA_REFUSED);
    EXPECT_EQ(bta("FL", 4, -1, "0000", &d).result, BTA_REFUSED);
    EXPECT_EQ(bta("LN", 4, 0, "0200", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("LN", 4, 0, "2000", &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("LN", 4, 0, "00", &v).result, BTA_REFUSED);  // ends early
    EXPECT_EQ(bta("LN", 4, 0, nullptr, &v).result, BTA_REFUSED);
    EXPECT_EQ(bta("LN", 4, 0, "0000", nullptr).result, BTA_REFUSED);
    EXPECT_EQ(bta("XX", 4, 0, "0000", &v).bytes, "############");
    char out[4] = "ab";
    EXPECT_EQ(BinToAscii("LN", 2, 0, "0000", &v, nullptr), BTA_REFUSED);
    EXPECT_STREQ(out, "ab");
}

TEST(bin_to_ascii, accepted_edges)
{
    int32_t v = 7;
    float f = 2.5f;
    EXPECT_EQ(bta("LN", 79, 0, "0000", &v).result, BTA_OK);
    EXPECT_EQ(bta("LN", 4, 9, "0000", &v).result, BTA_OK);  // decimals not read
    EXPECT_EQ(bta("LN", 4, 0, "0102", &v).bytes, "0007########");
    EXPECT_EQ(bta("LN", 4, 0, "010", &v).bytes, "0007########");  // no fourth char
    for (const char* type : {"UI", "CH", "UL"})
        EXPECT_EQ(bta(type, 4, 0, "x100", &v).result, BTA_OK) << type;
    EXPECT_EQ(bta("FL", 5, 1, "0000", &f).bytes, "  2.5#######");
    EXPECT_EQ(bta("SILLY", 2, 0, "0100", &v).bytes, "07##########");  // first two letters
}

TEST(bin_to_ascii, zero_and_signs)
{
    int32_t zero = 0, m7 = -7;
    EXPECT_EQ(bta("LN", 3, 0, "0100", &zero).bytes, "000#########");
    EXPECT_EQ(bta("LN", 3, 0, "0000", &zero).bytes, "  0#########");
    EXPECT_EQ(bta("LN", 3, 0, "1000", &zero).bytes, "  0#########");
    EXPECT_EQ(bta("LN", 4, 0, "0000", &m7).bytes, "   7########");  // sign dropped
    EXPECT_EQ(bta("LN", 4, 0, "1011", &m7).bytes, "-7  |#######");
    EXPECT_EQ(bta("LN", 2, 0, "1000", &m7).bytes, "-7##########");
}

TEST(bin_to_ascii, si_takes_the_low_16_bits_and_reads_no_further)
{
    int32_t v = 65536 + 12;
    EXPECT_EQ(bta("SI", 4, 0, "0000", &v).bytes, "  12########");
    int32_t neg = 0xFFFF;  // low half is -1
    EXPECT_EQ(bta("SI", 4, 0, "1000", &neg).bytes, "  -1########");
    int16_t* lone = new int16_t(321);  // a two-byte object: nothing beyond is read
    EXPECT_EQ(bta("SI", 4, 0, "0000", lone).bytes, " 321########");
    delete lone;
    unsigned char* byte = new unsigned char(200);
    EXPECT_EQ(bta("CH", 4, 0, "0000", byte).bytes, " 200########");
    delete byte;
}

TEST(bin_to_ascii, fixed_point_rounds_to_the_decimals)
{
    double d = -2.675;
    EXPECT_EQ(bta("DB", 8, 1, "1000", &d).bytes, "    -2.7####");
    double third = 1.0 / 3;
    EXPECT_EQ(bta("DB", 10, 8, "0100", &third).bytes, "0.33333333##");
}

TEST(bcd_to_hex, four_upper_case_digits_and_a_nul)
{
    char out[8];
    std::memset(out, '#', sizeof out);
    BcdToHex(0x1999, out);
    EXPECT_EQ(std::string(out, 6), std::string("1999\0#", 6));
    BcdToHex(0x12AB, out);
    EXPECT_STREQ(out, "12AB");
    BcdToHex(0, out);
    EXPECT_STREQ(out, "0000");
    BcdToHex(0x12345, out);  // beyond 16 bits: only the low four digits
    EXPECT_STREQ(out, "2345");
}

static std::string sjis(const char* source, int count, int terminate)
{
    char out[64];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(AsciiToSjis(source, out, count, terminate), 0);
    return std::string(out, 2 * (count > 0 ? count : 0) + 1);
}

TEST(ascii_to_sjis, letters_digits_and_blank)
{
    EXPECT_EQ(sjis("A1 z", 4, 0), std::string("\x82\x60\x82\x50\x81\x40\x82\x9A#", 9));
    EXPECT_EQ(sjis("A1 z", 4, 1), std::string("\x82\x60\x82\x50\x81\x40\x82\x9A\0", 9));
    EXPECT_EQ(sjis("09AZaz", 6, 0).substr(0, 12), to_sjis("０９ＡＺａｚ"));
}

TEST(ascii_to_sjis, every_printable_symbol_has_its_full_width_form)
{
    // The forms this conversion has always produced: ' is ´, " is 〃,
    // \ is ￥ and ~ is ￣.
    const char* ascii = "!#$%&'()*+,-./:;<=>?@[\\]^_{|}~\"";
    const char* wide = "！＃＄％＆´（）＊＋，－．／：；＜＝＞？＠［￥］＾＿｛｜｝￣〃";
    int n = (int)std::strlen(ascii);
    EXPECT_EQ(sjis(ascii, n, 0).substr(0, 2 * n), to_sjis(wide));
}

TEST(ascii_to_sjis, other_bytes_become_a_middle_dot)
{
    const char odd[] = {'\0', '\t', '`', 0x7F, (char)0x80, (char)0xFF};
    std::string dot = to_sjis("・");
    std::string out = sjis(odd, 6, 1);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(out.substr(2 * i, 2), dot) << i;
}

TEST(ascii_to_sjis, zero_or_negative_count_writes_only_the_terminator)
{
    EXPECT_EQ(sjis("AB", 0, 1), std::string("\0", 1));
    EXPECT_EQ(sjis("AB", -3, 0), "#");
}
