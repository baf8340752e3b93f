#include "settings/value_lists.h"

#include <cstdio>

namespace lumbra {

int32_t listIndexOrNone(std::span<const ListItem> list, int32_t index) {
    return index >= 0 && size_t(index) < list.size() ? index : -1;
}

int listValue(std::span<const ListItem> list, int32_t index, int fallback) {
    return listIndexOrNone(list, index) < 0 ? fallback : list[size_t(index)].value;
}

float oggQualityValue(int q) {
    // The shown value and the encoder's quality both come from this running sum; a product
    // q * 0.05f rounds differently at some steps.
    float value = 0.0f;
    for (int i = 0; i < q && i < kOggQualitySteps; ++i) value += 0.05f;
    return value;
}

int oggQualityKbps(int q) {
    return q >= 0 && q < kOggQualitySteps ? kOggNominalKbps[size_t(q)] : 0;
}

std::string oggQualityText(int q) {
    char text[48];
    std::snprintf(text, sizeof text, "%.02f (%d kbps)", double(oggQualityValue(q)),
                  oggQualityKbps(q));
    return text;
}

WmaRateChoice wmaRatesForBitrate(int kbps) {
    switch (kbps) {
        case 6:
            return {{"8000Hz"}, {8000, 8000, 8000}};
        case 20:
            return {{"16000Hz", "22050Hz", "32000Hz"}, {16000, 22050, 32000}};
        case 32:
            return {{"22050Hz", "32000Hz", "44100Hz"}, {22050, 32000, 44100}};
        case 48:
            return {{"32000Hz", "44100Hz"}, {32000, 44100, 44100}};
        case 56:
        case 64:
        case 96:
            return {{"44100Hz"}, {44100, 44100, 44100}};
        case 128:
        case 160:
            return {{"44100Hz", "48000Hz"}, {44100, 48000, 48000}};
        default:
            return {};
    }
}

}  // namespace lumbra
