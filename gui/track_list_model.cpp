#include "gui/track_list_model.h"

#include "app/track_row_texts.h"

namespace lumbra::gui {
namespace {

constexpr const char* kHeadings[TrackListModel::kColumnCount] = {"音轨名称", "时长", "编码器选项",
                                                                 "比率", "校验"};

}  // namespace

TrackListModel::TrackListModel(const std::vector<TrackEntry>& tracks, QObject* parent)
    : QAbstractTableModel(parent), tracks_(tracks), trackIcon_(":/icons/track.svg") {}

int TrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(tracks_.size());
}

int TrackListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant TrackListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= tracks_.size()) return {};
    const TrackEntry& track = tracks_[size_t(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case kTitle:
                return QString::fromStdString(rowTitle(track, isDataTrack(index.row())));
            case kDuration:
                return QString::fromStdString(durationText(track.seconds));
            case kEncoder:
                return QString::fromStdString(encoderSummary(track));
            case kProgress:
                return QString::fromStdString(progressText(track.status));
            case kVerification:
                return QString::fromStdString(verificationText(track));
        }
    }
    if (index.column() != kTitle) return {};
    if (role == Qt::CheckStateRole) return ticked(index.row()) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::DecorationRole) return trackIcon_;
    return {};
}

QVariant TrackListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= kColumnCount) return {};
    return QString(kHeadings[section]);
}

Qt::ItemFlags TrackListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    // A data track holds no audio to rip: its row shows an empty box that cannot be ticked.
    if (index.column() == kTitle && !isDataTrack(index.row())) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool TrackListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != kTitle) return false;
    if (size_t(index.row()) >= ticks_.size() || isDataTrack(index.row())) return false;
    ticks_[size_t(index.row())] = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    Q_EMIT rowTicked(index.row());
    return true;
}

bool TrackListModel::ticked(int row) const {
    return row >= 0 && size_t(row) < ticks_.size() && ticks_[size_t(row)];
}

void TrackListModel::redrawRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    Q_EMIT dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void TrackListModel::rewriteAll() {
    if (ticks_.size() != tracks_.size()) {
        rebuild();
        return;
    }
    for (size_t row = 0; row < ticks_.size() && row < tracks_.size(); ++row) {
        ticks_[row] = tracks_[row].checked != 0;
    }
    if (rowCount() > 0) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

// The entries changed under the model, so it starts over.
void TrackListModel::rebuild() {
    beginResetModel();
    ticks_.clear();
    for (const TrackEntry& track : tracks_) ticks_.push_back(track.checked != 0);
    endResetModel();
}

}  // namespace lumbra::gui
