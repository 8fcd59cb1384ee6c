// A run of days on the command line.
#include "app/day_range.h"

#include <cctype>
#include <chrono>
#include <utility>

using std::chrono::day;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

// "YYYY-MM-DD" exactly, a real date of years 0001 to 9999.
static bool parse_date(const std::string& text, year_month_day* date)
{
    static const char shape[] = "dddd-dd-dd";
    if (text.size() != sizeof shape - 1)
        return false;
    for (size_t i = 0; i < text.size(); i++)
        if (shape[i] == 'd' ? !std::isdigit((unsigned char)text[i]) : text[i] != shape[i])
            return false;
    const int y = std::stoi(text.substr(0, 4));
    *date = year_month_day{year{y}, month{(unsigned)std::stoi(text.substr(5, 2))},
                           day{(unsigned)std::stoi(text.substr(8, 2))}};
    return y >= 1 && date->ok();
}

bool cmd_parse_days(const char* text, DayRange* range, std::string* error)
{
    const std::string all = text;
    const size_t dots = all.find("..");
    const std::string from = all.substr(0, dots), to = dots == all.npos ? from : all.substr(dots + 2);
    year_month_day a, b;
    for (const auto& [part, date] : {std::pair{from, &a}, std::pair{to, &b}})
        if (!parse_date(part, date)) {
            *error = "'" + part + "' is not a date: YYYY-MM-DD, years 0001 to 9999";
            return false;
        }
    if (sys_days{b} < sys_days{a}) {
        *error = "'" + all + "' ends before it begins";
        return false;
    }
    *range = {(int)a.year(), (int)(unsigned)a.month(), (int)(unsigned)a.day(),
              (int)b.year(), (int)(unsigned)b.month(), (int)(unsigned)b.day()};
    return true;
}
