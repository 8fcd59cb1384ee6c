// The Sun and the Moon from ERFA: apparent geocentric longitudes in the
// ecliptic of date, and the instants at which they reach an angle.
//
// The Sun is seen from the Earth with the aberration of the Earth's motion;
// the Moon with the light time from it, the only correction left once the
// Earth's and the Moon's common motion cancel. Both are rotated from the
// celestial reference frame into the mean ecliptic and equinox of date
// (precession); the Sun's longitude then takes the nutation in longitude,
// which the elongation of the Moon from the Sun does not need.
#include "almanac/astro.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>

/* Days */

int alm_day_number(int year, int month, int day)
{
    const int a = (14 - month) / 12, y = year + 4800 - a, m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

void alm_civil_date(int day_number, int* year, int* month, int* day)
{
    const int a = day_number + 32044, b = (4 * a + 3) / 146097, c = a - 146097 * b / 4;
    const int d = (4 * c + 3) / 1461, e = c - 1461 * d / 4, m = (5 * e + 2) / 153;
    *day = e - (153 * m + 2) / 5 + 1;
    *month = m + 3 - 12 * (m / 10);
    *year = 100 * b + d - 4800 + m / 10;
}

// Days since the JST midnight that began the Julian day number's date.
static const double JST_FROM_JD = 0.5 + 9.0 / 24.0;

int alm_jst_day(double jd_ut)
{
    return (int)std::floor(jd_ut + JST_FROM_JD);
}

double alm_seconds_from_midnight(double jd_ut)
{
    const double since = jd_ut + JST_FROM_JD - std::floor(jd_ut + JST_FROM_JD);
    return std::min(since, 1.0 - since) * ERFA_DAYSEC;
}

/* Time scales. UT1 stands for the civil time (UTC) it never leaves by more
   than 0.9 s. */

// TT - UT1 observed at the start of each year 2005 to 2025 (IERS).
static const double OBSERVED_FROM = 2005;
static const double OBSERVED[] = {64.69, 64.85, 65.15, 65.46, 65.78, 66.07, 66.32,
                                  66.60, 66.91, 67.28, 67.64, 68.10, 68.59, 68.97,
                                  69.22, 69.36, 69.36, 69.29, 69.20, 69.18, 69.14};
static const int OBSERVED_YEARS = sizeof OBSERVED / sizeof OBSERVED[0];

// Espenak and Meeus's expressions (NASA, 2006): fits to the observed values
// up to 2005, their extrapolation after it.
static double espenak_meeus(double y)
{
    if (y < 1900) {
        const double t = y - 1860;
        return 7.62 + t * (0.5737 + t * (-0.251754 + t * (0.01680668 +
                                                           t * (-0.0004473624 + t / 233174))));
    }
    if (y < 1920) {
        const double t = y - 1900;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    if (y < 1941) {
        const double t = y - 1920;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + t * (0.407 + t * (-1.0 / 233 + t / 2547));
    }
    if (y < 1986) {
        const double t = y - 1975;
        return 45.45 + t * (1.067 + t * (-1.0 / 260 - t / 718));
    }
    if (y < 2005) {
        const double t = y - 2000;
        return 63.86 + t * (0.3345 + t * (-0.060374 + t * (0.0017275 +
                                                            t * (0.000651814 + t * 0.00002373599))));
    }
    if (y < 2050) {
        const double t = y - 2000;
        return 62.92 + t * (0.32217 + t * 0.005589);
    }
    const double u = (y - 1820) / 100;
    return -20 + 32 * u * u - 0.5628 * (2150 - y);
}

// Fitted values before 2005, observed ones from 2005 to 2025, then the
// extrapolation moved to go on from the last observed value.
double alm_delta_t(double jd_ut)
{
    const double y = 2000 + (jd_ut - ERFA_DJ00) / 365.2425;
    const double last = OBSERVED_FROM + OBSERVED_YEARS - 1;
    if (y < OBSERVED_FROM)
        return espenak_meeus(y);
    if (y >= last)
        return espenak_meeus(y) + OBSERVED[OBSERVED_YEARS - 1] - espenak_meeus(last);
    const int i = (int)(y - OBSERVED_FROM);
    const double f = y - OBSERVED_FROM - i;
    return OBSERVED[i] + f * (OBSERVED[i + 1] - OBSERVED[i]);
}

static double tt_of(double jd_ut)
{
    return jd_ut + alm_delta_t(jd_ut) / ERFA_DAYSEC;
}

static double ut_of(double jd_tt)
{
    return jd_tt - alm_delta_t(jd_tt) / ERFA_DAYSEC;
}

/* Positions */

// An angle in radians and its rate in radians per day.
struct Angle {
    double value;
    double rate;
};

// Everything that turns directions into longitudes at one instant.
struct Frame {
    double tt;
    double to_ecliptic[3][3];  // celestial frame to the mean ecliptic and equinox of date
};

static Frame frame_at(double tt)
{
    Frame f;
    f.tt = tt;
    eraEcm06(ERFA_DJ00, tt - ERFA_DJ00, f.to_ecliptic);
    return f;
}

static void rotate(const double r[3][3], const double p[3], double out[3])
{
    for (int i = 0; i < 3; i++)
        out[i] = r[i][0] * p[0] + r[i][1] * p[1] + r[i][2] * p[2];
}

static double length(const double p[3])
{
    return std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
}

// The longitude of direction `d`, and its rate for position `p` moving at `v`.
static Angle longitude(const Frame& f, const double d[3], const double p[3], const double v[3])
{
    double e[3], q[3], w[3];
    rotate(f.to_ecliptic, d, e);
    rotate(f.to_ecliptic, p, q);
    rotate(f.to_ecliptic, v, w);
    return {std::atan2(e[1], e[0]), (q[0] * w[1] - q[1] * w[0]) / (q[0] * q[0] + q[1] * q[1])};
}

static const double LIGHT_DAYS_PER_AU = ERFA_AULT / ERFA_DAYSEC;

// The Moon: geocentric, at the instant its light left it.
static Angle moon_longitude(const Frame& f, const double moon[2][3])
{
    const double days = length(moon[0]) * LIGHT_DAYS_PER_AU;
    double seen[3];
    for (int i = 0; i < 3; i++)
        seen[i] = moon[0][i] - days * moon[1][i];
    return longitude(f, seen, moon[0], moon[1]);
}

// The Sun from an Earth at heliocentric `earth`, moving at `velocity`
// (au, au/day) through the solar system.
static Angle sun_longitude(const Frame& f, const double earth[2][3], const double velocity[3])
{
    double sun[3], sun_v[3], direction[3], beta[3], seen[3];
    const double distance = length(earth[0]);
    for (int i = 0; i < 3; i++) {
        sun[i] = -earth[0][i];
        sun_v[i] = -earth[1][i];
        direction[i] = sun[i] / distance;
        beta[i] = velocity[i] * LIGHT_DAYS_PER_AU;
    }
    eraAb(direction, beta, distance, std::sqrt(1.0 - eraPdp(beta, beta)), seen);
    return longitude(f, seen, sun, sun_v);
}

static const double EARTH_MOON_MASS_RATIO = 81.3005691;

// Fast: the planetary theory's Earth-Moon barycentre less the Moon's share.
static Angle sun_fast(const Frame& f, const double moon[2][3])
{
    double earth[2][3];
    eraPlan94(ERFA_DJ00, f.tt - ERFA_DJ00, 3, earth);
    for (int i = 0; i < 2; i++)
        for (int j = 0; j < 3; j++)
            earth[i][j] -= moon[i][j] / (1.0 + EARTH_MOON_MASS_RATIO);
    return sun_longitude(f, earth, earth[1]);
}

static Angle sun_full(const Frame& f)
{
    double heliocentric[2][3], barycentric[2][3];
    eraEpv00(ERFA_DJ00, f.tt - ERFA_DJ00, heliocentric, barycentric);
    return sun_longitude(f, heliocentric, barycentric[1]);
}

static void moon_at(const Frame& f, double moon[2][3])
{
    eraMoon98(ERFA_DJ00, f.tt - ERFA_DJ00, moon);
}

static double nutation_in_longitude(double tt)
{
    double dpsi, deps;
    eraNut00b(ERFA_DJ00, tt - ERFA_DJ00, &dpsi, &deps);
    return dpsi;
}

static Angle apparent_sun(double tt, bool full)
{
    const Frame f = frame_at(tt);
    Angle a;
    if (full) {
        a = sun_full(f);
    } else {
        double moon[2][3];
        moon_at(f, moon);
        a = sun_fast(f, moon);
    }
    a.value += nutation_in_longitude(tt);
    return a;
}

static Angle elongation(double tt, bool full)
{
    const Frame f = frame_at(tt);
    double moon[2][3];
    moon_at(f, moon);
    const Angle m = moon_longitude(f, moon), s = full ? sun_full(f) : sun_fast(f, moon);
    return {m.value - s.value, m.rate - s.rate};
}

/* Events */

// Newton's method on an increasing angle toward `target`. The error left
// after a step is about the step squared times the angle's curvature (its
// second derivative over twice its rate): under 3e-4 a day for the Sun,
// 0.015 for the Moon's elongation. A step under `last_step` days thus
// leaves less than a few milliseconds, and ends the search.
template <class F>
static double solve(double target, double tt, double last_step, F angle)
{
    for (int i = 0; i < 12; i++) {
        const Angle a = angle(tt);
        const double step = eraAnpm(target - a.value) / a.rate;
        tt += step;
        if (std::fabs(step) < last_step)
            break;
    }
    return tt;
}

double alm_sun_reaches(double degrees, double jd_ut_guess)
{
    const double target = degrees * ERFA_DD2R;
    return ut_of(solve(target, tt_of(jd_ut_guess), 0.01,
                       [](double tt) { return apparent_sun(tt, false); }));
}

double alm_moon_reaches(double degrees, double jd_ut_guess)
{
    const double target = degrees * ERFA_DD2R;
    return ut_of(solve(target, tt_of(jd_ut_guess), 0.001,
                       [](double tt) { return elongation(tt, false); }));
}

// One Newton step with the full ephemeris: the fast instant is within
// minutes, where the step's own error is far under a millisecond.
double alm_sun_settle(double degrees, double jd_ut)
{
    const double tt = tt_of(jd_ut);
    const Angle a = apparent_sun(tt, true);
    return ut_of(tt + eraAnpm(degrees * ERFA_DD2R - a.value) / a.rate);
}

double alm_moon_settle(double degrees, double jd_ut)
{
    const double tt = tt_of(jd_ut);
    const Angle a = elongation(tt, true);
    return ut_of(tt + eraAnpm(degrees * ERFA_DD2R - a.value) / a.rate);
}
