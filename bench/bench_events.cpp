// Speed of the user's calendars: reading a large calendar (5 MB, 10,000
// events, 500 of them recurring, in several zones), and the events of one
// month from it; for the worst case, a month in which every one of 500
// recurring events runs; and the large month's paint with its events.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <unistd.h>

#include "calendar/views.h"
#include "events/internal.h"
#include "platform/windows.h"
#include "state/state.h"

// A calendar as a busy shared calendar looks after ten years: events over
// 2020 to 2030 in Tokyo, New York (its VTIMEZONE given), UTC and floating
// time, with descriptions. The recurring ones are what such calendars
// hold: weekly meetings and weekday stand-ups that run some months,
// monthly ones for some years, yearly all-day days for ever; about sixty
// of them run in any one month, with exceptions.
static std::string large_calendar()
{
    std::mt19937 random(7);
    auto pick = [&](int n) { return (int)(random() % (unsigned)n); };
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//rkm7500 bench//EN\r\n"
                       "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\nBEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\n"
                       "TZOFFSETTO:-0400\r\nDTSTART:20070311T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
                       "END:DAYLIGHT\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\n"
                       "DTSTART:20071104T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nEND:STANDARD\r\n"
                       "END:VTIMEZONE\r\n";
    const char* zones[] = {";TZID=Asia/Tokyo", ";TZID=America/New_York", "", ""};
    const std::string description(330, 'x');
    char line[512];
    for (int i = 0; i < 10000; i++) {
        const int zone = pick(4), year = 2020 + pick(11), month = 1 + pick(12), day = 1 + pick(28);
        const bool yearly = i % 20 == 0 && (i / 20) % 4 == 0;  // 125 of the 500
        if (yearly)
            std::snprintf(line, sizeof line, "BEGIN:VEVENT\r\nUID:event-%d@bench\r\nDTSTAMP:20260101T000000Z\r\n"
                          "DTSTART;VALUE=DATE:%04d%02d%02d\r\nRRULE:FREQ=YEARLY\r\n", i, year - 10, month, day);
        else
            std::snprintf(line, sizeof line, "BEGIN:VEVENT\r\nUID:event-%d@bench\r\nDTSTAMP:20260101T000000Z\r\n"
                          "DTSTART%s:%04d%02d%02dT%02d%02d00%s\r\nDURATION:PT%dM\r\n",
                          i, zones[zone], year, month, day, pick(24), 15 * pick(4), zone == 3 ? "Z" : "",
                          30 + 30 * pick(4));
        text += line;
        if (i % 20 == 0 && !yearly) {
            const int until = year + (month + 3 + pick(10)) / 12;
            const char* rules[] = {"FREQ=WEEKLY;UNTIL=%04d%02d28T000000Z", "FREQ=WEEKLY;BYDAY=MO,WE,FR;COUNT=40",
                                   "FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR;UNTIL=%04d%02d01T000000Z",
                                   "FREQ=MONTHLY;BYDAY=3TH;UNTIL=%04d%02d01T000000Z"};
            const int kind = pick(4);
            std::snprintf(line, sizeof line, rules[kind], kind == 3 ? until + 2 : until, 1 + (month + 5) % 12);
            text += std::string("RRULE:") + line + "\r\nEXDATE:20270105T090000Z\r\n";
        }
        text += "SUMMARY:予定 " + std::to_string(i) + " Meeting with the team\r\nDESCRIPTION:" + description +
                "\r\nLOCATION:会議室 " + std::to_string(pick(9)) + "\r\nEND:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

static const std::string& calendar_text()
{
    static const std::string text = large_calendar();
    return text;
}

static void read_large_calendar(benchmark::State& state)
{
    setenv("TZ", "Asia/Tokyo", 1);
    EvReason reason;
    for (auto _ : state)
        benchmark::DoNotOptimize(ev_read_calendar(calendar_text(), &reason));
    state.counters["MB"] = calendar_text().size() / 1e6;
}
BENCHMARK(read_large_calendar)->Unit(benchmark::kMillisecond);

// One month (December 2026) of every event, recurring ones expanded.
static void expand_one_month(benchmark::State& state)
{
    setenv("TZ", "Asia/Tokyo", 1);
    EvReason reason;
    const auto calendar = ev_read_calendar(calendar_text(), &reason);
    const long long first = ev_day_number(2026, 12, 1), last = ev_day_number(2026, 12, 31);
    std::vector<EvOccurrence> found;
    for (auto _ : state) {
        found.clear();
        ev_expand(*calendar, first, last, &found);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["occurrences"] = (double)found.size();
}
BENCHMARK(expand_one_month)->Unit(benchmark::kMillisecond);

// 500 weekly and weekday events that all run in the month shown: about
// 2,400 instances, far more than a month's cells can show.
static void expand_month_all_recurring(benchmark::State& state)
{
    setenv("TZ", "Asia/Tokyo", 1);
    std::string text = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 500; i++)
        text += "BEGIN:VEVENT\r\nUID:r" + std::to_string(i) + "\r\nDTSTART;TZID=America/New_York:202" +
                std::to_string(i % 6) + "0106T" + (i % 2 ? "09" : "17") + "0000\r\nDURATION:PT1H\r\nRRULE:" +
                (i % 3 ? "FREQ=WEEKLY;BYDAY=MO,WE,FR" : "FREQ=DAILY") + "\r\nSUMMARY:r\r\nEND:VEVENT\r\n";
    EvReason reason;
    const auto calendar = ev_read_calendar(text + "END:VCALENDAR\r\n", &reason);
    std::vector<EvOccurrence> found;
    for (auto _ : state) {
        found.clear();
        ev_expand(*calendar, ev_day_number(2026, 12, 1), ev_day_number(2026, 12, 31), &found);
    }
    state.counters["occurrences"] = (double)found.size();
}
BENCHMARK(expand_month_all_recurring)->Unit(benchmark::kMillisecond);

// The large month's whole paint, with no calendar (0) and with three
// events a day of three calendars (1): the events may cost half a paint.
static void paint_large_month(benchmark::State& state)
{
    setenv("TZ", "Asia/Tokyo", 1);
    char folder[] = "/tmp/rkm-bench-XXXXXX";
    std::vector<std::string> files;
    if (state.range(0) && mkdtemp(folder))
        for (int source = 0; source < 3; source++) {
            std::string text = "BEGIN:VCALENDAR\r\n";
            for (int day = 1; day <= 30; day++) {
                char line[256];
                std::snprintf(line, sizeof line, "BEGIN:VEVENT\r\nUID:%d-%d\r\nDTSTART:202611%02dT%02d0000\r\n"
                              "DURATION:PT1H\r\nSUMMARY:打ち合わせ %d (meeting)\r\nEND:VEVENT\r\n",
                              source, day, day, 9 + 3 * source, day);
                text += line;
            }
            files.push_back(std::string(folder) + "/" + std::to_string(source) + ".ics");
            FILE* f = std::fopen(files.back().c_str(), "w");
            std::fputs((text + "END:VCALENDAR\r\n").c_str(), f);
            std::fclose(f);
        }
    ev_start(ev_read_list("", files), nullptr, nullptr);
    ev_wait_first_round();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 1024, 768);
    HGDIOBJ old = SelectObject(dc, bitmap);
    iBcol = 0xFFFFFF;
    for (auto _ : state)
        RKM_CALEN1_PROC(dc, 2026, 11);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ev_stop();
    for (const std::string& f : files)
        std::remove(f.c_str());
    if (!files.empty())
        rmdir(folder);
}
BENCHMARK(paint_large_month)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
