// Text code conversion inside the platform layer: the program's Shift-JIS
// (code page 932) bytes to and from the UTF-8 of the window system.
#pragma once

#include <string>

// Bytes that cannot be converted become '?'; never fails.
std::string plat_sjis_to_utf8(const char* text, size_t length);
// False when some character has no CP932 form; *out is then unchanged.
bool plat_utf8_to_sjis(const char* text, std::string* out);
// Never fails: a character with no CP932 form (or bytes that are not
// UTF-8) shows as '?', every other character is converted.
std::string plat_utf8_to_sjis_or_marks(const std::string& utf8);
