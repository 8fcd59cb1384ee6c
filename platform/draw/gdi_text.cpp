// Fonts and text: CreateFontA and TextOutA on fontconfig, FreeType and cairo.
//
// CreateFontA only records what it was asked for. The first TextOutA with a
// face name matches it through fontconfig (the system configuration plus the
// project's alias file) and keeps the result; the first use of that face at
// a size builds the cairo scaled fonts and keeps them too. The support
// library creates and deletes a font for every string it draws, so after the
// first string of a face and size, drawing runs no fontconfig match and
// builds no font.
//
// Size: the height asked for is the character cell (ascent plus descent of
// the font), the width that of a half-width character, half an em; the
// glyphs are stretched to fit both. A character the matched font lacks is
// taken from a Japanese font; one that neither has, and bytes that are no
// Shift-JIS character, are drawn as a middle dot.
#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <iconv.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/draw/dc.h"
#include "platform/draw/gdi_internal.h"
#include "platform/system/file.h"


namespace {

const uint32_t REPLACEMENT = 0x30FB;  // katakana middle dot, the code page's own default
const int DEFAULT_CELL = 16;          // cell height of a font asked for with height 0
// The alias file's name for the fonts that characters missing from a face
// are taken from.
const char JAPANESE_ALIAS[] = "rkm7500-japanese";
// On image surfaces each glyph is rasterised whole; a cell or half-width
// beyond this (several screens) is refused rather than allocated.
const double MAX_IMAGE_GLYPH = 4096;

LOGFONTA last_request{};
bool have_last_request = false;
int match_count = 0;
int texts_lost = 0;  // TextOutA calls that drew nothing for want of any font

/* Font files */

// One font file as FreeType opened it, with a cairo face for each way of
// emboldening and slanting it.
struct FontFile {
    FT_Face ft = nullptr;
    double ascent = 0.88, descent = 0.12;  // of the cell, in ems
    cairo_font_face_t* cairo[4] = {};     // by synthesis flags

    cairo_font_face_t* face(unsigned synth)
    {
        if (!cairo[synth]) {
            cairo[synth] = cairo_ft_font_face_create_for_ft_face(ft, 0);
            cairo_ft_font_face_set_synthesize(cairo[synth], synth);
        }
        return cairo[synth];
    }
};

FT_Library freetype()
{
    static FT_Library library = [] {
        FT_Library l = nullptr;
        FT_Init_FreeType(&l);
        return l;
    }();
    return library;
}

// The cell of a font: the Windows ascent and descent of its OS/2 table,
// where it has one, else its own ascender and descender.
void read_cell(FontFile* f)
{
    double em = f->ft->units_per_EM ? f->ft->units_per_EM : 1000;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f->ft, FT_SFNT_OS2));
    double ascent = f->ft->ascender, descent = -f->ft->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0) {
        ascent = 0.88 * em;
        descent = 0.12 * em;
    }
    f->ascent = ascent / em;
    f->descent = descent / em;
}

FontFile* open_file(const char* path, int index)
{
    static std::map<std::string, std::unique_ptr<FontFile>> files;
    std::string key = std::string(path) + '#' + std::to_string(index);
    auto found = files.find(key);
    if (found != files.end())
        return found->second.get();
    auto file = std::make_unique<FontFile>();
    if (FT_New_Face(freetype(), path, index, &file->ft) != 0)
        return nullptr;
    read_cell(file.get());
    FontFile* result = file.get();
    files.emplace(key, std::move(file));
    return result;
}

/* Matching */

// RKM_FONTS_DIR names another folder for the alias file, for trying out aliases.
const char* alias_file()
{
    const char* dir = std::getenv("RKM_FONTS_DIR");
    static std::string path = std::string(dir && *dir ? dir : plat_data_dir()) + "/rkm7500-fonts.conf";
    return path.c_str();
}

// The system configuration with the project's aliases on top. Without the
// alias file the system's own matching picks the fonts.
FcConfig* font_config()
{
    static FcConfig* config = [] {
        FcConfig* c = FcInitLoadConfigAndFonts();
        if (c)
            FcConfigParseAndLoad(c, reinterpret_cast<const FcChar8*>(alias_file()), FcFalse);
        return c;
    }();
    return config;
}

iconv_t cp932_decoder()
{
    static iconv_t cd = iconv_open("UTF-32LE", "CP932");
    return cd;
}

// Shift-JIS bytes to characters. A byte that starts no valid character
// becomes one replacement mark and decoding goes on with the next byte.
void decode_cp932(const char* text, int length, std::vector<uint32_t>& out)
{
    out.clear();
    iconv_t cd = cp932_decoder();
    if (cd == (iconv_t)-1) {
        for (int i = 0; i < length; i++)
            out.push_back((unsigned char)text[i] < 0x80 ? (unsigned char)text[i] : REPLACEMENT);
        return;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[256];
    char* in = const_cast<char*>(text);
    size_t in_left = (size_t)length;
    while (in_left > 0) {
        char* o = buffer;
        size_t o_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        for (char* p = buffer; p + 4 <= o; p += 4) {
            auto* b = reinterpret_cast<unsigned char*>(p);
            out.push_back(b[0] | b[1] << 8 | b[2] << 16 | (uint32_t)b[3] << 24);
        }
        if (r == (size_t)-1 && errno != E2BIG) {
            out.push_back(REPLACEMENT);
            in++;
            in_left--;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
}

std::string face_utf8(const char* face)
{
    std::vector<uint32_t> chars;
    decode_cp932(face, (int)strnlen(face, LF_FACESIZE), chars);
    std::string s;
    for (uint32_t c : chars) {
        if (c < 0x80) {
            s += (char)c;
        } else if (c < 0x800) {
            s += (char)(0xC0 | c >> 6);
            s += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            s += (char)(0xE0 | c >> 12);
            s += (char)(0x80 | (c >> 6 & 0x3F));
            s += (char)(0x80 | (c & 0x3F));
        } else {
            s += (char)(0xF0 | c >> 18);
            s += (char)(0x80 | (c >> 12 & 0x3F));
            s += (char)(0x80 | (c >> 6 & 0x3F));
            s += (char)(0x80 | (c & 0x3F));
        }
    }
    return s;
}

struct Matched {
    FontFile* file = nullptr;
    unsigned synth = 0;  // cairo_ft_synthesize_t flags
};

// The families a request for `family` wishes for, best first: those the
// alias file puts before it, and the family itself.
std::vector<std::string> wished_families(FcPattern* substituted, const std::string& family)
{
    std::vector<std::string> wished;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(substituted, FC_FAMILY, i, &name) == FcResultMatch; i++) {
        wished.emplace_back(reinterpret_cast<const char*>(name));
        if (wished.back() == family)
            break;
    }
    return wished;
}

// Whether the matched font is one of the wished families (under any of its
// names, which fonts give in several languages).
bool is_wished(FcPattern* font, const std::vector<std::string>& wished)
{
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; i++)
        for (const std::string& w : wished)
            if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(w.c_str())) == 0)
                return true;
    return false;
}

// Says once on standard error that none of the wished fonts is installed,
// and what draws instead: the user sees why the calendar looks as it does.
void report_missing(const std::string& family, const std::vector<std::string>& wished,
                    FcPattern* font)
{
    std::string names;  // the fonts the alias file names for it, else the face itself
    for (const std::string& w : wished)
        if (w != family || wished.size() == 1)
            names += (names.empty() ? "" : ", ") + w;
    const std::string what = family == JAPANESE_ALIAS ? "Japanese text" : '"' + family + '"';
    FcChar8* used = nullptr;
    if (font && FcPatternGetString(font, FC_FAMILY, 0, &used) == FcResultMatch)
        std::fprintf(stderr, "rkm7500: no font for %s is installed (%s); drawing with \"%s\"\n",
                     what.c_str(), names.c_str(), reinterpret_cast<const char*>(used));
    else
        std::fprintf(stderr, "rkm7500: no font for %s is installed (%s), nor any other: no "
                     "text can be drawn\n", what.c_str(), names.c_str());
}

Matched match_font(const std::string& family, bool japanese, int weight, bool italic,
                   FcCharSet* needs = nullptr)
{
    Matched m;
    FcConfig* config = font_config();
    FcPattern* pattern = FcPatternCreate();
    if (needs)
        FcPatternAddCharSet(pattern, FC_CHARSET, needs);
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (japanese)
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    if (weight > 0)
        FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::min(weight, 1000)));
    if (italic)
        FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ITALIC);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* font = FcFontMatch(config, pattern, &result);
    match_count++;
    std::vector<std::string> wished = wished_families(pattern, family);
    FcPatternDestroy(pattern);
    if (!family.empty() && !(font && is_wished(font, wished)))
        report_missing(family, wished, font);
    if (!font)
        return m;
    FcChar8* path = nullptr;
    int index = 0, got_weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FcPatternGetInteger(font, FC_WEIGHT, 0, &got_weight);
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    if (FcPatternGetString(font, FC_FILE, 0, &path) == FcResultMatch)
        m.file = open_file(reinterpret_cast<const char*>(path), index);
    if (weight >= FW_BOLD - 100 && got_weight < FC_WEIGHT_DEMIBOLD)
        m.synth |= CAIRO_FT_SYNTHESIZE_BOLD;
    if (italic && slant == FC_SLANT_ROMAN)
        m.synth |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
    FcPatternDestroy(font);
    return m;
}

// The Japanese font that characters missing from a face are taken from:
// the alias file's choice, or any font with kana and kanji.
FontFile* japanese_fallback()
{
    static FontFile* file = [] {
        FcCharSet* needs = FcCharSetCreate();
        for (FcChar32 c : {0x3042u, 0x30A2u, 0x65E5u, 0x6708u, 0x30FBu})
            FcCharSetAddChar(needs, c);
        FontFile* f = match_font(JAPANESE_ALIAS, true, FW_NORMAL, false, needs).file;
        FcCharSetDestroy(needs);
        return f;
    }();
    return file;
}

}  // namespace

// A face name with its weight and slant, matched to a font file once.
struct PlatFace {
    char name[LF_FACESIZE];
    bool bold, italic, japanese;
    Matched primary;
};

namespace {

PlatFace* find_face(const LOGFONTA& r)
{
    static std::vector<std::unique_ptr<PlatFace>> faces;
    bool bold = r.lfWeight >= FW_BOLD - 100, italic = r.lfItalic != 0;
    bool japanese = r.lfCharSet == SHIFTJIS_CHARSET;
    for (auto& f : faces)
        if (f->bold == bold && f->italic == italic && f->japanese == japanese &&
            std::strncmp(f->name, r.lfFaceName, LF_FACESIZE) == 0)
            return f.get();
    auto face = std::make_unique<PlatFace>();
    std::memcpy(face->name, r.lfFaceName, LF_FACESIZE);
    face->bold = bold;
    face->italic = italic;
    face->japanese = japanese;
    face->primary = match_font(face_utf8(r.lfFaceName), japanese, r.lfWeight, italic);
    if (!face->primary.file)
        face->primary.file = japanese_fallback();
    faces.push_back(std::move(face));
    return faces.back().get();
}

/* Scaled fonts */

struct Glyph {
    cairo_scaled_font_t* font;
    unsigned long index;
    double advance;
    double offset = 0;  // from the left of its cell to the glyph's origin
};

// A face at one size on one kind of surface.
struct Sized {
    cairo_scaled_font_t* primary = nullptr;
    cairo_scaled_font_t* fallback = nullptr;
    double cell = 0;        // cell height in device units
    double ascent = 0;      // top of the cell to the baseline
    double half_width = 0;  // width of a half-width character; 0: the font's own advances
    std::unordered_map<uint32_t, Glyph> glyphs;

    ~Sized()
    {
        cairo_scaled_font_destroy(primary);
        cairo_scaled_font_destroy(fallback);
    }
};

struct SizeKey {
    PlatFace* face;
    int height, width, dpi_x, dpi_y;
    double scale;  // a window DC's device pixels per unit
    bool operator==(const SizeKey& o) const
    {
        return face == o.face && height == o.height && width == o.width && dpi_x == o.dpi_x &&
               dpi_y == o.dpi_y && scale == o.scale;
    }
};

struct SizeKeyHash {
    size_t operator()(const SizeKey& k) const
    {
        size_t h = std::hash<void*>()(k.face);
        for (int v : {k.height, k.width, k.dpi_x, k.dpi_y})
            h = h * 1000003u ^ std::hash<int>()(v);
        return h * 1000003u ^ std::hash<double>()(k.scale);
    }
};

// A scaled font of `file` whose cell is `cell` units high and whose
// half-width character is `half_width` units wide (0: the font's own
// proportions).
cairo_scaled_font_t* make_scaled(FontFile* file, unsigned synth, double cell, double half_width,
                                 bool em_height, const cairo_matrix_t& ctm, bool printer)
{
    double y_em = em_height ? cell : cell / (file->ascent + file->descent);
    double x_em = half_width > 0 ? 2 * half_width : y_em;
    cairo_matrix_t font_matrix;
    cairo_matrix_init_scale(&font_matrix, x_em, y_em);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options,
                                        printer ? CAIRO_HINT_METRICS_OFF : CAIRO_HINT_METRICS_ON);
    cairo_scaled_font_t* font =
        cairo_scaled_font_create(file->face(synth), &font_matrix, &ctm, options);
    cairo_font_options_destroy(options);
    return font;
}

Sized* find_sized(PlatFace* face, const LOGFONTA& r, HDC dc)
{
    static std::unordered_map<SizeKey, std::unique_ptr<Sized>, SizeKeyHash> sizes;
    bool printer = dc->kind == HDC__::Printer;
    SizeKey key{face, (int)r.lfHeight, (int)r.lfWidth, printer ? dc->dpi_x : 0,
                printer ? dc->dpi_y : 0, dc->scale};
    auto found = sizes.find(key);
    if (found != sizes.end())
        return found->second.get();
    // A program that asks for ever new sizes does not grow the cache forever.
    if (sizes.size() >= 1024)
        sizes.clear();
    auto sized = std::make_unique<Sized>();
    FontFile* file = face->primary.file;
    bool em_height = r.lfHeight < 0;
    // On a scaled window DC the font is asked for at the device size, so
    // glyphs are drawn at that size, never stretched from a smaller one.
    double height = (r.lfHeight == 0 ? DEFAULT_CELL : std::abs((double)r.lfHeight)) * dc->scale;
    double width = std::abs((double)r.lfWidth) * dc->scale;
    cairo_matrix_t ctm;
    cairo_get_matrix(dc->cr, &ctm);
    ctm.x0 = ctm.y0 = 0;
    sized->primary = make_scaled(file, face->primary.synth, height, width, em_height, ctm, printer);
    double y_em = em_height ? height : height / (file->ascent + file->descent);
    sized->cell = em_height ? height * (file->ascent + file->descent) : height;
    sized->ascent = y_em * file->ascent;
    sized->half_width = width;
    if (FontFile* fallback = japanese_fallback())
        if (fallback != file) {
            double cell = em_height ? height * (fallback->ascent + fallback->descent) : height;
            sized->fallback = make_scaled(fallback, face->primary.synth, cell, width, false, ctm,
                                          printer);
        }
    Sized* result = sized.get();
    sizes.emplace(key, std::move(sized));
    return result;
}

unsigned long glyph_index(cairo_scaled_font_t* font, uint32_t c)
{
    FT_Face ft = cairo_ft_scaled_font_lock_face(font);
    unsigned long index = ft ? FT_Get_Char_Index(ft, c) : 0;
    cairo_ft_scaled_font_unlock_face(font);
    return index;
}

// Characters that take one byte in Shift-JIS: ASCII and half-width katakana.
bool is_half_width(uint32_t c)
{
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) || c == 0xA5 || c == 0x203E;
}

// The glyph for a character: from the matched font, else from the Japanese
// font, else the replacement mark. Control characters are blanks.
const Glyph& find_glyph(Sized* s, uint32_t c)
{
    auto found = s->glyphs.find(c);
    if (found != s->glyphs.end())
        return found->second;
    uint32_t shown = c < 0x20 || c == 0x7F ? ' ' : c;
    Glyph g{s->primary, glyph_index(s->primary, shown), 0, 0};
    if (g.index == 0 && s->fallback) {
        g = {s->fallback, glyph_index(s->fallback, shown), 0, 0};
        if (g.index == 0)
            g.index = glyph_index(s->fallback, REPLACEMENT);
    }
    if (g.index == 0 && shown != REPLACEMENT && !s->fallback)
        g.index = glyph_index(s->primary, REPLACEMENT);
    cairo_glyph_t one{g.index, 0, 0};
    cairo_text_extents_t extents;
    cairo_scaled_font_glyph_extents(g.font, &one, 1, &extents);
    g.advance = extents.x_advance;
    // A font asked for with a width is laid out on its character grid: every
    // half-width character takes that width and every full-width one twice
    // it, whatever the face's own advances, so texts of blanks and digits
    // line up with the keys and cells drawn for them. A glyph narrower or
    // wider than its cell stands in the cell's middle, as in a fixed-pitch
    // face, so the letters of a word in a proportional face stay evenly
    // spaced.
    if (s->half_width > 0) {
        double cell = is_half_width(c) ? s->half_width : 2 * s->half_width;
        g.offset = (cell - g.advance) / 2;
        g.advance = cell;
    }
    return s->glyphs.emplace(c, g).first->second;
}

void draw_glyph_runs(cairo_t* cr, const std::vector<const Glyph*>& glyphs, double x,
                     double baseline)
{
    std::vector<cairo_glyph_t> run;
    size_t i = 0;
    while (i < glyphs.size()) {
        cairo_scaled_font_t* font = glyphs[i]->font;
        run.clear();
        for (; i < glyphs.size() && glyphs[i]->font == font; i++) {
            run.push_back({glyphs[i]->index, x + glyphs[i]->offset, baseline});
            x += glyphs[i]->advance;
        }
        cairo_set_scaled_font(cr, font);
        cairo_show_glyphs(cr, run.data(), (int)run.size());
    }
}

}  // namespace

HFONT gdi_default_font(void)
{
    static HFONT__* font = [] {
        auto* f = new HFONT__;
        f->stock = true;
        f->request.lfHeight = DEFAULT_CELL;
        f->request.lfWeight = FW_NORMAL;
        f->request.lfCharSet = SHIFTJIS_CHARSET;
        return f;
    }();
    return font;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strike_out, DWORD charset,
                  DWORD out_precision, DWORD clip_precision, DWORD quality,
                  DWORD pitch_and_family, LPCSTR face)
{
    auto* font = new HFONT__;
    LOGFONTA& r = font->request;
    r.lfHeight = height;
    r.lfWidth = width;
    r.lfEscapement = escapement;
    r.lfOrientation = orientation;
    r.lfWeight = weight;
    r.lfItalic = (BYTE)italic;
    r.lfUnderline = (BYTE)underline;
    r.lfStrikeOut = (BYTE)strike_out;
    r.lfCharSet = (BYTE)charset;
    r.lfOutPrecision = (BYTE)out_precision;
    r.lfClipPrecision = (BYTE)clip_precision;
    r.lfQuality = (BYTE)quality;
    r.lfPitchAndFamily = (BYTE)pitch_and_family;
    if (face)
        std::strncpy(r.lfFaceName, face, LF_FACESIZE - 1);
    gdi_register(font);
    last_request = r;
    have_last_request = true;
    return font;
}

// Draws `length` Shift-JIS bytes with the top-left corner of their cell at
// (x, y) in the text colour; in the opaque background mode the cell behind
// them is first painted in the background colour.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length)
{
    if (!gdi_dc_drawable(dc) || length < 0 || (!text && length > 0))
        return FALSE;
    if (length == 0)
        return TRUE;
    HFONT font = dc->font;
    if (!font->face)
        font->face = find_face(font->request);
    if (!font->face->primary.file) {
        texts_lost++;
        return FALSE;  // no font at all on this machine
    }
    if (dc->kind != HDC__::Printer &&
        (std::abs((double)font->request.lfHeight) * dc->scale > MAX_IMAGE_GLYPH ||
         std::abs((double)font->request.lfWidth) * dc->scale > MAX_IMAGE_GLYPH))
        return FALSE;
    Sized* sized = find_sized(font->face, font->request, dc);

    static std::vector<uint32_t> chars;
    static std::vector<const Glyph*> glyphs;
    decode_cp932(text, length, chars);
    glyphs.clear();
    double width = 0;
    for (uint32_t c : chars) {
        glyphs.push_back(&find_glyph(sized, c));
        width += glyphs.back()->advance;
    }
    int cell_w = (int)std::lround(width), cell_h = (int)std::lround(sized->cell);
    int64_t dx = gdi_dev(dc, x), dy = gdi_dev(dc, y);
    if (dx < INT32_MIN || dx > INT32_MAX || dy < INT32_MIN || dy > INT32_MAX)
        return TRUE;  // wholly off any surface
    x = (int)dx;
    y = (int)dy;
    if (dc->bk_mode == OPAQUE)
        gdi_fill_box(dc, x, y, cell_w, cell_h, dc->bk_color);
    gdi_draw_begin(dc);
    gdi_set_colour(dc->cr, dc->text_color);
    draw_glyph_runs(dc->cr, glyphs, x, y + sized->ascent);
    // Glyphs may reach past their cells (italics, accents): a cell's height
    // around the text is taken as drawn.
    gdi_touch(dc, (int64_t)x - cell_h, (int64_t)y - cell_h, (int64_t)cell_w + 2 * cell_h,
              3 * (int64_t)cell_h);
    // Underline and strike-out: one line a twentieth of the cell thick.
    int thickness = std::max(1, cell_h / 20);
    if (font->request.lfUnderline)
        gdi_fill_box(dc, x, y + (int)sized->ascent + thickness, cell_w, thickness, dc->text_color);
    if (font->request.lfStrikeOut)
        gdi_fill_box(dc, x, y + (int)(sized->ascent * 0.65), cell_w, thickness, dc->text_color);
    return TRUE;
}

BOOL plat_last_font(LOGFONTA* font)
{
    if (!font || !have_last_request)
        return FALSE;
    *font = last_request;
    return TRUE;
}

int plat_font_matches(void)
{
    return match_count;
}

int plat_texts_lost(void)
{
    return texts_lost;
}
