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
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

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

struct Settings {
    int dpi_x = DEFAULT_DPI;
    int dpi_y = DEFAULT_DPI;
    int paper_width = A4_WIDTH;  // hundredths of a millimetre, portrait
    int paper_length = A4_LENGTH;
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

void set_paper(Settings* s, int width, int length)
{
    const Paper* p = known_paper(width, length);
    s->paper_width = p ? p->width : width;
    s->paper_length = p ? p->length : length;
}

void locale_paper(Settings* s)
{
    int w = (int)(intptr_t)nl_langinfo(_NL_PAPER_WIDTH);
    int h = (int)(intptr_t)nl_langinfo(_NL_PAPER_HEIGHT);
    if (w > 0 && h > 0)
        set_paper(s, w * 100, h * 100);
}

void read_media(ipp_t* response, Settings* s)
{
    ipp_attribute_t* col = ippFindAttribute(response, "media-col-default", IPP_TAG_BEGIN_COLLECTION);
    if (col) {
        ipp_t* media = ippGetCollection(col, 0);
        ipp_attribute_t* size = ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION);
        if (size) {
            ipp_t* dims = ippGetCollection(size, 0);
            int w = ippGetInteger(ippFindAttribute(dims, "x-dimension", IPP_TAG_INTEGER), 0);
            int h = ippGetInteger(ippFindAttribute(dims, "y-dimension", IPP_TAG_INTEGER), 0);
            if (w > 0 && h > 0) {
                set_paper(s, w, h);
                return;
            }
        }
    }
    ipp_attribute_t* keyword = ippFindAttribute(response, "media-default", IPP_TAG_ZERO);
    if (keyword) {
        pwg_media_t* pwg = pwgMediaForPWG(ippGetString(keyword, 0, nullptr));
        if (!pwg)
            pwg = pwgMediaForLegacy(ippGetString(keyword, 0, nullptr));
        if (pwg && pwg->width > 0 && pwg->length > 0)
            set_paper(s, pwg->width, pwg->length);
    }
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

// Asks the scheduler for the printer's default resolution and paper. A
// printer that does not say keeps 600 dpi and the locale's paper; a
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
                                         "media-default", "color-supported"};
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
    read_media(response, s);
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
    dm->dmPaperSize = paper_code(p.settings.paper_width, p.settings.paper_length);
    dm->dmPaperWidth = (short)(p.settings.paper_width / 10);
    dm->dmPaperLength = (short)(p.settings.paper_length / 10);
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
    bool landscape = false;
    if (init) {
        if ((init->dmFields & DM_PAPERWIDTH) && (init->dmFields & DM_PAPERLENGTH) &&
            init->dmPaperWidth > 0 && init->dmPaperLength > 0) {
            s.paper_width = init->dmPaperWidth * 10;
            s.paper_length = init->dmPaperLength * 10;
        }
        if ((init->dmFields & DM_PRINTQUALITY) && init->dmPrintQuality > 0)
            s.dpi_x = s.dpi_y = init->dmPrintQuality;
        if ((init->dmFields & DM_YRESOLUTION) && init->dmYResolution > 0)
            s.dpi_y = init->dmYResolution;
        landscape = (init->dmFields & DM_ORIENTATION) && init->dmOrientation == DMORIENT_LANDSCAPE;
    }
    double width_mm = s.paper_width / 100.0, height_mm = s.paper_length / 100.0;
    if (landscape)
        std::swap(width_mm, height_mm);

    auto job = new Job;
    job->printer = name;
    job->surface = cairo_pdf_surface_create_for_stream(collect, job, width_mm / 25.4 * 72.0,
                                                       height_mm / 25.4 * 72.0);
    if (cairo_surface_status(job->surface) != CAIRO_STATUS_SUCCESS) {
        set_error("cannot make a PDF page");
        close_surface(job);
        delete job;
        return nullptr;
    }
    cairo_pdf_surface_set_metadata(job->surface, CAIRO_PDF_METADATA_CREATOR, "rkm7500");
    int width = (int)(width_mm / 25.4 * s.dpi_x);
    int height = (int)(height_mm / 25.4 * s.dpi_y);
    HDC dc = plat_dc_create(HDC__::Printer, job->surface, width, height, s.dpi_x, s.dpi_y);
    if (!dc) {
        close_surface(job);
        delete job;
        return nullptr;
    }
    dc->job = job;
    dc->on_delete = delete_printer_dc;
    set_error("");
    return dc;
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
