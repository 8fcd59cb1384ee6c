// Printer handles and their device modes: the settings a printer prints
// with (orientation, paper, resolution, copies) as a DEVMODEA record.
//
// Calls: OpenPrinterA, ClosePrinter, DocumentPropertiesA.
#include <cstring>
#include <set>
#include <string>

#include "platform/print/print_internal.h"
#include "platform/window/window.h"

namespace {

struct Printer {
    std::string name;  // UTF-8
    PrtSettings settings;
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
    std::string name = prt_to_program(p.name);
    std::strncpy(reinterpret_cast<char*>(dm->dmDeviceName), name.c_str(), CCHDEVICENAME - 1);
    dm->dmSpecVersion = 0x0401;
    dm->dmSize = sizeof(DEVMODEA);
    dm->dmDriverExtra = 0;
    dm->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES |
                   DM_PRINTQUALITY | DM_YRESOLUTION | DM_COLOR;
    dm->dmOrientation = DMORIENT_PORTRAIT;
    const PrtMedium& paper = p.settings.paper;
    dm->dmPaperSize = prt_paper_code(paper.width, paper.length);
    dm->dmPaperWidth = (short)(paper.width / 10);
    dm->dmPaperLength = (short)(paper.length / 10);
    std::strncpy(reinterpret_cast<char*>(dm->dmFormName), prt_to_program(paper.name).c_str(),
                 CCHFORMNAME - 1);
    dm->dmScale = 100;
    dm->dmCopies = 1;
    dm->dmPrintQuality = (short)p.settings.dpi_x;
    dm->dmYResolution = (short)p.settings.dpi_y;
    dm->dmColor = p.settings.colour ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
}

}  // namespace

BOOL OpenPrinterA(LPSTR name, HANDLE* printer, void*)
{
    if (!printer)
        return FALSE;
    *printer = nullptr;
    if (!name)
        return FALSE;
    auto p = new Printer;
    p->name = prt_printer_name(name);
    if (prt_query_printer(p->name, &p->settings) == PrtLookup::NotFound) {
        delete p;
        return FALSE;
    }
    printers.insert(p);
    *printer = p;
    prt_set_error("");
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

