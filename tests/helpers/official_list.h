// The developers' fixture of published holidays written out as the Cabinet
// Office publishes its list (syukujitsu.csv).
#pragma once

#include <map>
#include <string>

using OfficialDays = std::map<int, std::string>;  // yyyymmdd: name as the Office writes it, UTF-8

// The fixture of 1955-2030 in the Office's terms: substitute days and days between two holidays are 休日,
// the one-off days of 2019 休日（祝日扱い）, and 2019-10-14 bears the label the Office gave it. Or, with
// `as_shown`, by the names the calendar shows (振替休日, 天皇の即位の日, 体育の日).
OfficialDays published_days(bool as_shown = false);
// Shift-JIS, CR LF, the header line, then "2026/11/3,文化の日" by date.
std::string official_file(const OfficialDays& days);
