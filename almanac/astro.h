// The Sun and the Moon as the notes need them, inside almanac/: the time
// scales, the day numbers of Japan Standard Time, and the instants at which
// the Sun's apparent longitude or the Moon's elongation from the Sun reach
// an angle. Instants are Julian dates in Universal Time.
#pragma once

/* Days. A day number is the Julian day number of a civil date (proleptic
   Gregorian); weekday (day + 1) % 7, 0 Sunday. */
int alm_day_number(int year, int month, int day);
void alm_civil_date(int day_number, int* year, int* month, int* day);
// The day number of the JST (UTC+9) date an instant falls on.
int alm_jst_day(double jd_ut);
// Seconds from that instant to the nearer JST midnight.
double alm_seconds_from_midnight(double jd_ut);

/* Time scales */
// TT - UT1 in seconds at a Julian date (UT).
double alm_delta_t(double jd_ut);

/* Events. Each solver starts from a guess within a few days of the event
   and returns the instant nearest to it, computed with the planetary
   theory's Earth-Moon barycentre for the Earth: within 4 minutes of the
   full ephemeris for the Sun's longitudes, 20 seconds for the Moon's
   phases. Settling brings such an instant to the full ephemeris's. */
// The Sun's apparent geocentric ecliptic longitude (true equinox and ecliptic
// of date) reaches `degrees`.
double alm_sun_reaches(double degrees, double jd_ut_guess);
double alm_sun_settle(double degrees, double jd_ut);
// The Moon's apparent longitude less the Sun's reaches `degrees` (0 new moon,
// 90 first quarter, 180 full moon, 270 last quarter).
double alm_moon_reaches(double degrees, double jd_ut_guess);
double alm_moon_settle(double degrees, double jd_ut);
