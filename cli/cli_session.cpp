#include "cli/cli_session.h"

#include <unistd.h>
#include <cerrno>
#include <csignal>

#include "platform/control_characters.h"
#include "settings/settings_loaders.h"
#include "settings/settings_savers.h"

namespace lumbra::cli {
namespace {

SignalStop gStop;

// Ctrl-C stops the rip the way the stop button does: the current track ends Cancelled and
// leaves no file. So do a plain kill and a closed terminal, which would otherwise end the program
// in the middle of a file.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void stopRip(int) {
    const int savedErrno = errno;
    gStop();
    errno = savedErrno;
}

SettingsRecord loadSettings(const Options& options, const std::string& home) {
    SettingsRecord settings;
    loadAllSettings(SettingsStore(settingsPath(home)), settings, home);
    if (options.outputFolder) settings.outputFolder = *options.outputFolder;
    if (options.namingTemplate) settings.namingTemplate = *options.namingTemplate;
    if (options.format) settings.defaultFormat = OutputFormat(*options.format);
    settings.driveIndex = options.drive;
    if (options.jobs) settings.encoderThreads = *options.jobs;
    if (options.replayGain) settings.replayGain = *options.replayGain;
    if (!options.accurateRip) settings.accurateRip.enabled = false;
    if (!options.musicBrainz) settings.musicBrainz.enabled = false;
    if (options.readOffset) settings.runReadOffset = *options.readOffset;
    if (options.testAndCopy) settings.testAndCopy = true;
    if (options.eject) settings.ejectAfterRip = true;
    // An answer given on the command line is the rule for this run, whatever setup.ini says:
    // with overwrite on, the question that --no answers would never be asked.
    if (options.overwrite != OverwriteAnswer::Ask) {
        settings.overwrite = options.overwrite == OverwriteAnswer::Yes;
    }
    return settings;
}

}  // namespace

void CliEvents::post(int message, uintptr_t wParam, const void* lParam) {
    if (message == WM_RIP_PROGRESS || message == WM_RIP_DONE)
        printer_.post(message, wParam, lParam);
    if (message == WM_RIP_DONE || message == WM_LOOKUP_DONE || message == WM_OFFSET_DONE) {
        ends_.post(message, wParam, lParam);
    }
}

CliSession::CliSession(const Options& options, const std::string& home)
    : options_(options),
      home_(home),
      settings_(loadSettings(options, home)),
      prompts_(options.overwrite),
      session_(settings_, prompts_, events_, this) {}

void CliSession::buildDriveList() {
    session_.buildDriveList();
    std::vector<std::string> models;
    for (const DriveEntry& drive : session_.drives()) models.push_back(drive.model);
    loadReadOffsets(SettingsStore(settingsPath(home_)), settings_, models);
}

void CliSession::storeReadOffset(const DriveEntry& drive, int32_t offset) {
    settings_.readOffsets[drive.model] = offset;
    saveReadOffset(SettingsStore(settingsPath(home_)), settings_, drive.model);
}

bool CliSession::lookupWanted() const {
    return options_.lookup.value_or(settings_.cddbAuto);
}

void CliSession::lookUp(std::FILE* status) {
    const bool terminal = isatty(fileno(status));
    std::fputs(session_status::kConnecting, status);
    // On a terminal the line is wiped once the lookup ends, as the rip's progress takes its place.
    if (!terminal) std::fputs("\n", status);
    std::fflush(status);
    if (session_.requestLookup(true) == LookupStart::Started) {
        session_.finishLookup(waitFor(WM_LOOKUP_DONE));
    }
    if (terminal) std::fputs("\r\033[K", status);
    // A server that refused the lookup is named, as the status line names it in the window.
    if (session_.statusText() != session_status::kReady) {
        std::fputs((platform::printableText(session_.statusText()) + "\n").c_str(), status);
    }
    std::fflush(status);
}

std::optional<OffsetDetection> CliSession::findReadOffset() {
    gStop = session_.offsetSearchSignalStop();
    for (const int stop : kStopSignals) std::signal(stop, stopRip);
    std::optional<OffsetDetection> detection;
    if (session_.startOffsetSearch() == CommandResult::Done) {
        detection = session_.finishOffsetSearch(waitFor(WM_OFFSET_DONE));
    }
    for (const int stop : kStopSignals) std::signal(stop, SIG_DFL);
    gStop = {};
    return detection;
}

bool CliSession::rip() {
    if (session_.convert() != ConvertResult::Started) return false;
    gStop = session_.ripSignalStop();
    for (const int stop : kStopSignals) std::signal(stop, stopRip);
    waitFor(WM_RIP_DONE);
    session_.finishRip();
    for (const int stop : kStopSignals) std::signal(stop, SIG_DFL);
    gStop = {};
    return true;
}

void CliSession::tick(const std::vector<bool>& ticked) {
    const auto& tracks = session_.tracks();
    rows_.clear();
    for (size_t i = 0; i < ticked.size() && i < tracks.size(); ++i) {
        rows_.push_back({ticked[i], tracks[i].selected != 0});
    }
}

PageEdits CliSession::readPages() {
    return {settings_.driveIndex, session_.disc(), settings_.outputFolder, settings_.id3Enable,
            rows_};
}

uintptr_t CliSession::waitFor(int message) {
    for (;;) {
        const auto posted = events_.ends().next(std::chrono::seconds(1));
        if (posted && posted->message == message) return posted->wParam;
    }
}

}  // namespace lumbra::cli
