// The disc session of one main window: the drive list, the track list, the disc record, the job
// flags, the lookups and the rip thread, together with the rules that decide what each command
// may do and what it does to them. A front end (the desktop program, lumbra-rip) shows this state
// and forwards the user's commands; it never changes the lists or the flags itself.
//
// Threading: every member is called on one thread, the front end's user-interface thread. The
// workers report only by posting to the session's EventSink:
//   WM_LOOKUP_DONE   wParam: the lookup's number; hand it to finishLookup.
//   WM_RIP_PROGRESS  lParam: the TrackEntry (an element of tracks()); hand it to ripProgress.
//   WM_RIP_DONE      posted once per rip, last; call finishRip.
//   WM_OFFSET_DONE   wParam: the offset search's number; hand it to finishOffsetSearch.
// Posts arrive on worker threads; the front end queues them and handles them on its own thread
// in arrival order. The rip job may show messages through Prompts from its thread, and waits for
// the answer, so the user-interface thread must keep answering prompts while a rip runs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/disc_lookups.h"
#include "app/read_offset_search.h"
#include "app/rip_summary.h"
#include "app/signal_stop.h"
#include "cdaccess/drive_discovery.h"
#include "metadata/cddb_config.h"
#include "metadata/disc_record.h"
#include "metadata/track_entry.h"
#include "platform/manual_reset_event.h"
#include "platform/prompts.h"
#include "platform/window_messages.h"
#include "rip/offset_detection.h"
#include "rip/rip_context.h"
#include "rip/rip_verification.h"
#include "settings/job_flags.h"
#include "settings/settings_record.h"

namespace lumbra {

// Texts of the status line.
namespace session_status {
inline constexpr const char* kReady = "就绪";
inline constexpr const char* kRefreshing = "正在刷新 CD...";
inline constexpr const char* kNoAudioCd = "没有找到音频 CD";
inline constexpr const char* kConnecting = "连接到 CDDB...";
inline constexpr const char* kLookupStopped = "CDDB 连接已停止。";
// Followed by why: the server that could not be reached, or the HTTP status line of a server
// reply that was not read.
inline constexpr const char* kLookupFailed = "CDDB 查询失败：";
inline constexpr const char* kRipping = "正在抓取..";
inline constexpr const char* kFindingOffset = "正在检测读取偏移…";
}  // namespace session_status

inline constexpr const char* kDiscChangedMessage = "CD 已经更换，请在转换前先刷新 CD！";
inline constexpr const char* kStopBeforeExitMessage = "请在退出前先停止编码！";

struct FinishedRip {
    RipSummary summary;
    std::string folder;
};

// One row of the track list as the user left it.
struct RowState {
    bool checked = false;
    bool selected = false;
};

// What the pages show and the user may have edited since the session last looked.
struct PageEdits {
    int driveIndex = 0;
    DiscRecord disc;  // artist, album, genre, year and comment fields
    std::string outputFolder;
    bool id3Enable = false;
    std::vector<RowState> rows;  // one per track, in list order
};

// The front end's controls, read whenever a command commits the user's edits (before a refresh,
// a rip, and when a lookup's result arrives).
class EditablePages {
public:
    virtual ~EditablePages() = default;
    virtual PageEdits readPages() = 0;
};

enum class CommandResult { Done, Refused };
enum class LookupStart { Started, NotStarted, Refused };
enum class LookupEnd { Applied, NothingFound, Ignored };
enum class ConvertResult { Started, DiscChanged, Refused };

// The window's CD player, stopped before a refresh reads the drive and before a rip does.
class PlaybackControl {
public:
    virtual ~PlaybackControl() = default;
    virtual void stopPlayback() = 0;
    // Stops playback and opens the tray, so the player knows the door is open.
    virtual void openTray() = 0;
};

// What a front end shows of the session. The session tells its view after every change it makes,
// on the thread that called it, so a front end never refreshes its controls by hand.
class SessionView {
public:
    virtual ~SessionView() = default;
    // The list was rebuilt, or every entry's tick and selection were set: each row shows its
    // entry's texts, tick and selection.
    virtual void tracksReset() = 0;
    // The texts or the status of the entry at `row` changed; the row's tick and selection stay as
    // the user left them.
    virtual void rowChanged(int row) = 0;
    virtual void statusChanged() = 0;
    // The disc record changed: the fields that show it are out of date.
    virtual void discChanged() = 0;
};

// Commands that change the ticks of every entry at once.
enum class CheckCommand { CheckSelected, CheckAll, UncheckAll, Invert, InvertSelected };

class DiscSession {
public:
    // `settings` is the process-wide record the settings pages edit; it must outlive the session,
    // as must `prompts`, `events` and `pages`. Without pages (a front end with no controls), a
    // commit keeps the session's own state. CD access must have been started.
    DiscSession(SettingsRecord& settings, Prompts& prompts, EventSink& events,
                EditablePages* pages = nullptr, CddbTimeouts lookupTimeouts = {});
    DiscSession(const DiscSession&) = delete;
    DiscSession& operator=(const DiscSession&) = delete;
    // Stops a running rip and waits for it and for every lookup (their time-outs bound the wait).
    // The rip's prompts are not answered meanwhile: a front end that can, stops the rip and waits
    // for WM_RIP_DONE before it destroys the session.
    ~DiscSession();

    // The player to stop before a refresh and a rip; null: none. It must outlive the session or
    // be unset first.
    void setPlayback(PlaybackControl* playback) { playback_ = playback; }
    // The view to tell of changes; null: none. It must outlive the session or be unset first.
    void setView(SessionView* view) { view_ = view; }

    // Rebuilds the drive list; returns its size.
    int buildDriveList();

    const std::vector<DriveEntry>& drives() const { return drives_; }
    const std::vector<TrackEntry>& tracks() const { return tracks_; }
    const DiscRecord& disc() const { return disc_; }
    const SettingsRecord& settings() const { return settings_; }
    const std::string& statusText() const { return status_; }
    // Whether the track of this row holds data rather than audio, as the chosen drive's table of
    // contents says; false for a row not in the list.
    bool isDataTrack(int row) const;
    int32_t currentTrackIndex() const { return flags_.currentTrackIndex; }
    // From convert until finishRip, a stopped rip included: the commands refused while ripping
    // stay refused until the job has really ended.
    bool ripping() const { return ripThread_.joinable(); }
    bool lookupActive() const { return flags_.lookupActive != 0; }
    // The flag the rip job polls, cleared once it is asked to stop.
    const std::atomic<int32_t>& ripRunningFlag() const { return flags_.ripRunning; }
    // Stops the rip as stopRip does, from a signal handler.
    SignalStop ripSignalStop() { return {&flags_.ripRunning, ripStop_.descriptor()}; }

    // Copies the pages into the disc record, the settings and the rows' ticks and selection;
    // with `resetDiscFields`, artist, album and genre become unknown first (the front end shows
    // disc() again afterwards). currentTrackIndex becomes the first selected row, else 0.
    void commitEdits(bool resetDiscFields);

    // Reads the disc in the chosen drive into the track list (empty on failure), stopping a
    // running lookup and playback first. The disc's CD-Text, when it has some, names the disc
    // and its tracks until a lookup finds a match. With `withMessages`, a missing disc is reported
    // through Prompts; a missing drive always is. Refused while ripping. True when the disc was
    // read.
    std::optional<bool> refresh(bool withMessages);

    // The first refresh of a window, without the no-disc message, and the automatic lookup it may
    // call for.
    void firstRefresh();
    // The refresh button: commit with the disc fields reset, refresh with messages, then an
    // automatic lookup when the settings ask for one.
    CommandResult refreshCommand();
    // A new choice in the drive box: refused while ripping (the box goes back to driveIndex).
    CommandResult chooseDrive(int driveIndex);
    // Before the first refresh: the drive named at start-up (a device, a desktop's cdda:// form
    // or an image name) becomes the chosen one. False, keeping the first drive, when none has it.
    bool chooseStartDrive(std::string_view device);

    // Starts a lookup of the chosen drive's disc when one is wanted: an explicit request always
    // is (refused while ripping), an automatic one only after a refresh that found a disc. Never
    // starts a second one while one is active.
    LookupStart requestLookup(bool explicitRequest);
    // For WM_LOOKUP_DONE: the end of a stopped lookup is ignored; otherwise the edits are
    // committed and a found text is applied to the disc record and the titles.
    LookupEnd finishLookup(uintptr_t lookup);

    // The convert button: stops playback before anything reads the drive, commits, stops a lookup,
    // refuses a disc changed since the refresh (with a message), then rips the checked tracks on a
    // thread of idle priority with a snapshot of the settings and the disc record taken now.
    ConvertResult convert();
    // The stop button: clears ripRunning and marks every checked unfinished track cancelled, also
    // when no rip runs. The rip goes on counting as running until finishRip.
    void stopRip();
    // For WM_RIP_PROGRESS: the row of this entry shows its progress; an entry of another list
    // (the list changed since) is passed over.
    void ripProgress(const TrackEntry* entry);
    // For WM_RIP_DONE: waits for the job's thread, which has posted its last message, and says
    // how the rip ended in the status line; when the settings ask for it, a rip that wrote every
    // ticked track opens the tray. The ticks the user changed during the rip stay as they are.
    // Returns how the ticked tracks ended and their folder; nullopt when no rip had started or
    // none of its tracks was ticked.
    std::optional<FinishedRip> finishRip();

    // The encoder box: every selected row's track gets the format and its default settings, and
    // status 0. The rows' ticks and selection are read first. Refused while ripping.
    CommandResult setFormatOfSelected(OutputFormat format);
    // The check commands of the select menu and the context menu. Each reads the rows' ticks and
    // selection first (反选 and 选择/反选音轨 commit every edit), so they act on what the user
    // sees; the selection stays as it was. Refused while ripping.
    CommandResult applyCheckCommand(CheckCommand command);
    // The select button opens its menu only while no rip runs.
    CommandResult openSelectMenu() const;
    // 全部选择: reads the rows, then every entry is selected. Refused while ripping.
    CommandResult selectAllRows();
    // A right click on a row: it becomes the current track, for the track list's context menu.
    // Refused while ripping and when the row is not in the list (an empty list included).
    CommandResult pointAtTrack(int row);
    // The exit button: refused with a message while ripping (until finishRip, as every command
    // refused while ripping), else playback stops and the front end may close.
    CommandResult exitCommand();
    // Every track gets the defaults of its format from the settings. Allowed during a rip: the
    // running job keeps the entries it started with, so the new defaults are for the next rip.
    void applyEncoderDefaultsToAll();

    // 检测偏移 and --find-offset: stops playback, then reads the chosen drive's first audio tracks
    // and matches them with the AccurateRip database on a worker thread, which posts
    // WM_OFFSET_DONE; the status line says so meanwhile. Refused while ripping, while a search
    // runs and without a disc. A refresh (a drive change included) and convert stop the search
    // and wait for it first, as does the session's end.
    CommandResult startOffsetSearch();
    // From startOffsetSearch until the search has ended or been stopped.
    bool offsetSearchRunning() const { return offsetSearch_.running(); }
    // Stops a running search and waits for it; its WM_OFFSET_DONE still comes.
    void stopOffsetSearch();
    // For WM_OFFSET_DONE: how the search ended (Stopped for a stopped one), after the boxes its
    // reads held back; nullopt for the end of a search followed by another. The database's
    // answer is kept for the disc's rips.
    std::optional<OffsetDetection> finishOffsetSearch(uintptr_t search);
    // Stops the search as stopOffsetSearch does, from a signal handler.
    SignalStop offsetSearchSignalStop() { return offsetSearch_.signalStop(); }

    // The track settings command, before its dialog: commits the edits, then trackDialogSettings
    // becomes the encoder defaults with the block of the first selected track's format replaced
    // by that track's own settings. Refused while ripping and when the list is empty.
    CommandResult prepareTrackSettings();
    // After the dialog's OK: the current track gets `title`, and every selected track `format`
    // with `block` as its settings; statuses stay. The defaults are not touched.
    void applyTrackSettings(const std::string& title, OutputFormat format,
                            const EncoderSlots& block);

private:
    void readRows(const std::vector<RowState>& rows);
    void readPageRows();
    void setStatus(const char* text);
    void openTray();
    SessionView& view();
    void rowsChanged(bool onlySelected);
    const DriveEntry* chosenDrive() const;
    void startRip(const DriveEntry& drive);
    void prepareVerification(const DriveEntry& drive);
    void stopLookup();
    // True when the disc's CD-Text named it.
    bool applyDiscOwnText();

    SettingsRecord& settings_;
    Prompts& prompts_;
    EventSink& events_;
    EditablePages* pages_;
    PlaybackControl* playback_ = nullptr;
    SessionView* view_ = nullptr;
    JobFlags flags_;
    std::vector<DriveEntry> drives_;
    std::vector<TrackEntry> tracks_;
    DiscRecord disc_;
    std::string status_ = session_status::kReady;
    bool autoLookupArmed_ = true;
    bool lookupRequested_ = false;
    DiscLookups lookups_;
    CddbTimeouts lookupTimeouts_;
    // The disc's AccurateRip lookup, kept from its first rip to the next refresh; the running
    // job works on it.
    RipVerification verification_;
    // What the running job works on; kept until its thread has been joined.
    SettingsRecord ripSettings_;
    DiscRecord ripDisc_;
    std::optional<RipSession> ripSession_;
    // Set by a stop, it ends the job's database exchange at once.
    platform::ManualResetEvent ripStop_;
    std::thread ripThread_;
    // Last, so that it stops before what the search's posts reach goes.
    ReadOffsetSearch offsetSearch_{events_};
};

}  // namespace lumbra
