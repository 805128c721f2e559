#pragma once
// The grids of the main window: a one-column table over a block list. Row 0
// is the title row (never filled, shown with height 0); row k + 1 shows entry
// k. The model keeps its own copy of the list as it was when it was shown, so
// the grid keeps its rows when the list changes behind it (a read in the
// viewer, a conversion without input); the copy is two flat buffers, not one
// object per row, and cells are decoded only when they are drawn.

#include "input/BlockList.h"

#include <QAbstractTableModel>

namespace mutaplot {

// How much of a block a cell and its tool tip show: far more than any
// screen's width of the column.
inline constexpr std::size_t kShownBlockBytes = 2000;

class BlockListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows `rows` grid rows (title row included) over a copy of `list`.
    void Show(const BlockList& list, std::size_t rows);
    // Clears every cell and leaves the title row alone.
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The bytes of a cell (row 0 and rows past the list are empty).
    std::string_view CellBytes(int row) const;

private:
    BlockList list_;
    int rows_ = 1;
};

// Decodes a data block for display: CP932, invalid bytes shown as U+FFFD.
QString DecodeBlockForDisplay(std::string_view bytes);

}  // namespace mutaplot
