// The track list as a table model over the entries of the disc session: one row per entry, in
// list order. A row's check box is the user's until the next commit reads it into the entry; a
// rewrite shows the entry's own tick again.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <functional>
#include <vector>

#include "metadata/track_entry.h"

namespace lumbra::gui {

class TrackListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kTitle, kDuration, kEncoder, kProgress, kVerification, kColumnCount };

    explicit TrackListModel(const std::vector<TrackEntry>& tracks, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Whether the row's box is ticked now.
    bool ticked(int row) const;

    // Repaints one row from its entry; its box stays as the user left it.
    void redrawRow(int row);
    // Every row's box from its entry, and every row repainted; after the list changed size, the
    // model starts over.
    void rewriteAll();

    // Whether the entry's track holds data rather than audio.
    std::function<bool(int row)> isDataTrack = [](int) { return false; };

Q_SIGNALS:
    void rowTicked(int row);

private:
    void rebuild();

    const std::vector<TrackEntry>& tracks_;
    std::vector<bool> ticks_;
    QIcon trackIcon_;
};

// The pixel widths of the columns at the font the widths were drawn for.
inline constexpr int kColumnWidths[TrackListModel::kColumnCount] = {194, 52, 164, 65, 90};

}  // namespace lumbra::gui
