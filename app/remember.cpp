// The layout, the background colour and the notes switch the user chose
// last, kept in the settings file for the next start. Only what the
// calendar itself offers is taken back: one of the four layouts, one of the
// palette's colours, notes on or off.
#include "app/app.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "state/state.h"
#include "state/settings.h"
#include "layout/layout.h"

static bool in_palette(int colour)
{
    for (const auto& row : lay_palette)
        for (int c : row)
            if (c == colour)
                return true;
    return false;
}

// "#RRGGBB", as colours are written for people; the program's value is 0x00BBGGRR.
static int colour_from_text(const std::string& text)
{
    if (text.size() != 7 || text[0] != '#' ||
        text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        return -1;
    const long rgb = std::strtol(text.c_str() + 1, nullptr, 16);
    return (int)((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
}

void remember_load(void)
{
    settings_load();
    const std::string layout = settings_get("layout");
    for (int n = LAYOUT_LARGE; n <= LAYOUT_YEAR; n++)
        if (layout == LAYOUT_NAMES[n])
            iDspbk = n;
    const int colour = colour_from_text(settings_get("colour"));
    if (in_palette(colour))
        iBcol = colour;
    iNotes = settings_int("notes", 0, 0, 1);
}

void remember_layout(int layout)
{
    if (layout >= LAYOUT_LARGE && layout <= LAYOUT_YEAR)
        settings_set("layout", LAYOUT_NAMES[layout]);
}

void remember_colour(int colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, colour >> 8 & 0xFF,
                  colour >> 16 & 0xFF);
    settings_set("colour", text);
}

void remember_notes(int on)
{
    settings_set("notes", on ? "1" : "0");
}
