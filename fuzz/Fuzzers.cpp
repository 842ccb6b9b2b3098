// The libFuzzer targets: each runs one property of tests/support on the
// bytes it is given (FUZZ_TARGET names which); a property that does not
// hold throws, which libFuzzer reports as a finding and keeps the input of.

#include "Properties.h"
#include "Support.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    using namespace quendral::test;
#if FUZZ_TARGET == 0
    checkFieldReader(bytes);
#elif FUZZ_TARGET == 1
    checkLoad(bytes);
#else
    // The last bytes choose the settings and the layout of a well-formed
    // script around the plain lines of the rest.
    if (size < 4)
        return 0;
    std::seed_seq seed(data + size - 4, data + size);
    std::mt19937 random(seed);
    const std::string_view script = bytes.substr(0, size - 4);
    const quendral::CarSettings settings = randomSettings(random);
    checkRewrite(script, settings);
    checkRoundTrip(randomCarScript(random, plainLines(script)), settings);
#endif
    return 0;
}
