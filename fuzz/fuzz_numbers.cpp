// BinToAscii on any type, attributes, width, decimals and value, and
// AsciiToSjis on any bytes. The output buffers are exactly as large as the
// routines may write, so a byte too far is an AddressSanitizer report.
#include "fuzz/fuzz_support.h"

#include <cstring>
#include <vector>

#include "support/ghl3000.h"

static void bin_to_ascii(FuzzedDataProvider& in)
{
    static const char* const types[] = {"CH", "SI", "UI", "LN", "UL", "FL", "DB", "XX", ""};
    std::string type = in.ConsumeBool() ? types[in.ConsumeIntegralInRange(0, 8)]
                                        : in.ConsumeRandomLengthString(4);
    std::string attributes = in.ConsumeRandomLengthString(6);
    int width = in.ConsumeIntegralInRange(-2, 82);
    int decimals = in.ConsumeIntegralInRange(-2, 10);
    std::vector<uint8_t> value = in.ConsumeBytes<uint8_t>(8);
    value.resize(8);
    std::vector<char> out(width > 0 && width < 80 ? (size_t)width + 1 : 1, '\x7F');
    int result = BinToAscii(type.c_str(), width, decimals, attributes.c_str(), value.data(), out.data());
    FUZZ_CHECK(result == BTA_OK || result == BTA_TOO_LONG || result == BTA_REFUSED);
    if (result != BTA_OK)
        for (char c : out)
            FUZZ_CHECK(c == '\x7F');  // nothing written
}

static void ascii_to_sjis(FuzzedDataProvider& in)
{
    int terminate = in.ConsumeIntegralInRange(0, 1);
    std::vector<char> source = in.ConsumeRemainingBytes<char>();
    std::vector<char> out(2 * source.size() + (size_t)terminate + 1);
    out.pop_back();  // exactly the bytes written, but never an empty vector's null data
    FUZZ_CHECK(AsciiToSjis(source.data(), out.data(), (int)source.size(), terminate) == 0);
    for (size_t i = 0; i < source.size(); i++)
        FUZZ_CHECK((unsigned char)out[2 * i] >= 0x81);  // a full-width lead byte
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool())
        bin_to_ascii(in);
    else
        ascii_to_sjis(in);
    return 0;
}
