// BinToAscii, BcdToHex and AsciiToSjis.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "support/ghl3000.h"
#include "tests/helpers/sjis.h"

// BinToAscii into a buffer of '#': the result code, then the first 12
// bytes written, a NUL shown as '|'.
static std::string bta(const char* type, int width, int decimals, const char* attributes,
                       const void* value)
{
    char out[96];
    std::memset(out, '#', sizeof out);
    int r = BinToAscii(type, width, decimals, attributes, value, out);
    std::string s = std::to_string(r) + ":" + std::string(out, 12);
    for (char& c : s)
        if (c == '\0')
            c = '|';
    return s;
}

TEST(bin_to_ascii, fields_by_type_and_attributes)
{
    int32_t i7 = 7, i2003 = 2003, i5 = 5, m42 = -42, zero = 0, m7 = -7, big = 123456;
    int32_t low16 = 65536 + 12, low16_negative = 0xFFFF;
    double pi = 3.14159, third = 1.0 / 3, huge = 1e300;
    float f = 2.5f;
    unsigned char c65 = 65;
    uint32_t u4e9 = 4000000000u;
    EXPECT_EQ(bta("SI", 2, 0, "0100", &i7), "0:07##########");
    EXPECT_EQ(bta("SI", 4, 0, "0100", &i2003), "0:2003########");
    EXPECT_EQ(bta("SI", 2, 0, "0001", &i5), "0: 5|#########");
    EXPECT_EQ(bta("LN", 6, 0, "1000", &m42), "0:   -42######");
    EXPECT_EQ(bta("LN", 6, 0, "1100", &m42), "0:-00042######");
    EXPECT_EQ(bta("LN", 6, 0, "1010", &m42), "0:-42   ######");
    EXPECT_EQ(bta("LN", 6, 0, "0000", &m42), "0:    42######");
    EXPECT_EQ(bta("DB", 6, 2, "0000", &pi), "0:  3.14######");
    EXPECT_EQ(bta("CH", 3, 0, "0100", &c65), "0:065#########");
    EXPECT_EQ(bta("UL", 10, 0, "0100", &u4e9), "0:4000000000##");
    EXPECT_EQ(bta("LN", 3, 0, "0100", &zero), "0:000#########");
    EXPECT_EQ(bta("LN", 3, 0, "0000", &zero), "0:  0#########");
    EXPECT_EQ(bta("LN", 2, 0, "0000", &m42), "0:42##########");  // the lost sign is not counted
    EXPECT_EQ(bta("LN", 4, 0, "1011", &m7), "0:-7  |#######");
    EXPECT_EQ(bta("SI", 4, 0, "0000", &low16), "0:  12########");
    EXPECT_EQ(bta("SI", 4, 0, "1000", &low16_negative), "0:  -1########");
    EXPECT_EQ(bta("FL", 5, 1, "0000", &f), "0:  2.5#######");
    EXPECT_EQ(bta("DB", 10, 8, "0100", &third), "0:0.33333333##");
    EXPECT_EQ(bta("LN", 4, 0, "0102", &i7), "0:0007########");
    EXPECT_EQ(bta("LN", 4, 0, "010", &i7), "0:0007########");  // no fourth character
    EXPECT_EQ(bta("LN", 4, 9, "0000", &i7), "0:   7########");  // decimals not read
    EXPECT_EQ(bta("LN", 79, 0, "0000", &i7).substr(0, 2), "0:");
    EXPECT_EQ(bta("SILLY", 2, 0, "0100", &i7), "0:07##########");
    for (const char* type : {"UI", "CH", "UL"})
        EXPECT_EQ(bta(type, 4, 0, "x100", &i7), "0:0007########") << type;
    // too long: 21, nothing written
    EXPECT_EQ(bta("LN", 4, 0, "0000", &big), "21:############");
    EXPECT_EQ(bta("LN", 2, 0, "1000", &m42), "21:############");
    EXPECT_EQ(bta("DB", 79, 8, "0000", &huge), "21:############");
    auto* lone = new int16_t(321);  // ASan catches a read beyond these two bytes
    EXPECT_EQ(bta("SI", 4, 0, "0000", lone), "0: 321########");
    delete lone;
    auto* byte = new unsigned char(200);
    EXPECT_EQ(bta("CH", 4, 0, "0000", byte), "0: 200########");
    delete byte;
}

TEST(bin_to_ascii, refused_arguments_give_99_and_write_nothing)
{
    int32_t v = 1;
    struct { const char* type; int width, decimals; const char* attributes; const void* value; }
    refused[] = {{"XX", 4, 0, "0000", &v}, {"S", 4, 0, "0000", &v},  {nullptr, 4, 0, "0000", &v},
                 {"LN", 0, 0, "0000", &v}, {"LN", 80, 0, "0000", &v}, {"LN", -5, 0, "0000", &v},
                 {"DB", 4, 9, "0000", &v}, {"FL", 4, -1, "0000", &v}, {"LN", 4, 0, "0200", &v},
                 {"LN", 4, 0, "2000", &v}, {"LN", 4, 0, "00", &v},   {"LN", 4, 0, nullptr, &v},
                 {"LN", 4, 0, "0000", nullptr}};
    for (auto& r : refused)
        EXPECT_EQ(bta(r.type, r.width, r.decimals, r.attributes, r.value), "99:############")
            << &r - refused;
    EXPECT_EQ(BinToAscii("LN", 2, 0, "0000", &v, nullptr), BTA_REFUSED);
}

TEST(bcd_to_hex, four_upper_case_digits_and_a_nul)
{
    char out[6] = "#####";
    BcdToHex(0x1999, out);
    EXPECT_EQ(std::string(out, 6), std::string("1999\0", 6));
    BcdToHex(0x12AB, out);
    EXPECT_STREQ(out, "12AB");
    BcdToHex(0x12345, out);  // beyond 16 bits: the low four digits
    EXPECT_STREQ(out, "2345");
}

static std::string sjis(const char* source, int count, int terminate)
{
    char out[128];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(AsciiToSjis(source, out, count, terminate), 0);
    return std::string(out, 2 * (count > 0 ? count : 0) + 1);
}

TEST(ascii_to_sjis, every_byte_has_its_full_width_form)
{
    EXPECT_EQ(sjis("A1 z", 4, 0), std::string("\x82\x60\x82\x50\x81\x40\x82\x9A#", 9));
    EXPECT_EQ(sjis("A1 z", 4, 1), std::string("\x82\x60\x82\x50\x81\x40\x82\x9A\0", 9));
    // ' " \ ~ have always become ´ 〃 ￥ ￣; other bytes become ・
    const char ascii[] = "09AZaz!#$%&'()*+,-./:;<=>?@[\\]^_{|}~\"\t`\x7F\x80\xFF";
    std::string wide = to_sjis("０９ＡＺａｚ！＃＄％＆´（）＊＋，－．／：；＜＝＞？＠［￥］＾＿｛｜｝￣〃・・・・・");
    int n = (int)sizeof ascii - 1;
    EXPECT_EQ(sjis(ascii, n, 0).substr(0, 2 * n), wide);
    EXPECT_EQ(sjis("\0", 1, 0).substr(0, 2), to_sjis("・"));
    EXPECT_EQ(sjis("AB", 0, 1), std::string("\0", 1));
    EXPECT_EQ(sjis("AB", -3, 1), std::string("\0", 1));
}
