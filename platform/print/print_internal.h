// Printing inside the platform layer (not for code above platform/).
//
// What a printer says about itself (printer_info.cpp) serves the printer
// handles (printer.cpp) and the printer device contexts and their jobs
// (job.cpp); fault.cpp keeps why the latest call of any of them failed.
// Names are UTF-8 here, as CUPS has them; prt_to_program and prt_to_cups
// convert at the calls' edge.
#pragma once

#include <cups/cups.h>

#include <string>
#include <vector>

#include "platform/print/print.h"

/* Names: Shift-JIS in the program, UTF-8 in CUPS */

std::string prt_to_cups(const char* sjis);
// A character without a Shift-JIS form shows as '?'.
std::string prt_to_program(const std::string& utf8);
// The file printer keeps its own name; every other is a CUPS destination.
std::string prt_printer_name(const char* sjis);
// The URI by which the local scheduler knows the printer.
std::string prt_printer_uri(const std::string& name);

/* What a printer says about itself */

// A paper a printer takes: its size and the edges it cannot print on, in
// hundredths of a millimetre, portrait; left and right alike, top and
// bottom alike (the wider of each pair), since which edge of a landscape
// page meets which edge of the printer is the driver's business.
struct PrtMedium {
    std::string name;  // UTF-8: "A4", "Letter", or the print service's own name
    int width = 0, length = 0;
    int margin_x = 0, margin_y = 0;
};

constexpr int PRT_DEFAULT_DPI = 600;
constexpr int PRT_A4_WIDTH = 21000;  // hundredths of a millimetre
constexpr int PRT_A4_LENGTH = 29700;

struct PrtSettings {
    int dpi_x = PRT_DEFAULT_DPI;
    int dpi_y = PRT_DEFAULT_DPI;
    PrtMedium paper = {"A4", PRT_A4_WIDTH, PRT_A4_LENGTH};  // the default paper
    std::vector<PrtMedium> media;                           // every paper the printer lists
    bool colour = true;
};

enum class PrtLookup { Found, NotFound, Unreachable };

// Asks the scheduler for the printer's default resolution and paper, and
// the papers it lists. A printer that does not say keeps 600 dpi and the
// locale's paper; a scheduler that cannot be reached leaves the question
// open (the job then fails when it is sent, with the reason). NotFound
// and Unreachable set the fault.
PrtLookup prt_query_printer(const std::string& name, PrtSettings* s);

// The DMPAPER_ code of a size, DMPAPER_USER for one that is no known paper.
short prt_paper_code(int width, int length);
// The same paper: within a millimetre each way.
bool prt_same_size(const PrtMedium& m, int width, int length);
// The paper the device mode marks, else the printer's default; the edges
// of a paper the printer does not list are taken as printable.
PrtMedium prt_chosen_paper(const PrtSettings& s, const DEVMODEA* init);

/* Why the latest call failed (plat_print_error, plat_print_fault) */

// An empty reason is a success.
void prt_set_error(const std::string& reason, int kind = PLAT_PRINT_OTHER,
                   const std::string& subject = "");
// The print service answered `status` about `printer` ("" for the default).
void prt_fail(ipp_status_t status, const std::string& printer);
// The print service cannot be reached; `why` is its own message, or ""
// when there is none to trust.
void prt_fail_unreachable(const char* why);
// Why the print service named no default printer.
void prt_fail_no_default();
