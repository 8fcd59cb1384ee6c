// Texts the program's own screens write in UTF-8 in their source (the help
// screen, the print dialog), made into the Shift-JIS the text path draws,
// and cut to the room they have.
#include "layout/layout.h"

#include "platform/draw/codeconv.h"

namespace {

bool sjis_lead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

std::string lay_sjis(const std::string& utf8)
{
    std::string out;
    if (plat_utf8_to_sjis(utf8.c_str(), &out))
        return out;
    for (unsigned char c : utf8)
        if (c < 0x80)
            out += (char)c;
        else if ((c & 0xC0) != 0x80)
            out += '?';
    return out;
}

std::string lay_fitted(const std::string& text, size_t cells, bool keep_end)
{
    if (text.size() <= cells)
        return text;
    const std::string dots = "\x81\x63";  // …, two cells
    const size_t room = cells > 2 ? cells - 2 : 0;
    size_t cut = keep_end ? text.size() : 0;
    for (size_t i = 0; i < text.size(); i += sjis_lead((unsigned char)text[i]) ? 2 : 1) {
        if (keep_end && text.size() - i <= room) {
            cut = i;
            break;
        }
        if (!keep_end && i <= room)
            cut = i;
    }
    return keep_end ? dots + text.substr(cut) : text.substr(0, cut) + dots;
}
