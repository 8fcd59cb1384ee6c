// The traditional notes of a Japanese wall calendar (暦注) for the days from
// 1 January 1873 to 31 December 2100, computed from the Sun and the Moon:
// the date in the old lunisolar calendar, the 六曜, the 24 solar terms, the
// 雑節 and the Moon's four phases. Days are Gregorian dates in Japan
// Standard Time; names are UTF-8.
//
// Solar terms are the days on which the Sun's apparent longitude reaches a
// multiple of 15 degrees; phases the days on which the Moon's apparent
// longitude less the Sun's reaches 0, 90, 180 or 270 degrees. An old month
// begins on the day of a new moon and is numbered by the principal term it
// holds (the rule for the years where the old rules conflict is stated in
// almanac/old_calendar.cpp).
//
// Each event is computed once per process and kept: a month costs little
// once the months around it have been asked for, and a long range is
// cheapest asked for in one call. What is kept is not locked: call from one
// thread (the window's) only.
#pragma once

#include <string>

enum { ALM_FIRST_YEAR = 1873, ALM_LAST_YEAR = 2100 };
enum { ALM_NONE = -1 };

// The 六曜, (old month + old day) mod 6.
enum { ALM_TAIAN, ALM_SHAKKO, ALM_SENSHO, ALM_TOMOBIKI, ALM_SENBU, ALM_BUTSUMETSU };
// The Moon's phases.
enum { ALM_NEW_MOON, ALM_FIRST_QUARTER, ALM_FULL_MOON, ALM_LAST_QUARTER };
// Solar terms are numbered by the Sun's longitude / 15: 0 春分, 3 立夏, 6 夏至,
// 18 冬至, 21 立春 ... 23 啓蟄. The 中気 are the even ones.
enum { ALM_SOLAR_TERMS = 24 };
// The 雑節, one bit each, in the order they are listed.
enum {
    ALM_SETSUBUN = 1 << 0,        // 節分, the day before 立春
    ALM_HIGAN_BEGINS = 1 << 1,    // 彼岸入り, 3 days before an equinox day
    ALM_HIGAN_ENDS = 1 << 2,      // 彼岸明け, 3 days after it
    ALM_EIGHTY_EIGHTH = 1 << 3,   // 八十八夜, 立春 being the first night
    ALM_RAINY_SEASON = 1 << 4,    // 入梅, the Sun at 80 degrees
    ALM_HANGESHO = 1 << 5,        // 半夏生, the Sun at 100 degrees
    ALM_DOYO_BEGINS = 1 << 6,     // 土用入り, the Sun at 297, 27, 117 or 207 degrees
    ALM_DOYO_OX = 1 << 7,         // 土用の丑, an ox day from 土用入り to the day before 立春, 立夏, 立秋 or 立冬
    ALM_TWO_HUNDRED_TENTH = 1 << 8,   // 二百十日
    ALM_TWO_HUNDRED_TWENTIETH = 1 << 9,  // 二百二十日
    ALM_ZASSETSU_KINDS = 10,
};

struct AlmDay {
    bool known;       // false outside the years of the notes: every field below is empty
    int old_month;    // 1 to 12
    int old_day;      // 1 to 30
    bool old_leap;    // a leap month (閏)
    int rokuyo;       // ALM_TAIAN ...
    int solar_term;   // 0 to 23, or ALM_NONE
    unsigned zassetsu;  // ALM_SETSUBUN ... bits, or 0
    int moon;         // ALM_NEW_MOON ..., or ALM_NONE
};

/* The notes */
// `count` days from year-month-day on, into out[0] to out[count - 1]. Days
// outside 1873 to 2100 are not `known`. The date must be a real one.
void alm_days(int year, int month, int day, int count, AlmDay* out);
AlmDay alm_day(int year, int month, int day);
// Whether year-month-day is a date of the Gregorian calendar (2100 has no
// 29 February).
bool alm_is_date(int year, int month, int day);

/* Names and texts, UTF-8; "" for none */
const char* alm_rokuyo_name(int rokuyo);      // "大安"
const char* alm_solar_term_name(int term);    // "春分"
const char* alm_moon_name(int phase);         // "新月"
const char* alm_zassetsu_name(unsigned bit);  // "節分", for one bit
// Every 雑節 of the bits, in the order of the bits, joined by "・".
std::string alm_zassetsu_names(unsigned bits);
// The old date as "閏11/1" (month/day, 閏 before a leap month's number),
// or in words as "閏11月1日".
std::string alm_old_date_text(const AlmDay& day, bool in_words);
