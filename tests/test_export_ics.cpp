// --export-ics: the holidays as iCalendar, read back by two independent readers (python3-icalendar
// and libical) and held against the published fixture; folding and stable UIDs. Its exit statuses and
// default years: test_exit_status.
#include <gtest/gtest.h>

#include <libical/ical.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "app/export_ics.h"
#include "calendar/holidays.h"
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
    ASSERT_EQ(ics_export("all.ics", "1955..2030"), 0);
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
    ASSERT_EQ(ics_export("user.ics", "2026..2031"), 0);
    const std::vector<std::string> user = by_python(dir.file("user.ics"));
    EXPECT_EQ(split_uids(user, &user_uids), expected_events(shown, 2026, 2031));
    EXPECT_EQ(by_libical(dir.file("user.ics")), user);
    user_uids.resize(user_uids.size() - 2);
    EXPECT_EQ(user_uids, std::vector<std::string>(uids.end() - user_uids.size(), uids.end()));
    hol_set_list({}, "");
}
