// lumbra-rip as a front end of the disc session: the settings with the command line's overrides,
// the answers to the session's messages, and the session's posts handled on the main thread.
#pragma once

#include <cstdio>
#include <mutex>

#include "app/disc_session.h"
#include "app/event_queue.h"
#include "cli/options.h"
#include "cli/progress_printer.h"
#include "cli/terminal_prompts.h"

namespace lumbra::cli {

// Progress is printed as the rip job posts it, so every step of a track gets its line; the ends
// of the jobs wait in a queue for the main thread.
class CliEvents : public EventSink {
public:
    void post(int message, uintptr_t wParam, const void* lParam) override;
    EventQueue& ends() { return ends_; }

private:
    ProgressPrinter printer_;
    EventQueue ends_;
};

// The command line's options stand for the pages: they choose the drive, the output folder and
// the ticked tracks, and leave the disc record as the session has it.
class CliSession : public EditablePages {
public:
    // Loads setup.ini from `home` and applies the command line's output folder, template, format
    // and drive.
    CliSession(const Options& options, const std::string& home);

    DiscSession& session() { return session_; }
    const SettingsRecord& settings() const { return settings_; }

    // Builds the drive list and loads the read offsets stored for its drives' models.
    void buildDriveList();
    // Stores `offset` as the read offset of the model of drive `drive`.
    void storeReadOffset(const DriveEntry& drive, int32_t offset);

    // The session's offset search; Ctrl-C, SIGTERM and SIGHUP stop it as they stop a rip.
    std::optional<OffsetDetection> findReadOffset();
    Prompts& prompts() { return prompts_; }

    // Whether the command line or, without --lookup or --no-lookup, setup.ini asks for a lookup.
    bool lookupWanted() const;
    // Looks the disc up, showing the status text on `status` meanwhile (wiped afterwards on a
    // terminal), and applies what was found.
    void lookUp(std::FILE* status);
    // Rips the checked tracks; Ctrl-C, SIGTERM and SIGHUP stop the rip like the stop button's
    // flag. False when the rip could not start.
    bool rip();

    // Ticks exactly these tracks, by list position, at the next commit.
    void tick(const std::vector<bool>& ticked);
    PageEdits readPages() override;

private:
    // Handles posts until `message` arrives; returns its wParam.
    uintptr_t waitFor(int message);

    const Options& options_;
    const std::string home_;
    SettingsRecord settings_;
    TerminalPrompts prompts_;
    CliEvents events_;
    DiscSession session_;
    std::vector<RowState> rows_;
};

}  // namespace lumbra::cli
