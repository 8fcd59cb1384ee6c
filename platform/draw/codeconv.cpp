// Shift-JIS <-> UTF-8 through glibc's iconv (code set "CP932").
#include "platform/draw/codeconv.h"

#include <iconv.h>

#include <cerrno>

#include <cstring>

// Runs one conversion; on an invalid or unconvertible sequence either
// replaces one input byte with '?' and goes on (lenient) or gives up.
static bool convert(const char* to, const char* from, const char* text, size_t length,
                    bool lenient, std::string* out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        return false;
    std::string result;
    char buffer[256];
    char* in = const_cast<char*>(text);
    size_t in_left = length;
    bool ok = true;
    while (in_left > 0) {
        char* dst = buffer;
        size_t dst_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &dst, &dst_left);
        result.append(buffer, dst - buffer);
        if (r != (size_t)-1 || errno == E2BIG)
            continue;
        if (!lenient) {
            ok = false;
            break;
        }
        result += '?';
        ++in;
        --in_left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    if (ok)
        *out = result;
    return ok;
}

std::string plat_sjis_to_utf8(const char* text, size_t length)
{
    std::string out;
    if (text && !convert("UTF-8", "CP932", text, length, true, &out))
        out.assign(text, length);
    return out;
}

bool plat_utf8_to_sjis(const char* text, std::string* out)
{
    return text && convert("CP932", "UTF-8", text, std::strlen(text), false, out);
}

std::string plat_utf8_to_sjis_or_marks(const std::string& utf8)
{
    std::string out;
    if (plat_utf8_to_sjis(utf8.c_str(), &out))
        return out;
    // Character by character: one with no Shift-JIS form becomes '?'.
    out.clear();
    for (size_t i = 0; i < utf8.size();) {
        size_t n = 1;
        while (i + n < utf8.size() && ((unsigned char)utf8[i + n] & 0xC0) == 0x80)
            n++;
        std::string one;
        out += plat_utf8_to_sjis(utf8.substr(i, n).c_str(), &one) ? one : "?";
        i += n;
    }
    return out;
}
