// The national holidays in force: the official list for the years it
// covers, the compiled law for the others.
#include "calendar/holidays.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "calendar/calendar.h"
#include "calendar/holiday_law.h"

namespace {

#define SJ_KYUJITSU "\x8B\x78\x93\xFA"                                          // 休日
#define SJ_SHUKUJITSU_ATSUKAI "\x8B\x78\x93\xFA\x81\x69\x8F\x6A\x93\xFA\x88\xB5\x82\xA2\x81\x6A"  // 休日（祝日扱い）
#define SJ_FURIKAE "\x90\x55\x91\xD6\x8B\x78\x93\xFA"                           // 振替休日

const char LIST_NAME[] = "syukujitsu.csv";
enum { BAD_LINES_SHOWN = 10 };

// A day of the list with its kind and name as the calendar shows them.
struct HolDay {
    int key;  // year * 10000 + month * 100 + day
    bool national;
    int kind;  // LAW_HOLIDAY, LAW_SUBSTITUTE or LAW_CITIZENS
    std::string name;
};

struct InForce {
    std::vector<HolDay> days;  // by key
    int first_year = 0, last_year = 0;
    std::string path;
};
InForce in_force;

bool covered(int year)
{
    return !in_force.days.empty() && year >= in_force.first_year && year <= in_force.last_year;
}

const HolDay* listed(int year, int month, int day)
{
    const int key = year * 10000 + month * 100 + day;
    auto at = std::lower_bound(in_force.days.begin(), in_force.days.end(), key,
                               [](const HolDay& d, int k) { return d.key < k; });
    return at != in_force.days.end() && at->key == key ? &*at : nullptr;
}

// National holidays as the rules around them count them: in a year of the
// list its named days and its days treated as national holidays.
int national_in_force(int year, int month, int day)
{
    if (!covered(year))
        return law_national_holiday(year, month, day);
    const HolDay* d = listed(year, month, day);
    return d && d->national;
}

// The list's generic 休日 names the substitute days and the days between two
// holidays alike, and 休日（祝日扱い） the one-off days: the law's name for the
// day where it has one, else the name its rules give the day among the
// list's holidays.
void resolve_generic(int year, int month, int day, HolDay* d)
{
    if (const char* name = law_day_name(year, month, day)) {
        d->kind = law_day_kind(year, month, day);
        d->name = name;
        return;
    }
    d->kind = law_day_between(year, month, day, national_in_force);
    if (d->kind == LAW_WORKDAY)
        d->kind = LAW_HOLIDAY;
    d->name = d->kind == LAW_SUBSTITUTE ? SJ_FURIKAE : SJ_KYUJITSU;
}

}  // namespace

void hol_set_list(const HolList& list, const std::string& path)
{
    in_force = InForce{};
    if (list.rows.empty())
        return;
    for (const HolListRow& r : list.rows) {
        const bool plain = r.name == SJ_KYUJITSU;
        const bool national = !plain || law_national_holiday(r.year, r.month, r.day);
        const int kind = r.name == SJ_FURIKAE ? LAW_SUBSTITUTE : LAW_HOLIDAY;
        in_force.days.push_back({r.year * 10000 + r.month * 100 + r.day, national, kind, r.name});
    }
    in_force.first_year = list.first_year;
    in_force.last_year = list.last_year;
    in_force.path = path;
    // The national holidays are all known now, so the generic days can be
    // told apart by the days around them.
    for (size_t i = 0; i < list.rows.size(); i++) {
        const HolListRow& r = list.rows[i];
        if (r.name == SJ_KYUJITSU || r.name == SJ_SHUKUJITSU_ATSUKAI)
            resolve_generic(r.year, r.month, r.day, &in_force.days[i]);
    }
}

// The first folder of the holiday files' search holding the list, whatever
// it is: a FIFO or a folder of that name is reported, not passed over.
static std::string list_path(void)
{
    const std::string folder = hol_list_folder();
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(folder + LIST_NAME, error)))
        return "";
    return std::filesystem::absolute(folder + LIST_NAME, error).string();
}

void hol_load_official(void)
{
    hol_set_list({}, "");
    const std::string path = list_path();
    std::string bytes, reason;
    if (path.empty())
        return;
    if (!hol_read_file(path, &bytes, &reason)) {
        std::fprintf(stderr, "rkm7500: %s: %s; the holidays follow the compiled law\n", path.c_str(),
                     reason.c_str());
        return;
    }
    std::vector<std::string> bad;
    const HolList list = hol_parse_list(bytes.data(), bytes.size(), &bad);
    for (size_t i = 0; i < bad.size() && i < BAD_LINES_SHOWN; i++)
        std::fprintf(stderr, "rkm7500: %s:%s; line skipped\n", path.c_str(), bad[i].c_str());
    if (bad.size() > BAD_LINES_SHOWN)
        std::fprintf(stderr, "rkm7500: %s: %zu more bad lines skipped\n", path.c_str(),
                     bad.size() - BAD_LINES_SHOWN);
    if (list.rows.empty())
        std::fprintf(stderr, "rkm7500: %s: no holiday in it; the holidays follow the compiled law\n",
                     path.c_str());
    hol_set_list(list, path);
}

std::string hol_source_text(void)
{
    if (in_force.days.empty())
        return "National holidays: the compiled law of each year (no syukujitsu.csv in use).\n";
    return "National holidays: " + in_force.path + " for " + std::to_string(in_force.first_year) + "-" +
           std::to_string(in_force.last_year) + ", the compiled law of each year for the others.\n";
}

int hol_day_kind(int year, int month, int day)
{
    if (!covered(year))
        return law_day_kind(year, month, day);
    const HolDay* d = listed(year, month, day);
    return d ? d->kind : LAW_WORKDAY;
}

const char* hol_day_name(int year, int month, int day)
{
    if (!covered(year))
        return law_day_name(year, month, day);
    const HolDay* d = listed(year, month, day);
    return d ? d->name.c_str() : nullptr;
}

int hol_substitute_step(int year, int month, int day, int* carry)
{
    if (!covered(year))
        return law_substitute_step(year, month, day, carry);
    *carry = 0;
    return hol_day_kind(year, month, day) == LAW_SUBSTITUTE;
}
