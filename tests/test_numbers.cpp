// BinToAscii, BcdToHex and AsciiToSjis against printf's digits and iconv's Shift-JIS.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "support/ghl3000.h"
#include "tests/helpers/sjis.h"

// BinToAscii into a buffer of '#': the result code, ':' and the whole buffer.
static std::string bta(const char* type, int width, int decimals, const char* attributes, const void* value)
{
    char out[96];
    std::memset(out, '#', sizeof out);
    int r = BinToAscii(type, width, decimals, attributes, value, out);
    return std::to_string(r) + ":" + std::string(out, 96);
}

// Stores `v` at the start of `box` in the size of `type` (the rest stays 0x5A, so a read
// of too many bytes shows); returns printf's text of it, "" outside the type's range.
static std::string stored(const std::string& type, double v, int decimals, unsigned char* box)
{
    char s[400];
    auto put = [&](auto x) { std::memcpy(box, &x, sizeof x); return x; };
    int64_t n = std::fabs(v) < 1e10 ? (int64_t)v : 0;
    if (type == "FL" || type == "DB")
        std::snprintf(s, sizeof s, "%.*f", decimals, type == "FL" ? put((float)(v < 1e38 ? v : 1e38)) : put(v));
    else if (v != n || (type == "UI" && (n < 0 || n > INT32_MAX)))
        return "";
    else  // UI and LN: 32 bits with a sign
        std::snprintf(s, sizeof s, "%lld", type == "CH" ? put((uint8_t)n) : type == "SI" ? put((int16_t)n)
                                           : type == "UL" ? (long long)put((uint32_t)n) : put((int32_t)n));
    return s;
}

// The field of `width` places by the attributes sign place, zero fill,
// left-justified and NUL; "" when the digits and sign place do not fit.
static std::string field(bool signed_type, const std::string& text, int width, const char* a)
{
    bool negative = text[0] == '-';
    std::string digits = text.substr(negative), sign = !signed_type || a[0] != '1' ? "" : negative ? "-" : " ";
    if (sign.size() + digits.size() > (size_t)width)
        return "";
    std::string pad(width - sign.size() - digits.size(), a[1] == '1' && a[2] == '0' ? '0' : ' ');
    std::string f = a[2] == '1' ? sign + digits + pad : a[1] == '1' ? sign + pad + digits : pad + sign + digits;
    return a[3] == '1' ? f + '\0' : f;
}

TEST(bin_to_ascii, every_type_width_and_attribute_against_printf_and_refused_arguments)
{
    const struct { const char* type; bool is_signed, is_float; } types[] = {  // "SILLY" reads as "SI"
        {"CH", false, false}, {"UI", false, false}, {"SILLY", true, false}, {"LN", true, false},
        {"UL", false, false}, {"FL", true, true},   {"DB", true, true}};
    const double values[] = {0,   7,        -7,   42,       -42,   200,       2003,   65548, 123456,
                             4e9, -2147483648.0, 2.5, -3.14159, 0.05, 1.0 / 3, -0.001, 12345.678, 1e300};
    const int widths[] = {0, 1, 2, 3, 4, 6, 11, 79, 80}, decimal_counts[] = {-1, 0, 2, 8, 9};
    for (const auto& t : types)
        for (double v : values)
            for (int i = 0; i < 45 * 108; i++) {
                int width = widths[i % 9], decimals = decimal_counts[i / 9 % 5], k = i / 45;
                const char a[5] = {"01x"[k % 3], "01x"[k / 3 % 3], "01x"[k / 9 % 3], "012\0"[k / 27], '\0'};
                unsigned char box[16];
                std::memset(box, 0x5A, sizeof box);
                std::string text = stored(std::string(t.type, 2), v, decimals, box), f = field(t.is_signed, text, width, a);
                std::string want = f.empty() ? "21:" : "0:" + f;
                if (width <= 0 || width >= 80 || (t.is_float && (decimals < 0 || decimals > 8)) || a[1] == 'x' ||
                    a[2] == 'x' || (t.is_signed && a[0] == 'x'))  // unsigned types ignore a[0]
                    want = "99:";
                want.resize(want.find(':') + 97, '#');
                ASSERT_EQ(text.empty() ? want : bta(t.type, width, decimals, a, box), want)
                    << t.type << " " << v << " width " << width << " decimals " << decimals << " attributes " << a;
            }
    int32_t v = 1;  // no type, short or no attributes, no value, no output: 99, nothing written
    const struct { const char* type; const char* attributes; const void* value; } refused[] = {
        {"XX", "0000", &v}, {"S", "0000", &v}, {nullptr, "0000", &v}, {"LN", "00", &v}, {"LN", nullptr, &v},
        {"LN", "0000", nullptr}};
    for (auto& r : refused)
        EXPECT_EQ(bta(r.type, 4, 0, r.attributes, r.value), "99:" + std::string(96, '#')) << &r - refused;
    EXPECT_EQ(BinToAscii("LN", 2, 0, "0000", &v, nullptr), BTA_REFUSED);
}

// BcdToHex: the low 16 bits as four upper-case hexadecimal digits and a NUL.
// AsciiToSjis: every byte's full-width form as iconv writes it; ' " \ ~ have
// always become ´ 〃 ￥ ￣, ` and bytes outside printable ASCII become ・.
TEST(code_conversion, hexadecimal_digits_and_full_width_forms)
{
    for (unsigned v : {0x0u, 0x1999u, 0x12ABu, 0xFFFFu, 0x12345u}) {
        char out[7] = "######", want[7] = "######";
        std::snprintf(want, 6, "%04X", v & 0xFFFF);
        BcdToHex(v, out);
        EXPECT_EQ(std::string(out, 7), std::string(want, 7)) << v;
    }
    std::string ascii, wide;
    for (int c = 0; c < 256; c++) {
        ascii += (char)c;
        int w = c == ' ' ? 0x3000 : c == '"' ? 0x3003 : c == '\\' ? 0xFFE5 : c == '~' ? 0xFFE3
              : c > ' ' && c < 0x7F && c != '`' && c != '\'' ? 0xFF01 + c - '!' : 0x30FB;
        wide += to_sjis(c == '\'' ? "´" : std::string{char(0xE0 | w >> 12), char(0x80 | (w >> 6 & 0x3F)),
                                                       char(0x80 | (w & 0x3F))});
    }
    for (int terminate : {0, 1}) {
        std::string out(514, '#');
        EXPECT_EQ(AsciiToSjis(ascii.data(), out.data(), 256, terminate), 0);
        EXPECT_EQ(out, wide + (terminate ? '\0' : '#') + '#');
    }
    char out[3] = "##";
    AsciiToSjis("AB", out, -3, 1);  // a count below 0 counts as 0
    EXPECT_EQ(std::string(out, 3), std::string("\0#\0", 3));
}
