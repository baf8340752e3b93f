#include "gui/track_list_model.h"

#include "app/track_row_texts.h"

namespace lumbra::gui {
namespace {

constexpr const char* kHeadings[TrackListModel::kColumnCount] = {"音轨名称", "时长", "编码器选项",
                                                                 "比率"};
constexpr const char* kDataTrackNote = "（数据音轨）";

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
                return QString::fromStdString(track.title) +
                       (isDataTrack(index.row()) ? kDataTrackNote : "");
            case kDuration:
                return QString::fromStdString(durationText(track.seconds));
            case kEncoder:
                return QString::fromStdString(encoderSummary(track));
            case kProgress:
                return QString::fromStdString(progressText(track.status));
        }
    }
    if (index.column() != kTitle) return {};
    if (role == Qt::CheckStateRole) return track.checked ? Qt::Checked : Qt::Unchecked;
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
    if (index.column() == kTitle) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool TrackListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != kTitle || !onCheck) return false;
    onCheck(index.row(), value.toInt() == Qt::Checked);
    rewriteRow(index.row());
    return true;
}

void TrackListModel::rewriteRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    Q_EMIT dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void TrackListModel::rewriteAll() {
    if (rowCount() > 0) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
}

void TrackListModel::rebuild() {
    beginResetModel();
    endResetModel();
}

}  // namespace lumbra::gui
