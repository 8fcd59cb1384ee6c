// Number formatting and code conversion: BinToAscii, BcdToHex, AsciiToSjis.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "support/ghl3000.h"

namespace {

enum NumType { CH, UI, SI, LN, FL, UL, DB, NONE };

// The type codes in the order they are matched, two characters each.
const char type_codes[] = "CHUISILNFLULDB";

NumType num_type(const char* type)
{
    if (!type || !type[0] || !type[1])
        return NONE;
    for (int i = 0; i < NONE; i++)
        if (type[0] == type_codes[2 * i] && type[1] == type_codes[2 * i + 1])
            return (NumType)i;
    return NONE;
}

bool signed_type(NumType t)
{
    return t == SI || t == LN || t == FL || t == DB;
}

bool flag_char(char c)
{
    return c == '0' || c == '1';
}

// The four attribute characters; a string that ends early reads as NULs
// from its end on, so nothing past its terminator is read.
void read_attributes(const char* attributes, char a[4])
{
    std::memset(a, 0, 4);
    for (int i = 0; attributes && i < 4 && attributes[i]; i++)
        a[i] = attributes[i];
}

template <typename T>
T load(const void* value)
{
    T v;
    std::memcpy(&v, value, sizeof v);
    return v;
}

// The value as text whose first character is the sign position (a blank
// or "-"). Returns the length, or -1 when it does not fit `room`.
int convert(NumType t, int decimals, const void* value, char* text, size_t room)
{
    int n = -1;
    switch (t) {
    case CH: n = std::snprintf(text, room, " %u", (unsigned)load<uint8_t>(value)); break;
    case UI: n = std::snprintf(text, room, "% d", (int)load<int32_t>(value)); break;
    case SI: n = std::snprintf(text, room, "% d", (int)load<int16_t>(value)); break;
    case LN: n = std::snprintf(text, room, "% d", (int)load<int32_t>(value)); break;
    case UL: n = std::snprintf(text, room, " %u", (unsigned)load<uint32_t>(value)); break;
    case FL: n = std::snprintf(text, room, "% .*f", decimals, (double)load<float>(value)); break;
    case DB: n = std::snprintf(text, room, "% .*f", decimals, load<double>(value)); break;
    case NONE: break;
    }
    return (n < 0 || (size_t)n >= room) ? -1 : n;
}

}  // namespace

// Writes the number at `value` as text into a field of `width` places of
// `out` (width + 1 bytes when attribute 4 asks for a NUL). Returns 0, 21
// when the number does not fit, 99 for a refused argument (also a null
// pointer); on 21 and 99 nothing is written. The value is read with the
// size of its type: 1 byte for "CH", 2 for "SI", 4 for "UI", "LN", "UL",
// "FL", 8 for "DB".
int BinToAscii(const char* type, int width, int decimals, const char* attributes,
               const void* value, char* out)
{
    NumType t = num_type(type);
    char a[4];
    read_attributes(attributes, a);
    bool fixed_point = t == FL || t == DB;
    if (t == NONE || width <= 0 || width >= 80 || !value || !out)
        return BTA_REFUSED;
    if (fixed_point && (decimals < 0 || decimals > 8))
        return BTA_REFUSED;
    if (!flag_char(a[1]) || !flag_char(a[2]) || (signed_type(t) && !flag_char(a[0])))
        return BTA_REFUSED;

    char text[400];  // the largest double with 8 decimals takes 320 places
    int len = convert(t, decimals, value, text, sizeof text);
    bool sign_place = signed_type(t) && a[0] == '1';
    if (len < 1 || (sign_place ? len : len - 1) > width)
        return BTA_TOO_LONG;

    std::memset(out, ' ', (size_t)width);
    int s = 0;
    if (sign_place) {
        out[0] = text[0];
        s = 1;
    }
    if (a[2] == '0') {
        int k = width - s - (len - 1);
        if (k > 0 && a[1] == '1')
            std::memset(out + s, '0', (size_t)k);
        s += k;
        if (a[0] == '1' && a[1] == '0' && k > 0) {
            out[0] = ' ';
            out[s - 1] = text[0];  // blank fill: the sign stands before the digits
        }
    }
    std::memcpy(out + s, text + 1, (size_t)(len - 1));
    if (a[3] == '1')
        out[width] = '\0';
    return BTA_OK;
}

// The low 16 bits of `value` as four upper-case hexadecimal digits and a
// NUL; higher bits are ignored.
void BcdToHex(unsigned int value, char* out)
{
    if (!out)
        return;
    for (int i = 0; i < 4; i++) {
        unsigned d = (value >> (12 - 4 * i)) & 0xF;
        out[i] = (char)(d < 10 ? '0' + d : 'A' + (d - 10));
    }
    out[4] = '\0';
}

// Trail bytes (after the lead byte 0x81) of the full-width forms of the
// printable ASCII characters that are not letters or digits, from 0x20 on.
static unsigned char symbol_trail(unsigned char c)
{
    static const unsigned char from_20[32] = {
        0x40, 0x49, 0x56, 0x94, 0x90, 0x93, 0x95, 0x4C,  //   ! " # $ % & '
        0x69, 0x6A, 0x96, 0x7B, 0x43, 0x7C, 0x44, 0x5E,  // ( ) * + , - . /
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                    // digits
        0x46, 0x47, 0x83, 0x81, 0x84, 0x48,              // : ; < = > ?
    };
    if (c >= 0x20 && c < 0x40)
        return from_20[c - 0x20];
    switch (c) {
    case '@': return 0x97;
    case '[': return 0x6D;
    case '\\': return 0x8F;
    case ']': return 0x6E;
    case '^': return 0x4F;
    case '_': return 0x51;
    case '{': return 0x6F;
    case '|': return 0x62;
    case '}': return 0x70;
    case '~': return 0x50;
    default: return 0x45;  // ・ for every other byte
    }
}

// Converts `count` bytes of ASCII into 2 * count bytes of full-width
// Shift-JIS; a NUL follows when `terminate` is 1. A count below 0 counts
// as 0. Always returns 0.
int AsciiToSjis(const char* source, char* destination, int count, int terminate)
{
    if (!destination || (count > 0 && !source))
        return 0;
    if (count < 0)
        count = 0;
    for (int i = 0; i < count; i++) {
        unsigned char c = (unsigned char)source[i];
        unsigned char* out = (unsigned char*)destination + 2 * i;
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) {
            out[0] = 0x82;
            out[1] = (unsigned char)(c + 0x1F);
        } else if (c >= 'a' && c <= 'z') {
            out[0] = 0x82;
            out[1] = (unsigned char)(c + 0x20);
        } else {
            out[0] = 0x81;
            out[1] = symbol_trail(c);
        }
    }
    if (terminate == 1)
        destination[2 * count] = '\0';
    return 0;
}
