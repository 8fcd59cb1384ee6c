// The events the notes are made of, inside almanac/: the JST days of the
// Moon's phases and of the Sun's arrival at the longitudes the notes use,
// each computed once per process, and the months of the old calendar built
// from them. Days are day numbers (almanac/astro.h).
//
// Every event is found with the fast ephemeris; one that falls so near a
// JST midnight that the fast ephemeris could put it on the wrong day (10
// minutes for the Sun, 2 for the Moon) is settled with the full one, so
// its day is the full ephemeris's everywhere.
#pragma once

// Years whose events can be asked for: the notes' years with room around
// them for the old calendar's months.
enum { ALM_EVENT_FIRST_YEAR = 1870, ALM_EVENT_LAST_YEAR = 2103 };

/* The Moon. Quarter 4k + p is phase p (0 new moon, 1 first quarter, 2 full
   moon, 3 last quarter) of lunation k; lunation 0 begins with the new moon
   of 6 January 2000. */
double alm_quarter_time(int quarter);  // Julian date (UT)
int alm_quarter_day(int quarter);
// The quarter whose mean instant lies nearest the middle of a day.
int alm_quarter_near(int day);

/* The Sun. `degrees` is a multiple of 15 or one of 27, 80, 100, 117, 207
   and 297: the longitudes of the notes, each reached once in every
   Gregorian year (none of them near 1 January). */
double alm_sun_time(int degrees, int year);  // Julian date (UT)
int alm_sun_day(int degrees, int year);
// The day of the Sun's mean arrival, within three days of alm_sun_day.
int alm_sun_mean_day(int degrees, int year);

/* The old calendar */
struct AlmMonth {
    int lunation;  // the month from the day of this lunation's new moon
    int number;    // 1 to 12
    bool leap;
};
// The old month a day belongs to.
AlmMonth alm_month_of(int day);
