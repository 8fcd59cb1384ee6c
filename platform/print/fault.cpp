// Why the latest printing call failed: the kind of fault, the printer or
// server it concerns, and the reason in plain words with the print
// service's own message kept.
//
// Calls: plat_print_error, plat_print_fault, plat_print_subject.
#include <cstdlib>
#include <string>

#include "platform/print/print_internal.h"

namespace {

// UTF-8; the program reads it in Shift-JIS.
struct Fault {
    int kind = PLAT_PRINT_OK;
    std::string subject, text;
} last_fault;

std::string cups_said()
{
    return cupsLastErrorString() ? cupsLastErrorString() : "";
}

// What the print service's answer means for the user, in plain words, with
// the service's own message (often a bare status name) kept at the end.
std::string plain_reason(ipp_status_t status, const std::string& printer)
{
    const std::string said = cups_said();
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
    default:
        return "the print service refused the job (" + said + ")";
    }
}

}  // namespace

void prt_set_error(const std::string& reason, int kind, const std::string& subject)
{
    last_fault = {reason.empty() ? PLAT_PRINT_OK : kind, subject, reason};
}

void prt_fail_unreachable(const char* why)
{
    std::string where = cupsServer();
    if (where.empty() || where[0] != '/')  // a host, not a local socket
        where += ":" + std::to_string(ippPort());
    std::string reason = "cannot reach the print service at " + where;
    prt_set_error(*why ? reason + " (" + why + ")" : reason, PLAT_PRINT_UNREACHABLE, where);
}

void prt_fail(ipp_status_t status, const std::string& printer)
{
    switch (status) {
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_INTERNAL:
        prt_fail_unreachable(cups_said().c_str());
        return;
    case IPP_STATUS_ERROR_NOT_FOUND:
        prt_set_error(plain_reason(status, printer),
                      printer.empty() ? PLAT_PRINT_NO_PRINTER : PLAT_PRINT_UNKNOWN, printer);
        return;
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        prt_set_error(plain_reason(status, printer), PLAT_PRINT_STOPPED, printer);
        return;
    default:
        prt_set_error(plain_reason(status, printer), PLAT_PRINT_OTHER, printer);
    }
}

// CUPS answers "not found" also when it could not ask at all, so the
// service is tried once; and when LPDEST or PRINTER names a printer it does
// not know, that printer is the one not found.
void prt_fail_no_default()
{
    ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(),
                                    1, 5000, nullptr);
        if (!http) {
            prt_fail_unreachable("");
            return;
        }
        httpClose(http);
    }
    const char* asked = std::getenv("LPDEST");
    if (!asked || !*asked)
        asked = std::getenv("PRINTER");
    prt_fail(status, asked ? asked : "");
}

const char* plat_print_error(void)
{
    static std::string sjis;
    sjis = prt_to_program(last_fault.text);
    return sjis.c_str();
}

int plat_print_fault(void)
{
    return last_fault.kind;
}

const char* plat_print_subject(void)
{
    static std::string sjis;
    sjis = prt_to_program(last_fault.subject);
    return sjis.c_str();
}
