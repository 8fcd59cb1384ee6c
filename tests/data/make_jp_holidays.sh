#!/usr/bin/env bash
# Writes jp_holidays_1955_2030.txt beside this script: every day off under
# the national holidays law, 1955 to 2030, with its kind and name, from two
# published lists (npm): japanese-public-holidays 3.2.38 (the Cabinet Office's
# syukujitsu.csv, 1955-2026) and @holiday-jp/holiday_jp 2.5.1 (1970-2050).
# They must agree on every date of 1970-2026. Kinds (holiday, substitute,
# citizens) come from holiday_jp; names from the Cabinet Office, with the law's
# own name for three days of 2019 it labels otherwise (lawNames).
# Run by hand (needs node and npm); the tests only read the file it writes.
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
