// The text routines with any Shift-JIS bytes, places, colours, factors and
// faces, on a small memory canvas. Every pen, brush and font a routine
// makes is gone again when it returns.
#include "fuzz/fuzz_support.h"

#include <vector>

#include "layout/layout.h"
#include "platform/windows.h"
#include "support/ghl3000.h"

static HDC canvas()
{
    static HDC dc = nullptr;
    if (!dc) {
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, CreateCompatibleBitmap(dc, 200, 100));
    }
    return dc;
}

static double factor(FuzzedDataProvider& in)
{
    return in.ConsumeBool() ? in.ConsumeFloatingPointInRange(-40.0, 40.0)
                            : in.ConsumeFloatingPoint<double>();  // NaN, infinities, extremes
}

static const char* face(FuzzedDataProvider& in, std::string* own)
{
    const char* faces[] = {FACE_ROUND_MEDIUM, FACE_ROUND_THIN, FACE_GOTHIC, FACE_ARIAL, ""};
    if (in.ConsumeBool())
        return faces[in.ConsumeIntegralInRange(0, 4)];
    *own = in.ConsumeRandomLengthString(40);
    return own->c_str();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    HDC dc = canvas();
    int live = plat_gdi_live_objects();
    int routine = in.ConsumeIntegralInRange(0, 8);
    int x = in.ConsumeIntegralInRange(-300, 300), y = in.ConsumeIntegralInRange(-300, 300);
    int colour = in.ConsumeIntegral<int>(), bk = in.ConsumeIntegral<int>();
    int family = in.ConsumeIntegral<int>(), width = in.ConsumeIntegralInRange(-3, 90);
    double wf = factor(in), hf = factor(in), value = in.ConsumeFloatingPoint<double>();
    int number = in.ConsumeIntegral<int>();
    std::string own;
    const char* name = face(in, &own);
    std::string bytes = in.ConsumeRandomLengthString(120);
    std::vector<char> text(bytes.begin(), bytes.end());
    text.push_back('\0');
    int length = in.ConsumeIntegralInRange(-2, (int)bytes.size());
    switch (routine) {
    case 0: GrpSymbol(dc, text.data(), x, y, wf, hf, colour, family, x & 1, y & 1, width, family, name); break;
    case 1: GrpSymbolEx(dc, text.data(), x, y, wf, hf, colour, bk, family, x & 1, y & 1, width, family, name); break;
    case 2: GrpPrint(dc, text.data(), x, y, wf, hf, colour, family); break;
    case 3: GrpPrnAtt(dc, text.data(), x, y, colour, bk, length, family); break;
    case 4: GrpPrnFnt(dc, text.data(), x, y, colour, bk, length, name); break;
    case 5: GrpPrintD(dc, number, width, x, y, colour, bk, family); break;
    case 6: GrpPrintF(dc, value, width, length, x, y, colour, bk, family); break;
    case 7: GrpPrnFntD(dc, number, width, x, y, colour, bk, name); break;
    default: GrpPrnFntF(dc, value, width, length, x, y, colour, bk, name); break;
    }
    FUZZ_CHECK(plat_gdi_live_objects() == live);
    return 0;
}
