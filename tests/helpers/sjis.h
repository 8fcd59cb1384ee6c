// Shift-JIS texts for tests, converted from UTF-8 by the C library's iconv,
// so that expected bytes do not come from the tables under test.
#pragma once

#include <string>

std::string to_sjis(const std::string& utf8);
