// Progress of tracks encoding at once, as a terminal shows it: each track on one line of its own
// while it is in flight, and its end written once above the tracks still going.
#include "cli/progress_printer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "metadata/track_entry.h"
#include "rip/track_status.h"

namespace lumbra::cli {
namespace {

// Plays the bytes of a terminal that has no automatic wrap: \r, \n, cursor up (ESC [ n A),
// clear to the end (ESC [ J); other escapes change nothing on the screen.
std::vector<std::string> screenOf(const std::string& bytes) {
    std::vector<std::string> rows(1);
    size_t row = 0;
    size_t column = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            if (++row == rows.size()) rows.emplace_back();
            column = 0;
        } else if (c == '\033' && i + 1 < bytes.size() && bytes[i + 1] == '[') {
            size_t end = i + 2;
            while (end < bytes.size() && !std::isalpha(static_cast<unsigned char>(bytes[end])))
                ++end;
            const std::string argument = bytes.substr(i + 2, end - i - 2);
            if (bytes[end] == 'A') row -= std::min(row, size_t(std::stoul(argument)));
            if (bytes[end] == 'J') {
                rows[row].resize(column);
                rows.resize(row + 1);
            }
            i = end;
        } else {
            rows[row].resize(std::max(rows[row].size(), column + 1));
            rows[row][column++] = c;
        }
    }
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

TrackEntry track(int32_t number, const char* title) {
    TrackEntry entry;
    entry.number = number;
    entry.title = title;
    return entry;
}

class Progress : public ::testing::Test {
protected:
    ~Progress() override { std::fclose(out); }

    static void post(ProgressPrinter& printer, TrackEntry& track, int32_t status) {
        track.status = status;
        printer.post(WM_RIP_PROGRESS, 0, &track);
    }
    std::string written() {
        std::fflush(out);
        std::string bytes(size_t(std::ftell(out)), '\0');
        std::rewind(out);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), out));
        std::fseek(out, 0, SEEK_END);
        return bytes;
    }

    std::FILE* out = std::tmpfile();
    TrackEntry one = track(1, "One"), two = track(2, "Two"), three = track(3, "Three");
};

TEST_F(Progress, OnATerminalEachTrackInFlightHasOneLineAndEndedTracksStayAbove) {
    ProgressPrinter printer{out, true};
    post(printer, one, 10);
    post(printer, two, 5);
    post(printer, one, 40);
    post(printer, two, 30);
    EXPECT_EQ(screenOf(written()),
              (std::vector<std::string>{"TRACK 1  40% One", "TRACK 2  30% Two"}));
    post(printer, two, kTrackDone);
    post(printer, three, 0);
    post(printer, one, 90);
    EXPECT_EQ(screenOf(written()), (std::vector<std::string>{"TRACK 2 done Two", "TRACK 1  90% One",
                                                             "TRACK 3   0% Three"}));
    post(printer, one, kTrackFailed);
    post(printer, three, kTrackDone);
    printer.post(WM_RIP_DONE, 0, nullptr);
    EXPECT_EQ(
        screenOf(written()),
        (std::vector<std::string>{"TRACK 2 done Two", "TRACK 1 failed One", "TRACK 3 done Three"}));
}

TEST_F(Progress, ElsewhereEveryEventIsALineOfItsOwn) {
    {
        ProgressPrinter printer(out, false);
        for (const int32_t status : {0, 50, 50, kTrackDone}) post(printer, one, status);
    }
    EXPECT_EQ(written(), "TRACK 1   0% One\nTRACK 1  50% One\nTRACK 1 done One\n");
}

}  // namespace
}  // namespace lumbra::cli
