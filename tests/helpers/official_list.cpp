#include "tests/helpers/official_list.h"

#include <fstream>
#include <sstream>

#include "tests/helpers/sjis.h"

OfficialDays published_days(bool as_shown)
{
    OfficialDays days;
    std::ifstream in(std::string(RKM_TEST_DATA) + "/jp_holidays_1955_2030.txt");
    for (std::string line; std::getline(in, line);)
        if (line[0] != '#') {
            std::istringstream fields(line);
            std::string date, kind, name;
            fields >> date >> kind >> name;
            const int key = std::stoi(date.substr(0, 4) + date.substr(5, 2) + date.substr(8));
            days[key] = as_shown ? name : kind != "holiday" ? "休日" : key == 20190501 || key == 20191022 ? "休日（祝日扱い）"
                        : key == 20191014 ? "体育の日（スポーツの日）" : name;
        }
    return days;
}

std::string official_file(const OfficialDays& days)
{
    std::string text = "国民の祝日・休日月日,国民の祝日・休日名称\r\n";
    for (const auto& [key, name] : days)
        text += std::to_string(key / 10000) + "/" + std::to_string(key / 100 % 100) + "/" + std::to_string(key % 100) + "," + name + "\r\n";
    return to_sjis(text);
}
