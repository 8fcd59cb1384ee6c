// Reading the Cabinet Office's list of national holidays (syukujitsu.csv):
// a header line, then one day a line as "2026/11/3,文化の日". The list is
// Shift-JIS with CR LF as published; UTF-8 and LF, as an editor may leave
// it, read the same. Nothing in a file can cost a good line: a bad line is
// left out and described, the rest is used.
#include "calendar/holidays.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "calendar/calendar.h"
#include "platform/draw/codeconv.h"
#include "support/ghl3000.h"

namespace {

enum { ACTION_MUST_EXIST = 0x01, MODE_READ_SHARED = 0x20C0 };
enum { LIST_YEAR_FIRST = 1948, LIST_YEAR_LAST = 9999 };
enum { NAME_MOST = 100 };  // bytes of Shift-JIS: 50 full-width characters

struct Field {
    const char* at;
    size_t size;
};

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

// The field without the blanks around it and without its double quotes;
// a doubled quote inside stands for one.
std::string field_text(Field f)
{
    while (f.size > 0 && blank(f.at[0]))
        f.at++, f.size--;
    while (f.size > 0 && blank(f.at[f.size - 1]))
        f.size--;
    std::string text(f.at, f.size);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
        for (size_t at = 0; (at = text.find("\"\"", at)) != std::string::npos; at++)
            text.erase(at, 1);
    }
    return text;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool utf8_valid(const char* text, size_t size)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < size;) {
        const unsigned c = s[i];
        const size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > size)
            return false;
        unsigned code = n == 1 ? c : c & (0x7F >> n);
        for (size_t k = 1; k < n; k++) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            code = code << 6 | (s[i + k] & 0x3F);
        }
        static const unsigned least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

// Reads "Y/M/D" (or "Y-M-D"), each part 1 to 5 digits.
bool parse_date(const std::string& text, int* year, int* month, int* day)
{
    int* parts[3] = {year, month, day};
    size_t at = 0;
    char separator = 0;
    for (int i = 0; i < 3; i++) {
        if (i > 0) {
            if (at >= text.size() || (text[at] != '/' && text[at] != '-') ||
                (separator && text[at] != separator))
                return false;
            separator = text[at++];
        }
        const size_t from = at;
        *parts[i] = 0;
        while (at < text.size() && at - from < 5 && text[at] >= '0' && text[at] <= '9')
            *parts[i] = *parts[i] * 10 + (text[at++] - '0');
        if (at == from)
            return false;
    }
    return at == text.size();
}

// The name in Shift-JIS, from a line read as UTF-8 when it is valid UTF-8
// and as Shift-JIS otherwise; "" with the reason when it cannot be shown.
std::string sjis_name(const std::string& name, bool utf8, std::string* why)
{
    std::string sjis;
    for (char c : name)
        if ((unsigned char)c < 0x20 || c == 0x7F) {
            *why = "the name holds control characters";
            return "";
        }
    if (utf8 && !plat_utf8_to_sjis(name.c_str(), &sjis)) {
        *why = "the name has characters that Shift_JIS cannot hold";
        return "";
    }
    if (!utf8) {  // valid when it comes back the same through UTF-8
        const std::string round = plat_sjis_to_utf8(name.data(), name.size());
        if (!plat_utf8_to_sjis(round.c_str(), &sjis) || sjis != name) {
            *why = "the line is neither Shift_JIS nor UTF-8 text";
            return "";
        }
    }
    if (sjis.size() > NAME_MOST) {
        *why = "the name is longer than 50 characters";
        return "";
    }
    return sjis;
}

struct LineError {
    int line;
    std::string why;
};

// The line's fields, split at the commas outside double quotes (no byte of
// a Shift-JIS or UTF-8 character is a comma or a quote).
std::vector<Field> split_fields(Field line)
{
    std::vector<Field> fields;
    bool quoted = false;
    size_t from = 0;
    for (size_t i = 0; i <= line.size; i++) {
        if (i < line.size && line.at[i] == '"') {
            quoted = !quoted;
        } else if (i == line.size || (line.at[i] == ',' && !quoted)) {
            fields.push_back({line.at + from, i - from});
            from = i + 1;
        }
    }
    return fields;
}

// One line: a row, or the reason it is none ("" for a header or a blank line).
bool parse_line(Field line, int number, HolListRow* row, std::string* why)
{
    const std::string whole = field_text(line);
    if (whole.empty())
        return false;
    const char first = whole[0] == '"' && whole.size() > 1 ? whole[1] : whole[0];
    if (number == 1 && (first < '0' || first > '9'))
        return false;  // the header
    const std::vector<Field> fields = split_fields(line);
    if (fields.size() < 2) {
        *why = "no comma between the date and the name";
        return false;
    }
    const std::string date = field_text(fields[0]);
    const std::string name = field_text(fields[1]);
    row->line = number;
    if (!parse_date(date, &row->year, &row->month, &row->day)) {
        *why = "'" + date + "' is not a date written YYYY/M/D";
        return false;
    }
    if (row->year < LIST_YEAR_FIRST || row->year > LIST_YEAR_LAST) {
        *why = "the year " + std::to_string(row->year) + " is outside 1948-9999";
        return false;
    }
    if (row->month < 1 || row->month > 12 || row->day < 1 || row->day > RKM_DAY_MAX(row->year, row->month)) {
        *why = "there is no day " + date;
        return false;
    }
    if (name.empty()) {
        *why = "the day has no name";
        return false;
    }
    row->name = sjis_name(name, utf8_valid(line.at, line.size), why);
    return !row->name.empty();
}

int row_key(const HolListRow& r)
{
    return r.year * 10000 + r.month * 100 + r.day;
}

// Sorts the rows by date and keeps the first line given for each day.
void one_row_a_day(std::vector<HolListRow>* rows, std::vector<LineError>* errors)
{
    std::stable_sort(rows->begin(), rows->end(),
                     [](const HolListRow& a, const HolListRow& b) { return row_key(a) < row_key(b); });
    std::vector<HolListRow> kept;
    for (const HolListRow& r : *rows) {
        if (!kept.empty() && row_key(kept.back()) == row_key(r)) {
            errors->push_back({r.line, "the day is given already on line " + std::to_string(kept.back().line)});
            continue;
        }
        kept.push_back(r);
    }
    rows->swap(kept);
}

}  // namespace

HolList hol_parse_list(const char* bytes, size_t size, std::vector<std::string>* bad)
{
    HolList list;
    std::vector<LineError> errors;
    size_t at = size >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    for (int number = 1; at < size; number++) {
        size_t end = at;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            end++;
        HolListRow row{};
        std::string why;
        if (parse_line({bytes + at, end - at}, number, &row, &why))
            list.rows.push_back(row);
        else if (!why.empty())
            errors.push_back({number, why});
        at = end + (end + 1 < size && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
    }
    one_row_a_day(&list.rows, &errors);
    if (!list.rows.empty()) {
        list.first_year = list.rows.front().year;
        list.last_year = list.rows.back().year;
    }
    std::stable_sort(errors.begin(), errors.end(),
                     [](const LineError& a, const LineError& b) { return a.line < b.line; });
    for (const LineError& e : errors)
        bad->push_back(std::to_string(e.line) + ": " + e.why);
    return list;
}

static bool refuse(std::string* reason, const char* why)
{
    *reason = why;
    return false;
}

bool hol_read_file(const std::string& path, std::string* bytes, std::string* reason)
{
    using std::filesystem::file_type;
    std::error_code error;
    switch (std::filesystem::status(path, error).type()) {
    case file_type::regular: break;
    case file_type::not_found: return refuse(reason, "no such file");
    case file_type::directory: return refuse(reason, "is a folder, not a file");
    case file_type::fifo: return refuse(reason, "is a FIFO, not a file");
    case file_type::character:
    case file_type::block: return refuse(reason, "is a device, not a file");
    default: return refuse(reason, "is not a regular file");
    }
    // The open refuses whatever is not a regular file by then, without waiting.
    HANDLE file = INVALID_HANDLE_VALUE;
    errno = 0;
    if (DosOpen(path.c_str(), &file, nullptr, 0, 0, ACTION_MUST_EXIST, MODE_READ_SHARED, 0) != 0)
        return refuse(reason, errno ? std::strerror(errno) : "cannot be opened as a file");
    bytes->clear();
    char block[64 * 1024];
    unsigned long n = 0;
    while (bytes->size() <= HOL_FILE_MOST && DosRead(file, block, (int)sizeof block, &n) == 0)
        bytes->append(block, n);
    DosClose(file);
    if (bytes->size() > HOL_FILE_MOST)
        return refuse(reason, "is larger than 1 MB");
    if (bytes->empty())
        return refuse(reason, "is empty");
    if (bytes->rfind("\xFF\xFE", 0) == 0 || bytes->rfind("\xFE\xFF", 0) == 0)
        return refuse(reason, "is UTF-16 text; save it as UTF-8 or Shift_JIS");
    if (bytes->find('\0') != std::string::npos)
        return refuse(reason, "is not text");
    return true;
}
