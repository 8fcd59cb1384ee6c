// The whole calendar, driven by random sequences of key releases, clicks
// and repaints that pass through the message queue and the window
// procedure as a user's input does, on the offscreen display. The keys
// and buttons that end the program (F12, 終了) and the print key are left
// out; after every sequence the entry state is within its bounds and no
// drawing object is left over.
#include "fuzz/fuzz_support.h"

#include "app/app.h"
#include "layout/layout.h"
#include "platform/windows.h"
#include "state/state.h"

static HWND window;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fuzz_enter_temp_folder();
    plat_set_display(PLAT_DISPLAY_OFFSCREEN);
    RKM_INIT_SET();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.lpszClassName = "RKM7500";
    FUZZ_CHECK(RegisterClassA(&wc));
    window = CreateWindowExA(0, "RKM7500", "Calendar", WS_OVERLAPPEDWINDOW, 0, 0, 1024, 768,
                             nullptr, nullptr, nullptr, nullptr);
    FUZZ_CHECK(window != nullptr);
    ghwndMain = window;
    ShowWindow(window, SW_SHOWMAXIMIZED);
    return 0;
}

static void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A click anywhere but on the 終了 key.
static void click(FuzzedDataProvider& in)
{
    int x = in.ConsumeIntegralInRange(0, 1100), y = in.ConsumeIntegralInRange(0, 800);
    int quit = lay_fkey_x(11);
    if (y > 675 && y < 717 && x > quit && x < quit + 78)
        return;
    plat_inject_click(window, x, y);
}

static void key(FuzzedDataProvider& in)
{
    static const UINT keys[] = {VK_RETURN, VK_ESCAPE, VK_BACK, VK_LEFT, VK_RIGHT, VK_F1,
                                VK_F11, VK_NUMPAD4, VK_TAB, VK_SPACE, VK_PRIOR, VK_NEXT, VK_HOME};
    UINT vk = keys[in.ConsumeIntegralInRange<size_t>(0, sizeof keys / sizeof keys[0] - 1)];
    plat_inject_key(window, vk, nullptr);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    RKM_INIT_SET();  // each sequence starts as the program does
    int live = plat_gdi_live_objects();
    for (int n = 0; n < 32 && in.remaining_bytes() > 0; n++) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            char text[2] = {(char)in.ConsumeIntegralInRange(0x20, 0x7E), '\0'};
            plat_inject_text(window, text);
            break;
        }
        case 1: key(in); break;
        case 2: click(in); break;
        default: plat_inject_paint(window); break;
        }
        pump();
        FUZZ_CHECK(iNkcnt >= 0 && iNkcnt <= (iNstep == 0 ? 4 : 2));
        FUZZ_CHECK(iNstep == 0 || iNstep == 1);
        FUZZ_CHECK(iSetfg == 0 || (iMont >= 1 && iMont <= 12 && iYear >= 0));
    }
    FUZZ_CHECK(plat_gdi_live_objects() == live);
    return 0;
}
