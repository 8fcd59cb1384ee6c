// The months of the old calendar.
//
// A month begins on the JST day of a new moon and ends the day before the
// next one. The months holding the winter solstice (冬至) are 11th months,
// and the months from one of them to the next are numbered on from 11 in
// order. When there are thirteen, the first that holds no principal term
// (中気: the Sun at a multiple of 30 degrees) is a leap month and takes the
// number of the month before it. A month holds a term when the term's JST
// day lies in it: a term on the day of a new moon belongs to the month that
// begins there.
//
// Wherever the old rules can all hold at once (each month numbered by the
// principal term it holds, a month without one the leap month of the month
// before it, the months of the equinoxes and solstices 2, 5, 8 and 11), this
// numbering is theirs. Where they cannot, as from autumn 2033 to spring
// 2034, the winter solstice keeps its 11th month and the leap month is the
// first one after it without a principal term: 閏11月 from 22 December 2033.
#include <cassert>
#include <cstddef>
#include <vector>

#include "almanac/astro.h"
#include "almanac/events.h"

static int new_moon_day(int lunation)
{
    return alm_quarter_day(4 * lunation);
}

// The lunation whose month holds `day`.
static int lunation_of(int day)
{
    int quarter = alm_quarter_near(day);
    int k = quarter >= 0 ? quarter / 4 : -((3 - quarter) / 4);
    while (new_moon_day(k) > day)
        k--;
    while (new_moon_day(k + 1) <= day)
        k++;
    return k;
}

// The principal terms after the winter solstice of a year fall in the next
// year: term i (1 大寒 to 11 小雪) at 270 + 30i degrees.
static int principal_term_day(int i, int year)
{
    return alm_sun_day((270 + 30 * i) % 360, year);
}

// The first month after `solstice_month` (the month holding the winter
// solstice of `year`) that holds no principal term.
static int first_without_principal_term(int solstice_month, int year)
{
    int term = 1;
    for (int k = solstice_month + 1;; k++) {
        const int begins = new_moon_day(k);
        while (term <= 11 && principal_term_day(term, year + 1) < begins)
            term++;
        if (term > 11 || principal_term_day(term, year + 1) >= new_moon_day(k + 1))
            return k;
    }
}

// The months from the one holding the winter solstice of a year up to the
// one holding the next solstice.
struct SolsticeYear {
    bool known;
    int first;   // lunation of the first month, an 11th month
    int months;  // 12 or 13
    int leap;    // lunation of the leap month when there are 13
};

static SolsticeYear& solstice_year(int year)
{
    static std::vector<SolsticeYear> kept(ALM_EVENT_LAST_YEAR - ALM_EVENT_FIRST_YEAR);
    assert(year >= ALM_EVENT_FIRST_YEAR && year < ALM_EVENT_LAST_YEAR && "year outside the years kept");
    SolsticeYear& s = kept[(size_t)(year - ALM_EVENT_FIRST_YEAR)];
    if (!s.known) {
        s.first = lunation_of(alm_sun_day(270, year));
        s.months = lunation_of(alm_sun_day(270, year + 1)) - s.first;
        assert((s.months == 12 || s.months == 13) && "a year of 12 or 13 lunations");
        s.leap = s.months == 13 ? first_without_principal_term(s.first, year) : s.first + s.months;
        s.known = true;
    }
    return s;
}

AlmMonth alm_month_of(int day)
{
    const int k = lunation_of(day);
    int year, month, date;
    alm_civil_date(day, &year, &month, &date);
    const SolsticeYear& s = solstice_year(k >= solstice_year(year).first ? year : year - 1);
    const int offset = k - s.first - (k >= s.leap ? 1 : 0);
    return {k, (10 + offset) % 12 + 1, k == s.leap};
}
