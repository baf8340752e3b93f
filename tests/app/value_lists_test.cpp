#include "app/value_lists.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

TEST(ValueLists, OggQualityTextsAtTheSlidersEndsAndDefault) {
    EXPECT_EQ(oggQualityText(0), "0.00 (58 kbps)");
    EXPECT_EQ(oggQualityText(9), "0.45 (141 kbps)");
    EXPECT_EQ(oggQualityText(20), "1.00 (477 kbps)");
    EXPECT_EQ(oggQualityKbps(21), 0);
    EXPECT_EQ(oggQualityKbps(-1), 0);
}

TEST(ValueLists, OggQualityIsTheRunningSingleRecisionSum) {
    // The encoder receives exactly what the slider shows; the repeated sum drifts from q * 0.05.
    EXPECT_FLOAT_EQ(oggQualityValue(9), 0.45f);
    EXPECT_NE(oggQualityValue(20), 20 * 0.05f);
    EXPECT_EQ(oggQualityValue(20), 1.0000001f);
}

TEST(ValueLists, WmaRatesFollowTheBitrate) {
    EXPECT_EQ(wmaRatesForBitrate(6).items, (std::vector<std::string_view>{"8000Hz"}));
    EXPECT_EQ(wmaRatesForBitrate(160).items, (std::vector<std::string_view>{"44100Hz", "48000Hz"}));
    EXPECT_EQ(wmaRatesForBitrate(48).rates, (std::array<int, 3>{32000, 44100, 44100}));
    EXPECT_TRUE(wmaRatesForBitrate(100).items.empty());
}

}  // namespace
}  // namespace lumbra
