#include "app/disc_session.h"

#include <algorithm>

#include "app/accuraterip_settings.h"
#include "app/disc_refresh.h"
#include "app/drive_choice.h"
#include "app/read_offset_settings.h"
#include "cdaccess/tray.h"
#include "metadata/cd_text_info.h"
#include "metadata/disc_info_text.h"
#include "rip/rip_job.h"
#include "rip/track_status.h"
#include "settings/encoder_settings.h"

namespace lumbra {
namespace {

// The view of a session that nobody watches.
class NoView : public SessionView {
public:
    void tracksReset() override {}
    void rowChanged(int) override {}
    void statusChanged() override {}
    void discChanged() override {}
};

}  // namespace

DiscSession::DiscSession(SettingsRecord& settings, Prompts& prompts, EventSink& events,
                         EditablePages* pages, CddbTimeouts lookupTimeouts)
    : settings_(settings),
      prompts_(prompts),
      events_(events),
      pages_(pages),
      lookups_(events, flags_.lookupActive, lookupTimeouts),
      lookupTimeouts_(lookupTimeouts) {}

DiscSession::~DiscSession() {
    if (!ripThread_.joinable()) return;
    flags_.ripRunning = 0;
    ripStop_.set();
    ripThread_.join();
}

int DiscSession::buildDriveList() {
    return lumbra::buildDriveList(drives_);
}

void DiscSession::commitEdits(bool resetDiscFields) {
    if (pages_) {
        PageEdits edits = pages_->readPages();
        // The pages edit neither the catalogue number, where the titles came from nor the cover.
        edits.disc.catalogue = disc_.catalogue;
        edits.disc.titleSource = disc_.titleSource;
        edits.disc.coverArt = std::move(disc_.coverArt);
        if (resetDiscFields) resetDiscRecord(edits.disc);
        settings_.driveIndex = edits.driveIndex;
        disc_ = std::move(edits.disc);
        settings_.outputFolder = std::move(edits.outputFolder);
        settings_.id3Enable = edits.id3Enable;
        readRows(edits.rows);
    } else if (resetDiscFields) {
        resetDiscRecord(disc_);
    }
    const auto firstSelected = std::find_if(tracks_.begin(), tracks_.end(),
                                            [](const TrackEntry& t) { return t.selected; });
    flags_.currentTrackIndex =
        firstSelected == tracks_.end() ? 0 : int32_t(firstSelected - tracks_.begin());
}

std::optional<bool> DiscSession::refresh(bool withMessages) {
    if (ripping()) return std::nullopt;
    stopOffsetSearch();
    stopLookup();
    if (playback_) playback_->stopPlayback();
    setStatus(session_status::kRefreshing);
    autoLookupArmed_ = true;
    flags_.currentTrackIndex = -1;
    tracks_.clear();
    verification_ = {};
    const bool found =
        refreshDisc(prompts_, drives_, settings_.driveIndex, tracks_, settings_, withMessages) == 0;
    bool named = false;
    if (found) {
        flags_.currentTrackIndex = 0;
        if (!tracks_.empty()) tracks_.front().selected = 1;
        named = applyDiscOwnText();
    } else {
        autoLookupArmed_ = false;
    }
    view().tracksReset();
    if (named) view().discChanged();
    setStatus(found ? session_status::kReady : session_status::kNoAudioCd);
    return found;
}

void DiscSession::firstRefresh() {
    // Without a disc there is nothing to look up, and the status line keeps saying so.
    if (refresh(false).value_or(false) && settings_.cddbAuto) requestLookup(false);
}

// The disc's own CD-Text names it until a lookup finds a match, which then wins.
bool DiscSession::applyDiscOwnText() {
    const DriveEntry* drive = chosenDrive();
    if (!drive) return false;
    disc_.catalogue = drive->extras.catalogue;
    disc_.titleSource = TitleSource::None;
    const std::string text = cdTextDiscInfoText(drive->extras.cdText, drive->discId,
                                                drive->toc.firstTrack, disc_, tracks_);
    if (text.empty()) return false;
    applyDiscInfoText(text, disc_, tracks_);
    disc_.titleSource = TitleSource::CdText;
    return true;
}

CommandResult DiscSession::refreshCommand() {
    if (ripping()) return CommandResult::Refused;
    commitEdits(true);
    view().discChanged();
    // After a refresh that found no disc nothing can be looked up, and the status line keeps
    // saying that no disc was found.
    if (refresh(true).value_or(false) && settings_.cddbAuto) requestLookup(false);
    return CommandResult::Done;
}

CommandResult DiscSession::chooseDrive(int driveIndex) {
    if (ripping()) return CommandResult::Refused;
    settings_.driveIndex = driveIndex;
    return refreshCommand();
}

bool DiscSession::chooseStartDrive(std::string_view device) {
    const auto index = driveIndexForDevice(drives_, device);
    if (index) settings_.driveIndex = *index;
    return index.has_value();
}

LookupStart DiscSession::requestLookup(bool explicitRequest) {
    if (ripping()) return LookupStart::Refused;
    if (explicitRequest) lookupRequested_ = true;
    setStatus(session_status::kConnecting);
    LookupStart result = LookupStart::NotStarted;
    if ((autoLookupArmed_ || lookupRequested_) && !lookupActive()) {
        const DriveEntry* drive = chosenDrive();
        // Without a drive the job finds nothing and ends like any failed lookup.
        lookups_.startDiscLookup(settings_.cddb, drive ? drive->openRequest : OpenDriveRequest{},
                                 settings_.musicBrainz);
        result = LookupStart::Started;
    } else {
        setStatus(session_status::kReady);
    }
    autoLookupArmed_ = false;
    lookupRequested_ = false;
    return result;
}

LookupEnd DiscSession::finishLookup(uintptr_t lookup) {
    std::string failure;
    std::string cover;
    const std::optional<std::string> text = lookups_.finishDiscLookup(lookup, &failure, &cover);
    if (!text) return LookupEnd::Ignored;
    commitEdits(false);
    LookupEnd end = LookupEnd::NothingFound;
    if (!text->empty()) {
        applyDiscInfoText(*text, disc_, tracks_);
        disc_.titleSource = TitleSource::Lookup;
        disc_.coverArt = std::move(cover);
        end = LookupEnd::Applied;
    }
    view().discChanged();
    rowsChanged(false);
    const std::string status = failure.empty() ? std::string(session_status::kReady)
                                               : session_status::kLookupFailed + failure;
    setStatus(status.c_str());
    return end;
}

ConvertResult DiscSession::convert() {
    if (ripping()) return ConvertResult::Refused;
    // The player's reads and the rip's, or the offset search's, must never meet at the drive.
    if (playback_) playback_->stopPlayback();
    stopOffsetSearch();
    commitEdits(false);
    if (lookupActive()) {
        stopLookup();
        setStatus(session_status::kLookupStopped);
    }
    const DriveEntry* drive = chosenDrive();
    if (!drive || readCurrentDiscId(*drive) != int64_t(drive->discId)) {
        prompts_.show(
            {kCaption, kDiscChangedMessage, MessageIcon::Information, MessageButtons::Ok});
        return ConvertResult::DiscChanged;
    }
    for (TrackEntry& track : tracks_) {
        if (track.checked) track.status = 0;
    }
    startRip(*drive);
    rowsChanged(false);
    setStatus(session_status::kRipping);
    return ConvertResult::Started;
}

void DiscSession::stopRip() {
    flags_.ripRunning = 0;
    ripStop_.set();
    for (TrackEntry& track : tracks_) {
        if (track.checked) track.status.replaceBelow(kTrackDone, kTrackCancelled);
    }
    rowsChanged(false);
}

void DiscSession::ripProgress(const TrackEntry* entry) {
    if (entry < tracks_.data() || entry >= tracks_.data() + tracks_.size()) return;
    view().rowChanged(int(entry - tracks_.data()));
}

std::optional<FinishedRip> DiscSession::finishRip() {
    if (ripThread_.joinable()) ripThread_.join();
    flags_.ripRunning = 0;
    if (!ripSession_) {
        setStatus(session_status::kReady);
        return std::nullopt;
    }
    ripSession_.reset();
    FinishedRip finished{summariseRip(tracks_), ripSettings_.outputFolder};
    if (finished.summary.ticked() == 0) {
        setStatus(session_status::kReady);  // nothing was ticked: nothing to tell
        return std::nullopt;
    }
    setStatus(ripSummaryText(finished.summary, finished.folder).c_str());
    if (ripSettings_.ejectAfterRip && finished.summary.clean()) openTray();
    return finished;
}

void DiscSession::openTray() {
    if (playback_) return playback_->openTray();
    if (const DriveEntry* drive = chosenDrive()) moveTrayOf(drive->openRequest, true);
}

CommandResult DiscSession::setFormatOfSelected(OutputFormat format) {
    if (ripping()) return CommandResult::Refused;
    readPageRows();
    for (TrackEntry& track : tracks_) {
        if (!track.selected) continue;
        track.format = format;
        applyEncoderDefaults(track, settings_.encoder);
        track.status = 0;
    }
    rowsChanged(true);
    return CommandResult::Done;
}

CommandResult DiscSession::pointAtTrack(int row) {
    if (ripping() || row < 0 || size_t(row) >= tracks_.size()) return CommandResult::Refused;
    flags_.currentTrackIndex = row;
    return CommandResult::Done;
}

CommandResult DiscSession::applyCheckCommand(CheckCommand command) {
    if (ripping()) return CommandResult::Refused;
    if (command == CheckCommand::Invert || command == CheckCommand::InvertSelected) {
        commitEdits(false);
    } else {
        readPageRows();
    }
    for (size_t row = 0; row < tracks_.size(); ++row) {
        TrackEntry& track = tracks_[row];
        // A data track has no audio: no command ticks it, and a rip would only fail on it.
        if (isDataTrack(int(row))) {
            track.checked = 0;
            continue;
        }
        switch (command) {
            case CheckCommand::CheckSelected:
                track.checked = track.selected;
                break;
            case CheckCommand::CheckAll:
                track.checked = 1;
                break;
            case CheckCommand::UncheckAll:
                track.checked = 0;
                break;
            case CheckCommand::Invert:
                track.checked = !track.checked;
                break;
            case CheckCommand::InvertSelected:
                if (track.selected) track.checked = !track.checked;
                break;
        }
    }
    view().tracksReset();
    return CommandResult::Done;
}

CommandResult DiscSession::openSelectMenu() const {
    return ripping() ? CommandResult::Refused : CommandResult::Done;
}

CommandResult DiscSession::selectAllRows() {
    if (ripping()) return CommandResult::Refused;
    readPageRows();
    for (TrackEntry& track : tracks_) track.selected = 1;
    view().tracksReset();
    return CommandResult::Done;
}

CommandResult DiscSession::exitCommand() {
    if (ripping()) {
        prompts_.show(
            {kCaption, kStopBeforeExitMessage, MessageIcon::Information, MessageButtons::Ok});
        return CommandResult::Refused;
    }
    if (playback_) playback_->stopPlayback();
    return CommandResult::Done;
}

void DiscSession::applyEncoderDefaultsToAll() {
    for (TrackEntry& track : tracks_) applyEncoderDefaults(track, settings_.encoder);
    rowsChanged(false);
}

CommandResult DiscSession::prepareTrackSettings() {
    if (ripping() || tracks_.empty()) return CommandResult::Refused;
    commitEdits(false);
    settings_.trackDialogSettings = settings_.encoder;
    const auto first = std::find_if(tracks_.begin(), tracks_.end(),
                                    [](const TrackEntry& t) { return t.selected; });
    if (first != tracks_.end())
        setEncoderBlock(settings_.trackDialogSettings, first->format, first->encoderSettings);
    return CommandResult::Done;
}

void DiscSession::applyTrackSettings(const std::string& title, OutputFormat format,
                                     const EncoderSlots& block) {
    const int32_t current = flags_.currentTrackIndex;
    if (current >= 0 && size_t(current) < tracks_.size()) {
        tracks_[size_t(current)].title = title;
        view().rowChanged(current);
    }
    for (TrackEntry& track : tracks_) {
        if (!track.selected) continue;
        track.format = format;
        track.encoderSettings = block;
    }
    rowsChanged(true);
}

void DiscSession::readRows(const std::vector<RowState>& rows) {
    const size_t count = std::min(rows.size(), tracks_.size());
    for (size_t i = 0; i < count; ++i) {
        tracks_[i].checked = rows[i].checked;
        tracks_[i].selected = rows[i].selected;
    }
}

bool DiscSession::isDataTrack(int row) const {
    const DriveEntry* drive = chosenDrive();
    return drive && row >= 0 && size_t(row) < tracks_.size() && row < kMaxTocDescriptors &&
           lumbra::isDataTrack(drive->toc.descriptors[row]);
}

void DiscSession::readPageRows() {
    if (pages_) readRows(pages_->readPages().rows);
}

void DiscSession::setStatus(const char* text) {
    status_ = text;
    view().statusChanged();
}

SessionView& DiscSession::view() {
    static NoView nobody;
    return view_ ? *view_ : nobody;
}

void DiscSession::rowsChanged(bool onlySelected) {
    for (size_t row = 0; row < tracks_.size(); ++row) {
        if (!onlySelected || tracks_[row].selected) view().rowChanged(int(row));
    }
}

const DriveEntry* DiscSession::chosenDrive() const {
    const int index = settings_.driveIndex;
    return index >= 0 && size_t(index) < drives_.size() ? &drives_[size_t(index)] : nullptr;
}

void DiscSession::startRip(const DriveEntry& drive) {
    ripSettings_ = settings_;
    ripDisc_ = disc_;
    prepareVerification(drive);
    ripStop_.reset();
    verification_.config.stop = &ripStop_;
    // Tags count the tracks a player can play: "1/4" on an Enhanced CD, not "1/5".
    int32_t audioTracks = 0;
    for (size_t row = 0; row < tracks_.size(); ++row) audioTracks += !isDataTrack(int(row));
    ripSession_.emplace(RipSession{prompts_,
                                   events_,
                                   flags_,
                                   ripSettings_,
                                   ripDisc_,
                                   drive.openRequest,
                                   outputFormats(),
                                   &verification_,
                                   audioTracks,
                                   {readOffsetOf(settings_, drive), audioExtents(drive.toc)}});
    flags_.ripRunning = 1;
    ripThread_ = startRipJob(*ripSession_, tracks_);
}

// A disc already looked up keeps its answer; a disc in its place starts over.
void DiscSession::prepareVerification(const DriveEntry& drive) {
    RipVerification disc = verificationOfDisc(drive.toc);
    if (disc.disc != verification_.disc || disc.audioNumbers != verification_.audioNumbers) {
        verification_ = std::move(disc);
    }
    verification_.lookupEnabled = settings_.accurateRip.enabled;
    verification_.config = accurateRipClientConfig(settings_, lookupTimeouts_);
    verification_.driveDescription = drive.description;
}

CommandResult DiscSession::startOffsetSearch() {
    const DriveEntry* drive = chosenDrive();
    if (ripping() || offsetSearchRunning() || !drive || tracks_.empty()) {
        return CommandResult::Refused;
    }
    if (playback_) playback_->stopPlayback();
    prepareVerification(*drive);
    // The list's rows show nothing of the search: it reads copies.
    offsetSearch_.start(
        {settings_, drive->openRequest, {0, audioExtents(drive->toc)}, verification_, tracks_});
    setStatus(session_status::kFindingOffset);
    return CommandResult::Done;
}

void DiscSession::stopOffsetSearch() {
    offsetSearch_.stop();
}

std::optional<OffsetDetection> DiscSession::finishOffsetSearch(uintptr_t search) {
    std::optional<OffsetSearchEnd> end = offsetSearch_.finish(search);
    if (!end) return std::nullopt;
    // Only a search that was not stopped ends, and it was stopped by any change of disc.
    if (end->lookup && !verification_.lookup) verification_.lookup = std::move(end->lookup);
    if (status_ == session_status::kFindingOffset) setStatus(session_status::kReady);
    for (const Message& message : end->messages) prompts_.show(message);
    return std::move(end->detection);
}

void DiscSession::stopLookup() {
    lookups_.stopDiscLookup();
}

}  // namespace lumbra
