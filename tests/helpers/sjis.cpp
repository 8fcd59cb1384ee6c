#include "tests/helpers/sjis.h"

#include <iconv.h>

#include <stdexcept>

std::string to_sjis(const std::string& utf8)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == (iconv_t)-1)
        throw std::runtime_error("iconv has no CP932");
    std::string in = utf8, out(in.size() * 2 + 4, '\0');
    char *src = in.data(), *dst = out.data();
    size_t left = in.size(), room = out.size();
    size_t r = iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    if (r == (size_t)-1)
        throw std::runtime_error("not convertible to CP932: " + utf8);
    out.resize(out.size() - room);
    return out;
}
