// --export-ics: the holidays as iCalendar, read back by two independent readers (python3-icalendar
// and libical) and held against the published fixture; folding, stable UIDs, the notes. Its exit statuses and
// default years: test_exit_status.
#include <gtest/gtest.h>

#include <libical/ical.h>

#include <cstdio>
#include <array>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "app/export_ics.h"
#include "calendar/holidays.h"
#include "tests/helpers/cups.h"
#include "tests/helpers/official_list.h"
#include "tests/helpers/tempdir.h"

// Each event as "DATE|DAYS|SUMMARY|CATEGORIES|TRANSP|UID" (DAYS from DTSTART to DTEND), read by
// python3-icalendar once ics_events.py has checked the raw file.
static std::vector<std::string> by_python(const std::string& path)
{
    FILE* out = popen(("/usr/bin/python3 " RKM_SOURCE_DIR "/tests/ics_events.py " + path).c_str(), "r");
    std::vector<std::string> events;
    for (char line[4096]; out && std::fgets(line, sizeof line, out);)
        events.emplace_back(line, std::strlen(line) - 1);
    EXPECT_EQ(out ? pclose(out) : -1, 0) << "python3-icalendar refused " << path;
    return events;
}

static std::vector<std::string> by_libical(const std::string& path)
{
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    icalcomponent* cal = icalparser_parse_string(text.str().c_str());
    std::vector<std::string> events;
    EXPECT_EQ(icalcomponent_count_errors(cal), 0);
    for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
        const icaltimetype s = icalcomponent_get_dtstart(e), t = icalcomponent_get_dtend(e);
        auto value = [&](icalproperty_kind k) { return std::string(icalproperty_get_value_as_string(icalcomponent_get_first_property(e, k))) + "|"; };
        events.push_back(std::to_string(s.year * 10000 + s.month * 100 + s.day) + "|" + std::to_string((icaltime_as_timet(t) - icaltime_as_timet(s)) / 86400) +
                         "|" + icalcomponent_get_summary(e) + "|" + value(ICAL_CATEGORIES_PROPERTY) + value(ICAL_TRANSP_PROPERTY) + icalcomponent_get_uid(e));
    }
    icalcomponent_free(cal);
    return events;
}

// The events without their UIDs, and the UIDs.
static std::vector<std::string> split_uids(std::vector<std::string> events, std::vector<std::string>* uids = nullptr)
{
    for (std::string& e : events) {
        if (uids)
            uids->push_back(e.substr(e.rfind('|') + 1));
        e.erase(e.rfind('|'));
    }
    return events;
}

static std::vector<std::string> expected_events(const OfficialDays& days, int from, int to)
{
    std::vector<std::string> events;
    for (const auto& [key, name] : days)
        if (key / 10000 >= from && key / 10000 <= to)
            events.push_back(std::to_string(key) + "|1|" + name + "|祝日|TRANSPARENT");
    return events;
}

TEST(export_ics, every_published_holiday_read_back_by_two_readers_with_stable_uids)
{
    TempDir dir(true);
    ASSERT_EQ(ics_export("all.ics", "1955..2030", false), 0);
    std::vector<std::string> uids, user_uids;
    const std::vector<std::string> all = by_python(dir.file("all.ics"));
    EXPECT_EQ(split_uids(all, &uids), expected_events(published_days(true), 1955, 2030));
    EXPECT_EQ(by_libical(dir.file("all.ics")), all);
    EXPECT_EQ(std::set<std::string>(uids.begin(), uids.end()).size(), uids.size());
    // A user's list of 2026-2031 with a long name and one with the characters iCalendar escapes; the
    // days both exports hold keep their UIDs.
    OfficialDays days = published_days(), shown = published_days(true);
    for (auto* list : {&days, &shown}) {
        list->erase(list->begin(), list->lower_bound(20260101));
        (*list)[20310304] = "長い名前の祝日はいくつもの行に折り返されても一文字も欠けずに元の名前に戻るものである";
    }
    days[20310305] = "\"a,b;c\\d\"", shown[20310305] = "a,b;c\\d";
    dir.write("syukujitsu.csv", official_file(days));
    ASSERT_EQ(ics_export("user.ics", "2026..2031", false), 0);
    const std::vector<std::string> user = by_python(dir.file("user.ics"));
    EXPECT_EQ(split_uids(user, &user_uids), expected_events(shown, 2026, 2031));
    EXPECT_EQ(by_libical(dir.file("user.ics")), user);
    user_uids.resize(user_uids.size() - 2);
    EXPECT_EQ(user_uids, std::vector<std::string>(uids.end() - user_uids.size(), uids.end()));
    hol_set_list({}, "");
}

// With --notes each day's 六曜, solar term and 雑節 follow its holiday, in date order, as --almanac gives them.
TEST(export_ics, notes_follow_the_holidays_day_by_day_as_the_almanac_gives_them)
{
    TempDir dir(true);
    ASSERT_EQ(ics_export("notes.ics", "2026..2027", true), 0);
    const std::vector<std::string> events = split_uids(by_python(dir.file("notes.ics")));
    EXPECT_EQ(by_libical(dir.file("notes.ics")).size(), events.size());
    std::vector<std::string> holidays;
    std::map<std::string, std::array<std::string, 3>> notes;  // date: 六曜, solar term, 雑節
    for (const std::string& e : events) {
        std::istringstream fields(e);
        std::string date, days, summary, category;
        std::getline(fields, date, '|'), std::getline(fields, days, '|'), std::getline(fields, summary, '|'), std::getline(fields, category, '|');
        EXPECT_TRUE(notes.empty() || date >= notes.rbegin()->first) << e;
        auto& day = notes[date];
        for (const auto& [i, kind] : {std::pair{0, "六曜"}, {1, "二十四節気"}, {2, "雑節"}})
            if (category == kind)
                day[i] += (day[i].empty() || i < 2 ? "" : "・") + summary;
        if (category == "祝日")
            holidays.push_back(e);
    }
    EXPECT_EQ(holidays, expected_events(published_days(true), 2026, 2027));
    std::istringstream almanac(run_command(RKM_PROGRAM " --almanac 2026-01-01..2027-12-31", nullptr));
    ASSERT_EQ(notes.size(), 730u);
    for (auto& [date, day] : notes) {
        std::string line, field[6];
        std::getline(almanac, line);
        std::istringstream fields(line);
        for (std::string& f : field)
            std::getline(fields, f, '\t');
        EXPECT_EQ(date + day[0] + (day[1].empty() ? "-" : day[1]) + (day[2].empty() ? "-" : day[2]),
                  field[0].substr(0, 4) + field[0].substr(5, 2) + field[0].substr(8) + field[3] + field[4] + field[5]);
    }
}
