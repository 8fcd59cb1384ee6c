// Printer device contexts over a PDF surface, their documents and pages,
// and the job that carries the finished PDF to the scheduler (or to a
// file).
//
// Calls: CreateDCA, StartDocA, StartPage, EndPage, EndDoc, AbortDoc,
// SetAbortProc.
#include <cairo-pdf.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string>
#include <utility>

#include "platform/draw/dc.h"
#include "platform/print/print_internal.h"
#include "platform/system/out_file.h"

namespace {

const size_t SEND_CHUNK = 32768;  // bytes sent between calls of the abort procedure

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
        prt_fail_unreachable("");
        return SP_ERROR;
    }
    std::string resource = "/printers/" + job->printer;
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 prt_printer_uri(job->printer).c_str());
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
                prt_set_error("the job was cancelled");
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
        prt_fail(cupsLastError(), job->printer);
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
        prt_set_error(job->output + ": " + reason);
        return SP_ERROR;
    }
    size_t done = 0;
    while (done < job->pdf.size()) {
        if (!go_on(dc, job)) {
            plat_out_abort(out);
            prt_set_error("the job was cancelled");
            return SP_USERABORT;
        }
        size_t n = std::min(SEND_CHUNK, job->pdf.size() - done);
        if (!plat_out_write(out, job->pdf.data() + done, n))
            break;
        done += n;
    }
    if (!plat_out_commit(out, &reason)) {
        const int error = errno;
        prt_set_error(job->output + ": " + reason);
        return error == ENOSPC ? SP_OUTOFDISK : SP_ERROR;
    }
    return 1;
}

int dots(int hundredths_mm, int dpi)
{
    return (int)std::lround(hundredths_mm / 2540.0 * dpi);
}

}  // namespace

HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR, const DEVMODEA* init)
{
    if (!device || (driver && strcasecmp(driver, "WINSPOOL") != 0)) {
        prt_set_error("only printers have device contexts here");
        return nullptr;
    }
    std::string name = prt_printer_name(device);
    PrtSettings s;
    if (prt_query_printer(name, &s) == PrtLookup::NotFound)
        return nullptr;
    const PrtMedium paper = prt_chosen_paper(s, init);
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
    if (!prt_same_size(paper, s.paper.width, s.paper.length)) {
        pwg_media_t* pwg = pwgMediaForSize(paper.width, paper.length);
        job->media = pwg ? pwg->pwg : "";
    }
    job->surface = cairo_pdf_surface_create_for_stream(collect, job, page_w / 2540.0 * 72.0,
                                                       page_h / 2540.0 * 72.0);
    if (cairo_surface_status(job->surface) != CAIRO_STATUS_SUCCESS) {
        prt_set_error("cannot make a PDF page");
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
    prt_set_error("");
    return dc;
}

/* Documents and pages */

int StartDocA(HDC dc, const DOCINFOA* doc)
{
    Job* job = job_of(dc);
    if (!job || !doc || job->state != Job::Ready) {
        prt_set_error("no document can be started on this device context");
        return SP_ERROR;
    }
    job->title = doc->lpszDocName ? prt_to_cups(doc->lpszDocName) : "";
    job->output = doc->lpszOutput ? doc->lpszOutput : "";
    if (job->output.empty() && job->printer == PLAT_PDF_FILE_PRINTER) {
        prt_set_error("this printer only writes files: no output file was given");
        return SP_ERROR;
    }
    cairo_pdf_surface_set_metadata(job->surface, CAIRO_PDF_METADATA_TITLE, job->title.c_str());
    job->state = Job::Open;
    prt_set_error("");
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
        prt_set_error("the job was cancelled");
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
        prt_set_error(job && job->state == Job::Ended ? "the document was cancelled or has ended"
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
        prt_set_error("");
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

