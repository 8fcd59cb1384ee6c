// The Moon's quarters and the Sun's longitudes, each found once per process
// and kept, so that a month, a year or the whole range asks the ephemeris
// only for what it has not seen.
#include "almanac/events.h"

#include <cassert>
#include <cmath>
#include <vector>

#include "almanac/astro.h"

static const double SYNODIC_MONTH = 29.530588861;
static const double LUNATION_0 = 2451550.098;    // the mean new moon of 6 January 2000
static const double TROPICAL_YEAR = 365.2422;
static const double EQUINOX_2000 = 2451623.816;  // the March equinox of 2000
static const double SETTLE_SUN_SECONDS = 600;
static const double SETTLE_MOON_SECONDS = 120;

// Instants kept by index; NaN until computed.
struct Kept {
    std::vector<double> times;
    int first;
    double* at(int index)
    {
        assert(index >= first && index - first < (int)times.size() && "event outside the years kept");
        return &times[(size_t)(index - first)];
    }
};

static Kept make_kept(int first, int last)
{
    return {std::vector<double>((size_t)(last - first + 1), NAN), first};
}

static int floor_div(double x)
{
    return (int)std::floor(x);
}

/* The Moon */

static Kept& quarters()
{
    static Kept kept = make_kept(
        4 * floor_div((alm_day_number(ALM_EVENT_FIRST_YEAR, 1, 1) - LUNATION_0) / SYNODIC_MONTH),
        4 * floor_div((alm_day_number(ALM_EVENT_LAST_YEAR + 1, 1, 1) - LUNATION_0) / SYNODIC_MONTH) + 4);
    return kept;
}

double alm_quarter_time(int quarter)
{
    double* t = quarters().at(quarter);
    if (std::isnan(*t)) {
        const double degrees = 90.0 * (quarter & 3);
        double found = alm_moon_reaches(degrees, LUNATION_0 + quarter * SYNODIC_MONTH / 4);
        if (alm_seconds_from_midnight(found) < SETTLE_MOON_SECONDS)
            found = alm_moon_settle(degrees, found);
        *t = found;
    }
    return *t;
}

int alm_quarter_day(int quarter)
{
    return alm_jst_day(alm_quarter_time(quarter));
}

int alm_quarter_near(int day)
{
    return (int)std::lround((day - LUNATION_0) / (SYNODIC_MONTH / 4));
}

/* The Sun */

// The longitudes kept: the 24 multiples of 15 degrees, then the others the
// notes use.
static const int OTHER_LONGITUDES[] = {27, 80, 100, 117, 207, 297};
static const int LONGITUDES_KEPT = 24 + (int)(sizeof OTHER_LONGITUDES / sizeof OTHER_LONGITUDES[0]);

static int longitude_slot(int degrees)
{
    if (degrees % 15 == 0)
        return degrees / 15;
    for (int i = 0; i < LONGITUDES_KEPT - 24; i++)
        if (OTHER_LONGITUDES[i] == degrees)
            return 24 + i;
    assert(!"a longitude the notes do not use");
    return 0;
}

static Kept& longitudes()
{
    static Kept kept = make_kept(ALM_EVENT_FIRST_YEAR * LONGITUDES_KEPT,
                                 (ALM_EVENT_LAST_YEAR + 1) * LONGITUDES_KEPT - 1);
    return kept;
}

// The mean instant of the Sun at `degrees` in the Gregorian year `year`:
// within three days of the true one.
static double sun_mean_time(int degrees, int year)
{
    const double after_equinox = degrees * TROPICAL_YEAR / 360;
    const double years = std::floor((alm_day_number(year, 1, 1) - EQUINOX_2000 - after_equinox) /
                                    TROPICAL_YEAR) + 1;
    return EQUINOX_2000 + after_equinox + years * TROPICAL_YEAR;
}

double alm_sun_time(int degrees, int year)
{
    double* t = longitudes().at(year * LONGITUDES_KEPT + longitude_slot(degrees));
    if (std::isnan(*t)) {
        double found = alm_sun_reaches(degrees, sun_mean_time(degrees, year));
        if (alm_seconds_from_midnight(found) < SETTLE_SUN_SECONDS)
            found = alm_sun_settle(degrees, found);
        *t = found;
    }
    return *t;
}

int alm_sun_day(int degrees, int year)
{
    return alm_jst_day(alm_sun_time(degrees, year));
}

int alm_sun_mean_day(int degrees, int year)
{
    return alm_jst_day(sun_mean_time(degrees, year));
}
