#!/usr/bin/env bash
# Writes jp_holidays_1955_2030.txt beside this script: every day off that the
# national holidays law gave from 1955 to 2030, with its kind and its name.
#
# Sources, two npm packages that carry published lists rather than rules:
#   japanese-public-holidays 3.2.38  the Cabinet Office's list of national
#                                    holidays (syukujitsu.csv), 1955 to 2026
#   @holiday-jp/holiday_jp 2.5.1     the holiday_jp project's list, 1970 to 2050,
#                                    which names substitute days "... 振替休日"
# Both must agree on every date from 1970 to 2026, or nothing is written.
# Kinds: "holiday" a national holiday (one-off days included), "substitute" a
# substitute holiday, "citizens" a day between two national holidays. The
# Cabinet Office list calls both of the last two "休日"; the kind is taken from
# holiday_jp, and before 1970 the script checks that no such day exists.
# Names: the Cabinet Office's (holiday_jp's after 2026; both must agree), 振替休日
# and 休日 by kind, and the law's own name for three days the Cabinet Office
# labels otherwise in 2019 (lawNames, each label checked).
#
# Needs node and npm and the npm registry; run it by hand, the tests only read
# the file it writes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
npm init -y >/dev/null
npm install --no-audit --no-fund --silent \
  japanese-public-holidays@3.2.38 @holiday-jp/holiday_jp@2.5.1 >/dev/null
cat >make.js <<'JS'
const fs = require("fs");
const cabinet = {};
for (const line of fs.readFileSync("node_modules/japanese-public-holidays/index.csv", "utf8").split("\n").slice(1)) {
  const [date, name] = line.trim().split(",");
  if (date) cabinet[date] = name;
}
const hjp = require("@holiday-jp/holiday_jp").holidays;
const fail = (why) => { console.error(why); process.exit(1); };
const kindOf = (name) => name === "休日" ? "citizens" : name.endsWith("振替休日") ? "substitute" : "holiday";
const inRange = (d, a, b) => d >= a && d <= b;
const cabDates = Object.keys(cabinet).filter(d => inRange(d, "1955-01-01", "2030-12-31")).sort();
const hjpDates = Object.keys(hjp).filter(d => inRange(d, "1955-01-01", "2030-12-31")).sort();
if (cabDates[0] !== "1955-01-01" || cabDates[cabDates.length - 1] < "2026-11-23") fail("cabinet list does not cover 1955-2026");
for (const d of cabDates) if (d >= "1970-01-01" && !hjp[d]) fail("only in cabinet list: " + d);
for (const d of hjpDates) if (d <= "2026-12-31" && !cabinet[d]) fail("only in holiday_jp: " + d);
const lawNames = {
  "2019-05-01": ["休日（祝日扱い）", "天皇の即位の日"],
  "2019-10-22": ["休日（祝日扱い）", "即位礼正殿の儀"],
  "2019-10-14": ["体育の日（スポーツの日）", "体育の日"],
};
const nameOf = (d, kind, listed) => {
  if (kind !== "holiday") return kind === "substitute" ? "振替休日" : "休日";
  if (lawNames[d] && listed !== lawNames[d][0]) fail("unexpected label on " + d + ": " + listed);
  return lawNames[d] ? lawNames[d][1] : listed;
};
const out = ["# Days off under Japan's national holidays law, 1955-2030: date, kind",
  "# (holiday, substitute, citizens) and name. Cabinet Office list 1955-2026 (npm",
  "# japanese-public-holidays 3.2.38), holiday_jp 2.5.1 for 2027-2030 and for the",
  "# kinds; written by tests/data/make_jp_holidays.sh."];
const line = (d, kind, listed) => out.push(d + " " + kind + " " + nameOf(d, kind, listed));
for (const d of cabDates) {
  if (d < "1970-01-01") {
    if (cabinet[d] === "休日") fail("unexpected 休日 before 1970: " + d);
    line(d, "holiday", cabinet[d]);
    continue;
  }
  const kind = kindOf(hjp[d].name);
  if (kind === "holiday" && hjp[d].name !== cabinet[d]) fail("names differ on " + d);
  line(d, kind, cabinet[d]);
}
for (const d of hjpDates) if (d > "2026-12-31") line(d, kindOf(hjp[d].name), hjp[d].name);
fs.writeFileSync(process.argv[2], out.join("\n") + "\n");
JS
node make.js "$here/jp_holidays_1955_2030.txt"
echo "wrote $here/jp_holidays_1955_2030.txt"
