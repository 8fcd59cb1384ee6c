// Day numbers of the proleptic Gregorian calendar, and the machine's wall
// clock.
#include <ctime>

#include "events/internal.h"

// Days from 1970-01-01; valid for every year from 1 to 9999 (and beyond).
long long ev_day_number(int year, int month, int day)
{
    const long long y = month <= 2 ? year - 1 : year;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long year_of_era = y - era * 400;
    const long long day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

void ev_civil(long long day_number, int* year, int* month, int* day)
{
    const long long z = day_number + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long day_of_era = z - era * 146097;
    const long long year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const long long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const long long mp = (5 * day_of_year + 2) / 153;
    *day = (int)(day_of_year - (153 * mp + 2) / 5 + 1);
    *month = (int)(mp < 10 ? mp + 3 : mp - 9);
    *year = (int)(year_of_era + era * 400 + (*month <= 2 ? 1 : 0));
}

long long ev_local_minutes(long long utc_seconds)
{
    const time_t t = (time_t)utc_seconds;
    std::tm local{};
    if (!localtime_r(&t, &local))
        return utc_seconds / 60;
    return ev_day_number(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * EV_DAY_MINUTES +
           local.tm_hour * 60 + local.tm_min;
}
