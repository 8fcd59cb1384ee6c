// What a printer says about itself: the default printer, the printers the
// print service offers, the papers a printer lists and its resolution, and
// the printers' names, Shift-JIS in the program and UTF-8 in CUPS.
//
// Calls: GetProfileStringA, EnumPrintersA, DeviceCapabilitiesA.
//
// A printer's paper is its default medium as CUPS reports it: the "media"
// option of the destination (lpoptions, or the queue's default set with
// lpadmin) before the printer's own default (the PPD's or IPP's).
#include <langinfo.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/draw/codeconv.h"
#include "platform/print/print_internal.h"

namespace {

// CUPS refuses names with blanks, controls, '/', '\\', '#' or quotes; such a
// name is never sent to the scheduler.
bool valid_cups_name(const std::string& name)
{
    if (name.empty() || name.size() > 127)
        return false;
    for (unsigned char c : name)
        if (c <= ' ' || c == 127 || c == '/' || c == '\\' || c == '#' || c == '\'' || c == '"')
            return false;
    return true;
}

const struct Paper {
    short code;
    int width, length;  // hundredths of a millimetre
} PAPERS[] = {
    {DMPAPER_A4, 21000, 29700}, {DMPAPER_LETTER, 21590, 27940}, {DMPAPER_LEGAL, 21590, 35560},
    {DMPAPER_A3, 29700, 42000}, {DMPAPER_A5, 14800, 21000},     {DMPAPER_B5, 18200, 25700},
};

// Sizes within a millimetre of each other are the same paper (PPDs give A4
// as 595 x 842 points).
bool within_a_millimetre(int width, int length, int other_width, int other_length)
{
    return std::abs(width - other_width) <= 100 && std::abs(length - other_length) <= 100;
}

const Paper* known_paper(int width, int length)
{
    for (const auto& p : PAPERS)
        if (within_a_millimetre(p.width, p.length, width, length))
            return &p;
    return nullptr;
}

// The size exactly, where it is a known paper; named as the print service's
// table of sizes names it.
PrtMedium medium(int width, int length, int margin_x = 0, int margin_y = 0)
{
    const Paper* p = known_paper(width, length);
    PrtMedium m = {"", p ? p->width : width, p ? p->length : length, margin_x, margin_y};
    pwg_media_t* pwg = pwgMediaForSize(m.width, m.length);
    m.name = pwg && pwg->ppd ? pwg->ppd : pwg ? pwg->pwg : "";
    return m;
}

// A paper named as lpoptions or IPP name it ("A3", "iso_a3_297x420mm",
// "na_letter_8.5x11in,tray-1"): the first name in the list that is a size.
bool named_medium(const std::string& names, PrtMedium* out)
{
    for (size_t from = 0; from < names.size();) {
        size_t end = std::min(names.find(',', from), names.size());
        std::string name = names.substr(from, end - from);
        pwg_media_t* pwg = pwgMediaForPWG(name.c_str());
        if (!pwg)
            pwg = pwgMediaForLegacy(name.c_str());
        if (!pwg)
            pwg = pwgMediaForPPD(name.c_str());
        if (pwg && pwg->width > 0 && pwg->length > 0) {
            *out = medium(pwg->width, pwg->length);
            return true;
        }
        from = end + 1;
    }
    return false;
}

void locale_paper(PrtSettings* s)
{
    int w = (int)(intptr_t)nl_langinfo(_NL_PAPER_WIDTH);
    int h = (int)(intptr_t)nl_langinfo(_NL_PAPER_HEIGHT);
    if (w > 0 && h > 0)
        s->paper = medium(w * 100, h * 100);
}

int member(ipp_t* collection, const char* name)
{
    return ippGetInteger(ippFindAttribute(collection, name, IPP_TAG_INTEGER), 0);
}

// A media-col collection: its size and margins; false when it has no size.
bool collection_medium(ipp_t* col, PrtMedium* out)
{
    ipp_attribute_t* size = ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION);
    ipp_t* dims = size ? ippGetCollection(size, 0) : nullptr;
    const int w = member(dims, "x-dimension"), h = member(dims, "y-dimension");
    if (w <= 0 || h <= 0)
        return false;
    *out = medium(w, h, std::max(member(col, "media-left-margin"), member(col, "media-right-margin")),
                  std::max(member(col, "media-top-margin"), member(col, "media-bottom-margin")));
    return true;
}

// Every size of the printer's media database, once, with the widest edges
// it gives that size (a borderless variant does not make a printer print to
// the edge of every page).
void read_media_list(ipp_t* response, PrtSettings* s)
{
    ipp_attribute_t* db = ippFindAttribute(response, "media-col-database", IPP_TAG_BEGIN_COLLECTION);
    for (int i = 0; db && i < ippGetCount(db); i++) {
        PrtMedium m;
        if (!collection_medium(ippGetCollection(db, i), &m))
            continue;
        auto same = std::find_if(s->media.begin(), s->media.end(),
                                 [&](const PrtMedium& k) { return prt_same_size(k, m.width, m.length); });
        if (same == s->media.end()) {
            s->media.push_back(m);
            continue;
        }
        same->margin_x = std::max(same->margin_x, m.margin_x);
        same->margin_y = std::max(same->margin_y, m.margin_y);
    }
}

// The edges of a paper the printer lists; none for one it does not.
void listed_margins(const PrtSettings& s, PrtMedium* m)
{
    for (const PrtMedium& k : s.media)
        if (prt_same_size(k, m->width, m->length)) {
            m->margin_x = k.margin_x;
            m->margin_y = k.margin_y;
        }
}

// The default paper: the destination's "media" option (lpoptions, or the
// queue's default set with lpadmin) before the printer's own default.
void read_media(ipp_t* response, const std::string& option, PrtSettings* s)
{
    read_media_list(response, s);
    PrtMedium m;
    if (named_medium(option, &m)) {
        listed_margins(*s, &m);
        s->paper = m;
        return;
    }
    ipp_attribute_t* col = ippFindAttribute(response, "media-col-default", IPP_TAG_BEGIN_COLLECTION);
    if (col && collection_medium(ippGetCollection(col, 0), &m)) {
        s->paper = m;
        return;
    }
    ipp_attribute_t* keyword = ippFindAttribute(response, "media-default", IPP_TAG_ZERO);
    if (keyword && named_medium(ippGetString(keyword, 0, nullptr), &m)) {
        listed_margins(*s, &m);
        s->paper = m;
    }
}

// The "media" option the user or the administrator set for the destination.
std::string media_option(const std::string& name)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    const char* media = dest ? cupsGetOption("media", dest->num_options, dest->options) : nullptr;
    std::string option = media ? media : "";
    cupsFreeDests(dest ? 1 : 0, dest);
    return option;
}

void read_resolution(ipp_t* response, PrtSettings* s)
{
    ipp_attribute_t* res = ippFindAttribute(response, "printer-resolution-default", IPP_TAG_RESOLUTION);
    if (!res)
        return;
    int y = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    int x = ippGetResolution(res, 0, &y, &units);
    if (units == IPP_RES_PER_CM) {
        x = (int)(x * 2.54 + 0.5);
        y = (int)(y * 2.54 + 0.5);
    }
    if (x > 0 && y > 0 && x <= 9600 && y <= 9600) {
        s->dpi_x = x;
        s->dpi_y = y;
    }
}

}  // namespace

/* Names */

std::string prt_to_cups(const char* sjis)
{
    return plat_sjis_to_utf8(sjis, std::strlen(sjis));
}

std::string prt_to_program(const std::string& utf8)
{
    return plat_utf8_to_sjis_or_marks(utf8);
}

std::string prt_printer_name(const char* sjis)
{
    return std::strcmp(sjis, PLAT_PDF_FILE_PRINTER) == 0 ? sjis : prt_to_cups(sjis);
}

std::string prt_printer_uri(const std::string& name)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", name.c_str());
    return uri;
}

/* Papers and resolution */

PrtLookup prt_query_printer(const std::string& name, PrtSettings* s)
{
    locale_paper(s);
    if (name == PLAT_PDF_FILE_PRINTER)
        return PrtLookup::Found;
    if (!valid_cups_name(name)) {
        prt_fail(IPP_STATUS_ERROR_NOT_FOUND, name);
        return PrtLookup::NotFound;
    }
    static const char* const wanted[] = {"printer-resolution-default", "media-col-default",
                                         "media-default", "media-col-database",
                                         "color-supported"};
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 prt_printer_uri(name).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  sizeof wanted / sizeof wanted[0], nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_status_t status = cupsLastError();
    if (!response || status > IPP_STATUS_OK_CONFLICTING) {
        ippDelete(response);
        if (status == IPP_STATUS_ERROR_NOT_FOUND || status == IPP_STATUS_ERROR_BAD_REQUEST) {
            prt_fail(IPP_STATUS_ERROR_NOT_FOUND, name);
            return PrtLookup::NotFound;
        }
        prt_fail_unreachable(cupsLastErrorString());
        return PrtLookup::Unreachable;
    }
    read_resolution(response, s);
    read_media(response, media_option(name), s);
    ipp_attribute_t* colour = ippFindAttribute(response, "color-supported", IPP_TAG_BOOLEAN);
    if (colour)
        s->colour = ippGetBoolean(colour, 0);
    ippDelete(response);
    return PrtLookup::Found;
}

short prt_paper_code(int width, int length)
{
    const Paper* p = known_paper(width, length);
    return p ? p->code : (short)DMPAPER_USER;
}

bool prt_same_size(const PrtMedium& m, int width, int length)
{
    return within_a_millimetre(m.width, m.length, width, length);
}

PrtMedium prt_chosen_paper(const PrtSettings& s, const DEVMODEA* init)
{
    if (!init || !(init->dmFields & DM_PAPERWIDTH) || !(init->dmFields & DM_PAPERLENGTH) ||
        init->dmPaperWidth <= 0 || init->dmPaperLength <= 0 ||
        prt_same_size(s.paper, init->dmPaperWidth * 10, init->dmPaperLength * 10))
        return s.paper;
    PrtMedium m = medium(init->dmPaperWidth * 10, init->dmPaperLength * 10);
    listed_margins(s, &m);
    return m;
}

/* The profile */

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_text, LPSTR out, DWORD size)
{
    if (!out || size == 0)
        return 0;
    std::string value = default_text ? default_text : "";
    if (section && key && strcasecmp(section, "windows") == 0 && strcasecmp(key, "device") == 0) {
        cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
        if (dest) {
            const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options);
            if (!uri)
                uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
            value = prt_to_program(dest->name) + ",CUPS," + (uri ? uri : "");
            cupsFreeDests(1, dest);
            prt_set_error("");
        } else {
            prt_fail_no_default();
        }
    }
    size_t n = std::min<size_t>(value.size(), size - 1);
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return (DWORD)n;
}

/* Printers */

BOOL EnumPrintersA(DWORD, LPSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned)
{
    if (needed)
        *needed = 0;
    if (returned)
        *returned = 0;
    if (level != 4 || !needed || !returned)
        return FALSE;
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    if (n <= 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        prt_fail_unreachable(cupsLastErrorString());
        cupsFreeDests(n, dests);
        return FALSE;
    }
    std::vector<std::pair<std::string, bool>> found;  // Shift-JIS name, default
    for (int i = 0; i < n; i++)
        if (!dests[i].instance && valid_cups_name(dests[i].name))
            found.push_back({prt_to_program(dests[i].name), dests[i].is_default != 0});
    cupsFreeDests(n, dests);
    DWORD bytes = (DWORD)(found.size() * sizeof(PRINTER_INFO_4A));
    for (const auto& f : found)
        bytes += (DWORD)f.first.size() + 1;
    *needed = bytes;
    if (!buffer || size < bytes)
        return FALSE;
    auto* records = reinterpret_cast<PRINTER_INFO_4A*>(buffer);
    char* names = reinterpret_cast<char*>(records + found.size());
    for (const auto& f : found) {
        std::memcpy(names, f.first.c_str(), f.first.size() + 1);
        *records++ = {names, nullptr, f.second ? (DWORD)PRINTER_ATTRIBUTE_DEFAULT : 0u};
        names += f.first.size() + 1;
    }
    *returned = (DWORD)found.size();
    prt_set_error("");
    return TRUE;
}

int DeviceCapabilitiesA(LPCSTR device, LPCSTR, WORD capability, LPSTR output, const DEVMODEA*)
{
    PrtSettings s;
    if (!device || prt_query_printer(prt_printer_name(device), &s) != PrtLookup::Found)
        return -1;
    const int n = (int)s.media.size();
    for (int i = 0; output && i < n; i++) {
        const PrtMedium& m = s.media[(size_t)i];
        switch (capability) {
        case DC_PAPERS: reinterpret_cast<WORD*>(output)[i] = (WORD)prt_paper_code(m.width, m.length); break;
        case DC_PAPERSIZE: reinterpret_cast<POINT*>(output)[i] = {m.width / 10, m.length / 10}; break;
        case DC_PAPERNAMES: {
            char* name = output + 64 * i;
            std::memset(name, 0, 64);
            std::strncpy(name, prt_to_program(m.name).c_str(), 63);
            break;
        }
        default: return -1;
        }
    }
    return capability == DC_PAPERS || capability == DC_PAPERSIZE || capability == DC_PAPERNAMES ? n : -1;
}

