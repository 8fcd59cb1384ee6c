// Printing on CUPS: the default printer, device modes, printer device
// contexts over a PDF surface, and the job that carries the finished PDF to
// the scheduler (or to a file).
#include "platform/print/print.h"
#include "platform/system/out_file.h"

#include <cairo-pdf.h>
#include <cups/cups.h>
#include <fcntl.h>
#include <langinfo.h>
#include <unistd.h>

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/draw/codeconv.h"
#include "platform/draw/dc.h"
#include "platform/window/window.h"

namespace {

const int DEFAULT_DPI = 600;
const int A4_WIDTH = 21000;  // hundredths of a millimetre
const int A4_LENGTH = 29700;
const size_t SEND_CHUNK = 32768;  // bytes sent between calls of the abort procedure

std::string last_error;  // UTF-8

void set_error(const std::string& reason) { last_error = reason; }

/* Names: Shift-JIS in the program, UTF-8 in CUPS */

std::string to_cups(const char* sjis) { return plat_sjis_to_utf8(sjis, std::strlen(sjis)); }

// The file printer keeps its own name; every other is a CUPS destination.
std::string printer_name(const char* sjis)
{
    return std::strcmp(sjis, PLAT_PDF_FILE_PRINTER) == 0 ? sjis : to_cups(sjis);
}

// A character without a Shift-JIS form shows as '?'.
std::string to_program(const std::string& utf8)
{
    std::string out;
    if (plat_utf8_to_sjis(utf8.c_str(), &out))
        return out;
    out.clear();
    for (unsigned char c : utf8)
        if (c < 0x80)
            out += (char)c;
        else if ((c & 0xC0) != 0x80)
            out += '?';
    return out;
}

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

/* What a printer says about itself */

// A paper a printer takes: its size and the edges it cannot print on, in
// hundredths of a millimetre, portrait; left and right alike, top and
// bottom alike (the wider of each pair), since which edge of a landscape
// page meets which edge of the printer is the driver's business.
struct Medium {
    std::string name;  // UTF-8: "A4", "Letter", or the print service's own name
    int width = 0, length = 0;
    int margin_x = 0, margin_y = 0;
};

struct Settings {
    int dpi_x = DEFAULT_DPI;
    int dpi_y = DEFAULT_DPI;
    Medium paper = {"A4", A4_WIDTH, A4_LENGTH};  // the default paper
    std::vector<Medium> media;                    // every paper the printer lists
    bool colour = true;
};

enum class Lookup { Found, NotFound, Unreachable };

const struct Paper {
    short code;
    int width, length;  // hundredths of a millimetre
} PAPERS[] = {
    {DMPAPER_A4, 21000, 29700}, {DMPAPER_LETTER, 21590, 27940}, {DMPAPER_LEGAL, 21590, 35560},
    {DMPAPER_A3, 29700, 42000}, {DMPAPER_A5, 14800, 21000},     {DMPAPER_B5, 18200, 25700},
};

// A size within a millimetre of a known paper (PPDs give A4 as 595 x 842
// points) is that paper.
const Paper* known_paper(int width, int length)
{
    for (const auto& p : PAPERS)
        if (std::abs(p.width - width) <= 100 && std::abs(p.length - length) <= 100)
            return &p;
    return nullptr;
}

short paper_code(int width, int length)
{
    const Paper* p = known_paper(width, length);
    return p ? p->code : (short)DMPAPER_USER;
}

bool same_size(const Medium& m, int width, int length)
{
    return std::abs(m.width - width) <= 100 && std::abs(m.length - length) <= 100;
}

// The size exactly, where it is a known paper; named as the print service's
// table of sizes names it.
Medium medium(int width, int length, int margin_x = 0, int margin_y = 0)
{
    const Paper* p = known_paper(width, length);
    Medium m = {"", p ? p->width : width, p ? p->length : length, margin_x, margin_y};
    pwg_media_t* pwg = pwgMediaForSize(m.width, m.length);
    m.name = pwg && pwg->ppd ? pwg->ppd : pwg ? pwg->pwg : "";
    return m;
}

// A paper named as lpoptions or IPP name it ("A3", "iso_a3_297x420mm",
// "na_letter_8.5x11in,tray-1"): the first name in the list that is a size.
bool named_medium(const std::string& names, Medium* out)
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

void locale_paper(Settings* s)
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
bool collection_medium(ipp_t* col, Medium* out)
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
void read_media_list(ipp_t* response, Settings* s)
{
    ipp_attribute_t* db = ippFindAttribute(response, "media-col-database", IPP_TAG_BEGIN_COLLECTION);
    for (int i = 0; db && i < ippGetCount(db); i++) {
        Medium m;
        if (!collection_medium(ippGetCollection(db, i), &m))
            continue;
        auto same = std::find_if(s->media.begin(), s->media.end(),
                                 [&](const Medium& k) { return same_size(k, m.width, m.length); });
        if (same == s->media.end()) {
            s->media.push_back(m);
            continue;
        }
        same->margin_x = std::max(same->margin_x, m.margin_x);
        same->margin_y = std::max(same->margin_y, m.margin_y);
    }
}

// The edges of a paper the printer lists; none for one it does not.
void listed_margins(const Settings& s, Medium* m)
{
    for (const Medium& k : s.media)
        if (same_size(k, m->width, m->length)) {
            m->margin_x = k.margin_x;
            m->margin_y = k.margin_y;
        }
}

// The default paper: the destination's "media" option (lpoptions, or the
// queue's default set with lpadmin) before the printer's own default.
void read_media(ipp_t* response, const std::string& option, Settings* s)
{
    read_media_list(response, s);
    Medium m;
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

void read_resolution(ipp_t* response, Settings* s)
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

std::string printer_uri(const std::string& name)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", name.c_str());
    return uri;
}

// `why` is the service's own message, or "" when there is none to trust.
std::string unreachable_reason(const char* why)
{
    std::string where = cupsServer();
    if (where.empty() || where[0] != '/')  // a host, not a local socket
        where += ":" + std::to_string(ippPort());
    std::string reason = "cannot reach the print service at " + where;
    return *why ? reason + " (" + why + ")" : reason;
}

// What the print service's answer means for the user, in plain words, with
// the service's own message (often a bare status name) kept at the end.
std::string plain_reason(ipp_status_t status, const std::string& printer)
{
    std::string said = cupsLastErrorString() ? cupsLastErrorString() : "";
    switch (status) {
    case IPP_STATUS_ERROR_NOT_FOUND:
        return printer.empty() ? "no printer is set up as the default"
                               : "the print service knows no printer \"" + printer + "\"";
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return "the printer is not accepting jobs (" + said + ")";
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
        return "the print service does not let this user print (" + said + ")";
    case IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED:
        return "the printer cannot print PDF pages";
    case IPP_STATUS_ERROR_REQUEST_ENTITY:
        return "the page is too large for the print service";
    case IPP_STATUS_ERROR_BUSY:
    case IPP_STATUS_ERROR_TEMPORARY:
        return "the printer is busy; try again later";
    case IPP_STATUS_ERROR_DEVICE:
        return "the printer reports a fault (" + said + ")";
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_INTERNAL:
        return unreachable_reason(said.c_str());
    default:
        return "the print service refused the job (" + said + ")";
    }
}

// Asks the scheduler for the printer's default resolution and paper, and
// the papers it lists. A printer that does not say keeps 600 dpi and the
// locale's paper; a
// scheduler that cannot be reached leaves the question open (the job then
// fails when it is sent, with the reason).
Lookup query_printer(const std::string& name, Settings* s)
{
    locale_paper(s);
    if (name == PLAT_PDF_FILE_PRINTER)
        return Lookup::Found;
    if (!valid_cups_name(name)) {
        set_error(plain_reason(IPP_STATUS_ERROR_NOT_FOUND, name));
        return Lookup::NotFound;
    }
    static const char* const wanted[] = {"printer-resolution-default", "media-col-default",
                                         "media-default", "media-col-database",
                                         "color-supported"};
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printer_uri(name).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  sizeof wanted / sizeof wanted[0], nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_status_t status = cupsLastError();
    if (!response || status > IPP_STATUS_OK_CONFLICTING) {
        ippDelete(response);
        if (status == IPP_STATUS_ERROR_NOT_FOUND || status == IPP_STATUS_ERROR_BAD_REQUEST) {
            set_error(plain_reason(IPP_STATUS_ERROR_NOT_FOUND, name));
            return Lookup::NotFound;
        }
        set_error(unreachable_reason(cupsLastErrorString()));
        return Lookup::Unreachable;
    }
    read_resolution(response, s);
    read_media(response, media_option(name), s);
    ipp_attribute_t* colour = ippFindAttribute(response, "color-supported", IPP_TAG_BOOLEAN);
    if (colour)
        s->colour = ippGetBoolean(colour, 0);
    ippDelete(response);
    return Lookup::Found;
}

/* Printer handles */

struct Printer {
    std::string name;  // UTF-8
    Settings settings;
};
std::set<Printer*> printers;

Printer* printer_of(HANDLE handle)
{
    auto it = printers.find(static_cast<Printer*>(handle));
    return it == printers.end() ? nullptr : *it;
}


void fill_devmode(const Printer& p, DEVMODEA* dm)
{
    std::memset(dm, 0, sizeof *dm);
    std::string name = to_program(p.name);
    std::strncpy(reinterpret_cast<char*>(dm->dmDeviceName), name.c_str(), CCHDEVICENAME - 1);
    dm->dmSpecVersion = 0x0401;
    dm->dmSize = sizeof(DEVMODEA);
    dm->dmDriverExtra = 0;
    dm->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES |
                   DM_PRINTQUALITY | DM_YRESOLUTION | DM_COLOR;
    dm->dmOrientation = DMORIENT_PORTRAIT;
    const Medium& paper = p.settings.paper;
    dm->dmPaperSize = paper_code(paper.width, paper.length);
    dm->dmPaperWidth = (short)(paper.width / 10);
    dm->dmPaperLength = (short)(paper.length / 10);
    std::strncpy(reinterpret_cast<char*>(dm->dmFormName), to_program(paper.name).c_str(),
                 CCHFORMNAME - 1);
    dm->dmScale = 100;
    dm->dmCopies = 1;
    dm->dmPrintQuality = (short)p.settings.dpi_x;
    dm->dmYResolution = (short)p.settings.dpi_y;
    dm->dmColor = p.settings.colour ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
}

/* Printer device contexts and their jobs */

struct Job {
    enum State { Ready, Open, Ended };
    State state = Ready;
    bool in_page = false;
    int pages = 0;
    std::string printer;  // UTF-8; PLAT_PDF_FILE_PRINTER for the file printer
    std::string title;    // UTF-8
    std::string output;   // file name, or empty to print
    std::string pdf;      // the document as cairo writes it
    std::string media;    // the paper asked of the printer, when not its default
    int copies = 1;
    cairo_surface_t* surface = nullptr;
    ABORTPROC abort_proc = nullptr;
};

int document_count = 0;

Job* job_of(HDC dc)
{
    if (!dc || dc->kind != HDC__::Printer)
        return nullptr;
    return static_cast<Job*>(dc->job);
}

cairo_status_t collect(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<Job*>(closure)->pdf.append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// Ends the PDF stream; after this nothing drawn on the DC reaches the job.
void close_surface(Job* job)
{
    if (job->surface) {
        cairo_surface_finish(job->surface);
        cairo_surface_destroy(job->surface);
        job->surface = nullptr;
    }
}

// The document goes nowhere; the DC draws into nothing from now on.
void discard(Job* job)
{
    job->state = Job::Ended;
    job->in_page = false;
    close_surface(job);
    std::string().swap(job->pdf);
}

void delete_printer_dc(HDC dc)
{
    Job* job = job_of(dc);
    if (!job)
        return;
    close_surface(job);
    delete job;
    dc->job = nullptr;
}

bool go_on(HDC dc, Job* job)
{
    return !job->abort_proc || job->abort_proc(dc, 0);
}

// Sends the finished PDF as one Print-Job request, so that a request broken
// off (the user cancelled, the connection failed) leaves no job behind.
int submit(HDC dc, Job* job)
{
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                30000, nullptr);
    if (!http) {
        set_error(unreachable_reason(""));
        return SP_ERROR;
    }
    std::string resource = "/printers/" + job->printer;
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printer_uri(job->printer).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, job->title.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 "application/pdf");
    if (job->copies > 1)
        ippAddInteger(request, IPP_TAG_JOB, IPP_TAG_INTEGER, "copies", job->copies);
    if (!job->media.empty())
        ippAddString(request, IPP_TAG_JOB, IPP_TAG_KEYWORD, "media", nullptr, job->media.c_str());
    http_status_t sent = cupsSendRequest(http, request, resource.c_str(),
                                       ippLength(request) + job->pdf.size());
    int result = SP_ERROR;
    if (sent == HTTP_STATUS_CONTINUE) {
        size_t done = 0;
        while (done < job->pdf.size() && sent == HTTP_STATUS_CONTINUE) {
            if (!go_on(dc, job)) {
                set_error("the job was cancelled");
                ippDelete(request);
                httpClose(http);
                return SP_USERABORT;
            }
            size_t n = std::min(SEND_CHUNK, job->pdf.size() - done);
            sent = cupsWriteRequestData(http, job->pdf.data() + done, n);
            done += n;
        }
    }
    ipp_t* response = cupsGetResponse(http, resource.c_str());
    if (response && cupsLastError() <= IPP_STATUS_OK_CONFLICTING)
        result = ippGetInteger(ippFindAttribute(response, "job-id", IPP_TAG_INTEGER), 0);
    else
        set_error(plain_reason(cupsLastError(), job->printer));
    if (result == 0)
        result = 1;  // accepted, though the scheduler did not say under which number
    ippDelete(response);
    ippDelete(request);
    httpClose(http);
    return result;
}

// Writes the PDF to the document's output file, whole or not at all: a
// failed or cancelled write leaves the file that was there.
int write_file(HDC dc, Job* job)
{
    std::string reason;
    PlatOutFile* out = plat_out_open(job->output.c_str(), &reason);
    if (!out) {
        set_error(job->output + ": " + reason);
        return SP_ERROR;
    }
    size_t done = 0;
    while (done < job->pdf.size()) {
        if (!go_on(dc, job)) {
            plat_out_abort(out);
            set_error("the job was cancelled");
            return SP_USERABORT;
        }
        size_t n = std::min(SEND_CHUNK, job->pdf.size() - done);
        if (!plat_out_write(out, job->pdf.data() + done, n))
            break;
        done += n;
    }
    if (!plat_out_commit(out, &reason)) {
        const int error = errno;
        set_error(job->output + ": " + reason);
        return error == ENOSPC ? SP_OUTOFDISK : SP_ERROR;
    }
    return 1;
}

// Why the print service named no default printer. CUPS answers "not
// found" also when it could not ask at all, so the service is tried once.
std::string no_default_reason()
{
    ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(),
                                    1, 5000, nullptr);
        if (!http)
            return unreachable_reason("");
        httpClose(http);
    }
    return plain_reason(status, "");
}

// The paper the device mode marks, else the printer's default; the edges
// of a paper the printer does not list are taken as printable.
Medium chosen_paper(const Settings& s, const DEVMODEA* init)
{
    if (!init || !(init->dmFields & DM_PAPERWIDTH) || !(init->dmFields & DM_PAPERLENGTH) ||
        init->dmPaperWidth <= 0 || init->dmPaperLength <= 0 ||
        same_size(s.paper, init->dmPaperWidth * 10, init->dmPaperLength * 10))
        return s.paper;
    Medium m = medium(init->dmPaperWidth * 10, init->dmPaperLength * 10);
    listed_margins(s, &m);
    return m;
}

int dots(int hundredths_mm, int dpi)
{
    return (int)std::lround(hundredths_mm / 2540.0 * dpi);
}

}  // namespace

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
            value = to_program(dest->name) + ",CUPS," + (uri ? uri : "");
            cupsFreeDests(1, dest);
            set_error("");
        } else {
            set_error(no_default_reason());
        }
    }
    size_t n = std::min<size_t>(value.size(), size - 1);
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return (DWORD)n;
}

/* Printers */

BOOL OpenPrinterA(LPSTR name, HANDLE* printer, void*)
{
    if (!printer)
        return FALSE;
    *printer = nullptr;
    if (!name)
        return FALSE;
    auto p = new Printer;
    p->name = printer_name(name);
    if (query_printer(p->name, &p->settings) == Lookup::NotFound) {
        delete p;
        return FALSE;
    }
    printers.insert(p);
    *printer = p;
    set_error("");
    return TRUE;
}

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
        set_error(unreachable_reason(cupsLastErrorString()));
        cupsFreeDests(n, dests);
        return FALSE;
    }
    std::vector<std::pair<std::string, bool>> found;  // Shift-JIS name, default
    for (int i = 0; i < n; i++)
        if (!dests[i].instance && valid_cups_name(dests[i].name))
            found.push_back({to_program(dests[i].name), dests[i].is_default != 0});
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
    set_error("");
    return TRUE;
}

BOOL ClosePrinter(HANDLE printer)
{
    Printer* p = printer_of(printer);
    if (!p)
        return FALSE;
    printers.erase(p);
    delete p;
    return TRUE;
}

LONG DocumentPropertiesA(HWND, HANDLE printer, LPSTR, DEVMODEA* out, DEVMODEA* in, DWORD mode)
{
    Printer* p = printer_of(printer);
    if (!p)
        return -1;
    if (mode == 0)
        return sizeof(DEVMODEA);
    if (!(mode & DM_OUT_BUFFER))
        return IDOK;
    if (!out)
        return -1;
    DEVMODEA settings;
    fill_devmode(*p, &settings);
    if ((mode & DM_IN_BUFFER) && in) {
        if (in->dmFields & DM_ORIENTATION)
            settings.dmOrientation = in->dmOrientation;
        if (in->dmFields & DM_PAPERWIDTH)
            settings.dmPaperWidth = in->dmPaperWidth;
        if (in->dmFields & DM_PAPERLENGTH)
            settings.dmPaperLength = in->dmPaperLength;
        if (in->dmFields & DM_PRINTQUALITY)
            settings.dmPrintQuality = in->dmPrintQuality;
        if (in->dmFields & DM_YRESOLUTION)
            settings.dmYResolution = in->dmYResolution;
        if (in->dmFields & DM_COPIES)
            settings.dmCopies = in->dmCopies;
    }
    *out = settings;
    return IDOK;
}

HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR, const DEVMODEA* init)
{
    if (!device || (driver && strcasecmp(driver, "WINSPOOL") != 0)) {
        set_error("only printers have device contexts here");
        return nullptr;
    }
    std::string name = printer_name(device);
    Settings s;
    if (query_printer(name, &s) == Lookup::NotFound)
        return nullptr;
    const Medium paper = chosen_paper(s, init);
    bool landscape = false;
    int copies = 1;
    if (init) {
        if ((init->dmFields & DM_PRINTQUALITY) && init->dmPrintQuality > 0)
            s.dpi_x = s.dpi_y = init->dmPrintQuality;
        if ((init->dmFields & DM_YRESOLUTION) && init->dmYResolution > 0)
            s.dpi_y = init->dmYResolution;
        if ((init->dmFields & DM_COPIES) && init->dmCopies > 0)
            copies = init->dmCopies;
        landscape = (init->dmFields & DM_ORIENTATION) && init->dmOrientation == DMORIENT_LANDSCAPE;
    }
    int page_w = paper.width, page_h = paper.length, edge_x = paper.margin_x, edge_y = paper.margin_y;
    if (landscape) {
        std::swap(page_w, page_h);
        std::swap(edge_x, edge_y);
    }

    auto job = new Job;
    job->printer = name;
    job->copies = copies;
    if (!same_size(paper, s.paper.width, s.paper.length)) {
        pwg_media_t* pwg = pwgMediaForSize(paper.width, paper.length);
        job->media = pwg ? pwg->pwg : "";
    }
    job->surface = cairo_pdf_surface_create_for_stream(collect, job, page_w / 2540.0 * 72.0,
                                                       page_h / 2540.0 * 72.0);
    if (cairo_surface_status(job->surface) != CAIRO_STATUS_SUCCESS) {
        set_error("cannot make a PDF page");
        close_surface(job);
        delete job;
        return nullptr;
    }
    cairo_pdf_surface_set_metadata(job->surface, CAIRO_PDF_METADATA_CREATOR, "rkm7500");
    // The device context covers what the printer can print on; its (0, 0) is
    // that area's top-left corner.
    const int offset_x = dots(edge_x, s.dpi_x), offset_y = dots(edge_y, s.dpi_y);
    const int width = (int)(page_w / 2540.0 * s.dpi_x), height = (int)(page_h / 2540.0 * s.dpi_y);
    HDC dc = plat_dc_create(HDC__::Printer, job->surface, width - 2 * offset_x,
                            height - 2 * offset_y, s.dpi_x, s.dpi_y);
    if (!dc) {
        close_surface(job);
        delete job;
        return nullptr;
    }
    cairo_translate(dc->cr, offset_x, offset_y);
    dc->page = {width, height, offset_x, offset_y};
    dc->job = job;
    dc->on_delete = delete_printer_dc;
    set_error("");
    return dc;
}

int DeviceCapabilitiesA(LPCSTR device, LPCSTR, WORD capability, LPSTR output, const DEVMODEA*)
{
    Settings s;
    if (!device || query_printer(printer_name(device), &s) != Lookup::Found)
        return -1;
    const int n = (int)s.media.size();
    for (int i = 0; output && i < n; i++) {
        const Medium& m = s.media[(size_t)i];
        switch (capability) {
        case DC_PAPERS: reinterpret_cast<WORD*>(output)[i] = (WORD)paper_code(m.width, m.length); break;
        case DC_PAPERSIZE: reinterpret_cast<POINT*>(output)[i] = {m.width / 10, m.length / 10}; break;
        case DC_PAPERNAMES: {
            char* name = output + 64 * i;
            std::memset(name, 0, 64);
            std::strncpy(name, to_program(m.name).c_str(), 63);
            break;
        }
        default: return -1;
        }
    }
    return capability == DC_PAPERS || capability == DC_PAPERSIZE || capability == DC_PAPERNAMES ? n : -1;
}

/* Documents and pages */

int StartDocA(HDC dc, const DOCINFOA* doc)
{
    Job* job = job_of(dc);
    if (!job || !doc || job->state != Job::Ready) {
        set_error("no document can be started on this device context");
        return SP_ERROR;
    }
    job->title = doc->lpszDocName ? to_cups(doc->lpszDocName) : "";
    job->output = doc->lpszOutput ? doc->lpszOutput : "";
    if (job->output.empty() && job->printer == PLAT_PDF_FILE_PRINTER) {
        set_error("this printer only writes files: no output file was given");
        return SP_ERROR;
    }
    cairo_pdf_surface_set_metadata(job->surface, CAIRO_PDF_METADATA_TITLE, job->title.c_str());
    job->state = Job::Open;
    set_error("");
    return ++document_count;
}

int StartPage(HDC dc)
{
    Job* job = job_of(dc);
    if (!job || job->state != Job::Open || job->in_page)
        return SP_ERROR;
    job->in_page = true;
    return 1;
}

int EndPage(HDC dc)
{
    Job* job = job_of(dc);
    if (!job || job->state != Job::Open || !job->in_page)
        return SP_ERROR;
    if (!go_on(dc, job)) {
        discard(job);
        set_error("the job was cancelled");
        return SP_APPABORT;
    }
    cairo_surface_show_page(job->surface);
    job->in_page = false;
    job->pages++;
    return 1;
}

int EndDoc(HDC dc)
{
    Job* job = job_of(dc);
    if (!job || job->state != Job::Open) {
        set_error(job && job->state == Job::Ended ? "the document was cancelled or has ended"
                                                  : "no document was started");
        return SP_ERROR;
    }
    if (job->in_page)
        EndPage(dc);
    job->state = Job::Ended;
    close_surface(job);
    int result = 1;  // an empty document prints nothing
    if (job->pages > 0)
        result = job->output.empty() ? submit(dc, job) : write_file(dc, job);
    std::string().swap(job->pdf);
    if (result > 0)
        set_error("");
    return result;
}

int AbortDoc(HDC dc)
{
    Job* job = job_of(dc);
    if (!job)
        return SP_ERROR;
    discard(job);
    return 1;
}

int SetAbortProc(HDC dc, ABORTPROC proc)
{
    Job* job = job_of(dc);
    if (!job)
        return SP_ERROR;
    job->abort_proc = proc;
    return 1;
}

const char* plat_print_error(void)
{
    static std::string sjis;
    sjis = to_program(last_error);
    return sjis.c_str();
}
