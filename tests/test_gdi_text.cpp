// Fonts and TextOutA: face matching, cell size, fallback for missing
// glyphs and bad Shift-JIS bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/windows.h"
#include "tests/helpers/canvas.h"
#include "tests/helpers/sjis_texts.h"

namespace {

const COLORREF WHITE = 0xFFFFFF, BLUE = 0xFF0000;

// Draws the text (`length` bytes of it; all when -1) at (x, y) in a fresh
// font of the face and size, underlined when asked.
void draw(HDC dc, const char* text, int x, int y, const char* face, int height = 22, int width = 11,
          int length = -1, bool underline = false)
{
    HFONT font = CreateFontA(height, width, 0, 0, 500, 0, underline, 0, SHIFTJIS_CHARSET, 3, 2, 2, 0x31, face);
    HGDIOBJ old = SelectObject(dc, font);
    TextOutA(dc, x, y, text, length < 0 ? (int)std::strlen(text) : length);
    SelectObject(dc, old);
    DeleteObject(font);
}

// The pixels of one text drawn alone in black on white.
std::vector<COLORREF> rendering(const char* text, const char* face, int length = -1)
{
    Canvas c(120, 30);
    SetBkMode(c.dc, TRANSPARENT);
    draw(c.dc, text, 2, 2, face, 22, 11, length);
    return c.pixels();
}

// The ink box of a text drawn on an opaque blue background.
RECT opaque_box(int w, int h, const char* text, int x, int y, const char* face, int height = 22, int width = 11)
{
    Canvas c(w, h);
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, BLUE);
    draw(c.dc, text, x, y, face, height, width);
    EXPECT_GT(c.count(BLUE), 0);
    return c.ink(WHITE);
}

}  // namespace

TEST(text_size, cell_is_the_height_and_a_half_width_character_the_width)
{
    RECT ink = opaque_box(100, 40, "ab" SJIS_NICHI, 5, 6, FACE_GOTHIC);  // two half-width and one full-width
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.top, 6);
    EXPECT_EQ(ink.right, 5 + 11 + 11 + 22 - 1);
    EXPECT_EQ(ink.bottom, 6 + 22 - 1);
    ink = opaque_box(200, 60, "12", 0, 0, FACE_NAKAMARU, 39, 21);  // factors 3.0 x 2.6
    EXPECT_EQ(ink.right, 41);
    EXPECT_EQ(ink.bottom, 38);
    EXPECT_EQ(opaque_box(120, 30, SJIS_NICHI "\x8C\x8E", 0, 0, FACE_ARIAL).right, 43) << "fallback: two cells of 22";

    Canvas narrow(200, 40), broad(200, 40);  // glyphs stretched to the width asked for
    draw(narrow.dc, SJIS_NICHI, 0, 0, FACE_GOTHIC, 22, 6);
    draw(broad.dc, SJIS_NICHI, 0, 0, FACE_GOTHIC, 22, 30);
    RECT n = narrow.ink(WHITE), b = broad.ink(WHITE);
    EXPECT_LE(n.right - n.left, 12);
    EXPECT_GE(b.right - b.left, 4 * (n.right - n.left));
    EXPECT_EQ(n.bottom - n.top, b.bottom - b.top);
}

// In every face (and in the fallback for Arial or an unknown face) the
// calendar's texts draw inside their cells, and its characters are real
// glyphs: never the mark for a bad byte, never one box alike for all.
TEST(text, calendar_texts_draw_in_their_box_with_real_glyphs_in_every_face)
{
    const char* texts[] = {SJIS_2003_NEN_1_GATSU, SJIS_YOUBI, SJIS_INSATSU, SJIS_SHUURYOU};
    const char* characters[] = {SJIS_NICHI, "\x8C\x8E", "\x88\xF3", "\x8D\xFC", "\x8FI", "\x97\xB9", "\x94N", "\x82P"};
    for (const char* face : {FACE_NAKAMARU, FACE_HOSOMARU, FACE_GOTHIC, FACE_ARIAL, FACE_MINCHO, "no such face", ""}) {
        SCOPED_TRACE(face);
        for (const char* text : texts) {
            Canvas c(400, 40);
            SetBkMode(c.dc, TRANSPARENT);
            draw(c.dc, text, 10, 5, face);
            RECT ink = c.ink(WHITE);
            int full_width = (int)std::strlen(text) * 11;  // every byte is half a full-width cell
            EXPECT_GE(ink.left, 10) << text;
            EXPECT_GE(ink.top, 5);
            EXPECT_LE(ink.bottom, 5 + 21);
            EXPECT_LE(ink.right, 10 + full_width + 4);  // proportional digits
            EXPECT_GT(ink.right - ink.left, full_width / 2) << text;
        }
        std::vector<std::vector<COLORREF>> seen = {rendering(SJIS_NAKAGURO, face)};
        for (const char* ch : characters) {
            std::vector<COLORREF> r = rendering(ch, face);
            for (const auto& other : seen)
                EXPECT_NE(r, other) << ch;
            seen.push_back(r);
        }
    }
    // mincho, gothic and rounded gothic are three different fonts
    EXPECT_NE(rendering(SJIS_NICHI, FACE_MINCHO), rendering(SJIS_NICHI, FACE_GOTHIC));
    EXPECT_NE(rendering(SJIS_NICHI, FACE_MINCHO), rendering(SJIS_NICHI, FACE_NAKAMARU));
    EXPECT_NE(rendering(SJIS_NICHI, FACE_GOTHIC), rendering(SJIS_NICHI, FACE_NAKAMARU));
}

TEST(text, bad_bytes_become_marks_and_nothing_past_the_length_is_read)
{
    // Exactly sized buffers: reading past them is caught by the address sanitizer.
    std::vector<char> lone_lead{'A', '\x93'}, bad_trail{'\x82', '\xFF'};
    EXPECT_EQ(rendering(lone_lead.data(), FACE_GOTHIC, 2), rendering("A" SJIS_NAKAGURO, FACE_GOTHIC));
    EXPECT_EQ(rendering(bad_trail.data(), FACE_GOTHIC, 2), rendering(SJIS_NAKAGURO SJIS_NAKAGURO, FACE_GOTHIC));
    EXPECT_EQ(rendering("12345", FACE_GOTHIC, 2), rendering("12", FACE_GOTHIC));
}

TEST(text, refuses_a_negative_length_and_cells_of_several_screens)
{
    Canvas c(40, 30);
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, "abc", -1));
    draw(c.dc, "1", 0, 0, FACE_GOTHIC, 100000);  // cells of several screens: refused
    EXPECT_EQ(c.count(WHITE), 40 * 30);
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, "ab", 2));  // the DC's own default font
    EXPECT_LT(c.count(WHITE), 40 * 30);
}

TEST(text_attributes, underline_uses_the_text_colour)
{
    Canvas c(100, 40);
    SetTextColor(c.dc, 0x0000FF);
    SetBkMode(c.dc, TRANSPARENT);
    draw(c.dc, "  ", 0, 0, FACE_GOTHIC, 22, 11, -1, true);  // blanks: only the underline shows
    RECT ink = c.ink(WHITE);
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.right, 21);
    EXPECT_GT(ink.top, 11);
    EXPECT_EQ(c.count(0x0000FF), c.count(0x0000FF, 0, ink.top, 21, ink.bottom));
}
