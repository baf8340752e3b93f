// The fixed lists behind every stored index: the value each position means and the text the
// settings pages show for it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

struct ListItem {
    int value;
    std::string_view text;
};

inline constexpr std::array<ListItem, 3> kWavSampleRates{
    {{32000, "32000 Hz"}, {44100, "44100 Hz"}, {48000, "48000 Hz"}}};
inline constexpr std::array<ListItem, 2> kWavChannels{{{1, "单声道"}, {2, "立体声"}}};
inline constexpr std::array<ListItem, 2> kWavSampleSizes{{{8, "8 位"}, {16, "16 位"}}};

inline constexpr std::array<ListItem, 3> kMp3SampleRates = kWavSampleRates;
// Values are the encoder library's mode codes in list order: mono, stereo, joint stereo.
inline constexpr std::array<ListItem, 3> kMp3ChannelModes{
    {{0, "单声道"}, {1, "立体声"}, {2, "联合立体声"}}};
inline constexpr std::array<ListItem, 14> kMp3Bitrates{{{32, "32 kbps"},
                                                        {40, "40 kbps"},
                                                        {48, "48 kbps"},
                                                        {56, "56 kbps"},
                                                        {64, "64 kbps"},
                                                        {80, "80 kbps"},
                                                        {96, "96 kbps"},
                                                        {112, "112 kbps"},
                                                        {128, "128 kbps"},
                                                        {160, "160 kbps"},
                                                        {192, "192 kbps"},
                                                        {224, "224 kbps"},
                                                        {256, "256 kbps"},
                                                        {320, "320 kbps"}}};
// The value is the encoder library's preset code, passed on unchanged.
inline constexpr std::array<ListItem, 13> kMp3QualityPresets{{{0, "标准"},
                                                              {1, "低"},
                                                              {2, "高"},
                                                              {3, "声音"},
                                                              {4, "R3mix"},
                                                              {5, "极高"},
                                                              {6, "一般"},
                                                              {7, "良好"},
                                                              {8, "优秀"},
                                                              {9, "极好"},
                                                              {10, "完美"},
                                                              {11, "ABR"},
                                                              {12, "CBR"}}};
inline constexpr std::array<ListItem, 10> kMp3VbrQualities{{{0, "Q0"},
                                                            {1, "Q1"},
                                                            {2, "Q2"},
                                                            {3, "Q3"},
                                                            {4, "Q4"},
                                                            {5, "Q5"},
                                                            {6, "Q6"},
                                                            {7, "Q7"},
                                                            {8, "Q8"},
                                                            {9, "Q9"}}};

inline constexpr std::array<ListItem, 2> kOggSampleRates{
    {{44100, "44100 Hz"}, {48000, "48000 Hz"}}};
inline constexpr std::array<ListItem, 3> kOggChannels{{{1, "单声道"}, {2, "立体声"}, {6, "5.1"}}};
inline constexpr std::array<ListItem, 5> kOggBitrates{{{128, "128 kbps"},
                                                       {160, "160 kbps"},
                                                       {192, "192 kbps"},
                                                       {256, "256 kbps"},
                                                       {350, "350 kbps"}}};
inline constexpr int kOggQualitySteps = 21;  // quality index 0..20
inline constexpr std::array<int, kOggQualitySteps> kOggNominalKbps{
    58,  73,  81,  85,  90,  95,  104, 114, 127, 141, 155,
    169, 183, 196, 210, 225, 245, 274, 317, 382, 477};

inline constexpr std::array<ListItem, 9> kWmaBitrates{{{6, "6 kbps"},
                                                       {20, "20 kbps"},
                                                       {32, "32 kbps"},
                                                       {48, "48 kbps"},
                                                       {56, "56 kbps"},
                                                       {64, "64 kbps"},
                                                       {96, "96 kbps"},
                                                       {128, "128 kbps"},
                                                       {160, "160 kbps"}}};

// libFLAC's presets, from fastest (0) to smallest (8).
inline constexpr std::array<ListItem, 9> kFlacLevels{{{0, "0 (最快)"},
                                                      {1, "1"},
                                                      {2, "2"},
                                                      {3, "3"},
                                                      {4, "4"},
                                                      {5, "5 (默认)"},
                                                      {6, "6"},
                                                      {7, "7"},
                                                      {8, "8 (最小)"}}};

// Opus target rates; the encoder's VBR keeps the average near the chosen one.
inline constexpr std::array<ListItem, 8> kOpusBitrates{{{32, "32 kbps"},
                                                        {48, "48 kbps"},
                                                        {64, "64 kbps"},
                                                        {96, "96 kbps"},
                                                        {128, "128 kbps"},
                                                        {160, "160 kbps"},
                                                        {192, "192 kbps"},
                                                        {256, "256 kbps"}}};

// `index` when it names an item of `list`, else -1 (what a list box without selection reads).
int32_t listIndexOrNone(std::span<const ListItem> list, int32_t index);

// The value at `index`, or `fallback` when the index is outside the list.
int listValue(std::span<const ListItem> list, int32_t index, int fallback);

// q × 0.05 as the single-precision sum of 0.05 added q times to 0.0.
float oggQualityValue(int q);
// The nominal bitrate of quality step q (0..20), 0 outside.
int oggQualityKbps(int q);
// The quality text beside the slider, "0.45 (141 kbps)".
std::string oggQualityText(int q);

// The sample rates offered for a WMA bitrate: the shown items and the three-slot table that a
// stored WMA sample index picks from. Both are empty (zero) for a bitrate that is not offered.
struct WmaRateChoice {
    std::vector<std::string_view> items;
    std::array<int, 3> rates{};
};
WmaRateChoice wmaRatesForBitrate(int kbps);

}  // namespace lumbra
