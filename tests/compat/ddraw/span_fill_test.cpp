#include "compat/ddraw/SpanFill.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using compat::ddraw::fillSpan;
using compat::ddraw::repeatedPixel;

// Every start within two vector widths of an aligned boundary and every length up to several
// blocks: the run holds the word's bytes in order from its first byte on, and nothing around it
// changes. Starts that are not a multiple of 4 check that the pattern keeps its phase across the
// aligned middle and the overlapping ends. Each vector width is checked on its own as well, since
// the public call takes only the widest one the processor has.
TEST(SpanFill, RunsOfAnyStartAndLengthHoldThePatternAndNothingElse)
{
    namespace detail = compat::ddraw::span_fill_detail;
    struct Filler {
        const char* name;
        void (*fill)(std::uint8_t*, std::size_t, std::uint32_t);
        std::size_t shortest;
    };
    std::vector<Filler> fillers = {{"dispatch", fillSpan, 0}, {"bytes", detail::fillBytes, 0}};
#if defined(QUARRY_SPAN_FILL_X86)
    fillers.push_back({"16-byte vectors", detail::fillSse2, 32});
    if (detail::hasAvx2())
        fillers.push_back({"32-byte vectors", detail::fillAvx2, 64});
#endif
    const std::uint32_t words[] = {0x11223344u, repeatedPixel(0x07E0, 2), repeatedPixel(0xA5, 1)};
    constexpr std::size_t guard = 64;
    alignas(64) static std::uint8_t buffer[guard + 40 + 300 + guard];
    for (const Filler& filler : fillers)
        for (std::uint32_t word : words)
            for (std::size_t start = 0; start < 40; ++start)
                for (std::size_t length = filler.shortest; length <= 300; ++length) {
                    for (std::size_t i = 0; i < sizeof buffer; ++i)
                        buffer[i] = static_cast<std::uint8_t>(i * 7 + 3);
                    filler.fill(buffer + guard + start, length, word);
                    for (std::size_t i = 0; i < sizeof buffer; ++i) {
                        const std::size_t first = guard + start;
                        const bool inside = i >= first && i < first + length;
                        const auto expected = inside ? static_cast<std::uint8_t>(word >> (8 * ((i - first) % 4)))
                                                     : static_cast<std::uint8_t>(i * 7 + 3);
                        ASSERT_EQ(expected, buffer[i]) << filler.name << std::hex << ", word " << word << std::dec
                                                       << ", start " << start << ", length " << length << ", byte " << i;
                    }
                }
}

#if defined(QUARRY_SPAN_FILL_X86)
// A run long enough for the string store, from an odd start and with an odd length.
TEST(SpanFill, ScreenSizedRunFromAnOddStart)
{
    const std::size_t length = compat::ddraw::span_fill_detail::kStringStoreBytes + 37;
    std::vector<std::uint8_t> buffer(length + 8, 0xEE);
    fillSpan(buffer.data() + 3, length, 0x11223344u);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        const bool inside = i >= 3 && i < 3 + length;
        const auto expected =
            inside ? static_cast<std::uint8_t>(0x11223344u >> (8 * ((i - 3) % 4))) : std::uint8_t{0xEE};
        wrong += buffer[i] != expected;
    }
    EXPECT_EQ(wrong, 0u);
}
#endif

} // namespace
