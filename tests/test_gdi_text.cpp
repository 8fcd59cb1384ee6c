// Fonts and TextOutA: face matching, cell size, fallback for missing
// glyphs, bad Shift-JIS bytes and the font cache.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/windows.h"
#include "tests/helpers/canvas.h"
#include "tests/helpers/sjis_texts.h"

namespace {

const COLORREF WHITE = 0xFFFFFF, BLACK = 0x000000, BLUE = 0xFF0000;
const char* const FACES[] = {FACE_NAKAMARU, FACE_HOSOMARU, FACE_GOTHIC, FACE_ARIAL, FACE_MINCHO};

// Draws `length` bytes at (x, y) in a fresh font of the face and size.
void draw(HDC dc, const char* text, int length, int x, int y, const char* face, int height = 22,
          int width = 11)
{
    HFONT font = CreateFontA(height, width, 0, 0, 500, 0, 0, 0, SHIFTJIS_CHARSET, 3, 2, 2, 0x31, face);
    HGDIOBJ old = SelectObject(dc, font);
    TextOutA(dc, x, y, text, length);
    SelectObject(dc, old);
    DeleteObject(font);
}

void draw(HDC dc, const char* text, int x, int y, const char* face, int height = 22, int width = 11)
{
    draw(dc, text, (int)std::strlen(text), x, y, face, height, width);
}

// The pixels of one text drawn alone in black on white.
std::vector<COLORREF> rendering(const char* text, int length, const char* face)
{
    Canvas c(120, 30);
    SetBkMode(c.dc, TRANSPARENT);
    draw(c.dc, text, length, 2, 2, face);
    return c.pixels();
}

std::vector<COLORREF> rendering(const char* text, const char* face)
{
    return rendering(text, (int)std::strlen(text), face);
}

}  // namespace

TEST(text_size, cell_is_the_height_and_a_half_width_character_the_width)
{
    Canvas c(100, 40);
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, BLUE);
    draw(c.dc, "ab" SJIS_NICHI, 5, 6, FACE_GOTHIC);  // two half-width and one full-width
    RECT ink = c.ink(WHITE);
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.top, 6);
    EXPECT_EQ(ink.right, 5 + 11 + 11 + 22 - 1);
    EXPECT_EQ(ink.bottom, 6 + 22 - 1);
    EXPECT_GT(c.count(BLUE), 0);

    Canvas wide(200, 60);
    SetBkMode(wide.dc, OPAQUE);
    SetBkColor(wide.dc, BLUE);
    draw(wide.dc, "12", 0, 0, FACE_NAKAMARU, 39, 21);  // factors 3.0 x 2.6
    EXPECT_EQ(wide.ink(WHITE).right, 41);
    EXPECT_EQ(wide.ink(WHITE).bottom, 38);

    Canvas narrow(200, 40), broad(200, 40);  // glyphs stretched to the width asked for
    draw(narrow.dc, SJIS_NICHI, 0, 0, FACE_GOTHIC, 22, 6);
    draw(broad.dc, SJIS_NICHI, 0, 0, FACE_GOTHIC, 22, 30);
    RECT n = narrow.ink(WHITE), b = broad.ink(WHITE);
    EXPECT_LE(n.right - n.left, 12);
    EXPECT_GE(b.right - b.left, 4 * (n.right - n.left));
    EXPECT_EQ(n.bottom - n.top, b.bottom - b.top);
}

TEST(text, calendar_texts_draw_in_their_box_in_every_face)
{
    const char* texts[] = {SJIS_2003_NEN_1_GATSU, SJIS_YOUBI, SJIS_INSATSU, SJIS_SHUURYOU};
    for (const char* face : FACES)
        for (const char* text : texts) {
            Canvas c(400, 40);
            SetBkMode(c.dc, TRANSPARENT);
            SetTextColor(c.dc, BLACK);
            draw(c.dc, text, 10, 5, face);
            RECT ink = c.ink(WHITE);
            int full_width = (int)std::strlen(text) * 11;  // every byte is half a full-width cell
            EXPECT_GE(ink.left, 10) << face << " " << text;
            EXPECT_GE(ink.top, 5) << face;
            EXPECT_LE(ink.bottom, 5 + 21) << face;
            EXPECT_LE(ink.right, 10 + full_width + 4) << face;  // proportional digits
            EXPECT_GT(ink.right - ink.left, full_width / 2) << face << " " << text;
        }
}

TEST(text, japanese_characters_are_never_replacement_marks_or_empty_boxes)
{
    const char* characters[] = {SJIS_NICHI, "\x8C\x8E", "\x88\xF3", "\x8D\xFC", "\x8FI", "\x97\xB9",
                                "\x94N", "\x82P"};
    for (const char* face : FACES) {
        std::vector<COLORREF> mark = rendering(SJIS_NAKAGURO, face);
        std::vector<std::vector<COLORREF>> seen;
        for (const char* ch : characters) {
            std::vector<COLORREF> r = rendering(ch, face);
            EXPECT_NE(r, mark) << face;
            for (const auto& other : seen)  // an empty box would look the same for all
                EXPECT_NE(r, other) << face << " " << ch;
            seen.push_back(r);
        }
    }
}

TEST(text, japanese_in_arial_or_an_unknown_face_falls_back_and_each_face_keeps_its_look)
{
    Canvas c(120, 30);
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, BLUE);
    draw(c.dc, SJIS_NICHI "\x8C\x8E", 0, 0, FACE_ARIAL);
    EXPECT_EQ(c.ink(WHITE).right, 43);  // two full-width cells of 22
    for (const char* face : {FACE_ARIAL, "no such face", ""})
        EXPECT_NE(rendering(SJIS_NICHI, face), rendering(SJIS_NAKAGURO, face)) << face;
    // mincho, gothic and rounded gothic are three different fonts
    EXPECT_NE(rendering(SJIS_NICHI, FACE_MINCHO), rendering(SJIS_NICHI, FACE_GOTHIC));
    EXPECT_NE(rendering(SJIS_NICHI, FACE_MINCHO), rendering(SJIS_NICHI, FACE_NAKAMARU));
    EXPECT_NE(rendering(SJIS_NICHI, FACE_GOTHIC), rendering(SJIS_NICHI, FACE_NAKAMARU));
}

TEST(text, bad_bytes_become_marks_and_nothing_past_the_length_is_read)
{
    // Exactly sized buffers: reading past them is caught by the address sanitizer.
    std::vector<char> lone_lead{'A', '\x93'};
    std::vector<char> bad_trail{'\x82', '\xFF'};
    EXPECT_EQ(rendering(lone_lead.data(), 2, FACE_GOTHIC), rendering("A" SJIS_NAKAGURO, FACE_GOTHIC));
    EXPECT_EQ(rendering(bad_trail.data(), 2, FACE_GOTHIC),
              rendering(SJIS_NAKAGURO SJIS_NAKAGURO, FACE_GOTHIC));
    // A byte count shorter than the string draws only what it counts.
    EXPECT_EQ(rendering("12345", 2, FACE_GOTHIC), rendering("12", FACE_GOTHIC));
}

TEST(text, counts_texts_and_cells_that_draw_nothing)
{
    Canvas c(40, 30);
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, nullptr, 0));
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, "abc", 0));
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, "abc", -1));
    EXPECT_FALSE(TextOutA(nullptr, 0, 0, "abc", 3));
    HFONT font = CreateFontA(100000, 11, 0, 0, 500, 0, 0, 0, SHIFTJIS_CHARSET, 3, 2, 2, 0x31, FACE_GOTHIC);
    HGDIOBJ old = SelectObject(c.dc, font);  // cells of several screens: refused
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, "1", 1));
    SelectObject(c.dc, old);
    DeleteObject(font);
    EXPECT_EQ(c.count(WHITE), 40 * 30);
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, "ab", 2));  // the DC's own default font
    EXPECT_LT(c.count(WHITE), 40 * 30);
}

TEST(font_cache, a_face_drawn_again_runs_no_font_match)
{
    Canvas c(200, 60);
    draw(c.dc, "12", 0, 0, FACE_HOSOMARU, 30, 15);
    int matches = plat_font_matches();
    for (int i = 0; i < 3; i++)
        draw(c.dc, "34", 0, 0, FACE_HOSOMARU, 30, 15);
    draw(c.dc, "56", 0, 0, FACE_HOSOMARU, 18, 15);  // the same face at another size
    EXPECT_EQ(plat_font_matches(), matches);
    draw(c.dc, "7", 0, 0, "no such face at all");
    EXPECT_EQ(plat_font_matches(), matches + 1);
}

TEST(text_attributes, underline_and_opaque_box_use_the_dc_colours)
{
    Canvas c(100, 40);
    HFONT font = CreateFontA(22, 11, 0, 0, 500, 0, 1, 0, SHIFTJIS_CHARSET, 3, 2, 2, 0x31, FACE_GOTHIC);
    HGDIOBJ old = SelectObject(c.dc, font);
    SetTextColor(c.dc, 0x0000FF);
    SetBkMode(c.dc, TRANSPARENT);
    TextOutA(c.dc, 0, 0, "  ", 2);  // blanks: only the underline shows
    SelectObject(c.dc, old);
    DeleteObject(font);
    RECT ink = c.ink(WHITE);
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.right, 21);
    EXPECT_GT(ink.top, 11);
    EXPECT_EQ(c.count(0x0000FF), c.count(0x0000FF, 0, ink.top, 21, ink.bottom));
}
