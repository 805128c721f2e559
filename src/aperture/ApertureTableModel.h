#pragma once
// The aperture editor's grid: a table model over the one ApertureTable,
// never a widget or item per row. Model row i shows entry i (D code i + 10),
// which is grid row i + 1 below the title row; the title row is the
// horizontal header and shows the table's column titles. Column 0 (the
// labels) is drawn in the style of a fixed title column.
//
// The model reads the table live; whoever changes the table in place tells
// the model: EntryChanged for one entry, Reload after a load or an import.

#include "aperture/ApertureTable.h"

#include <QAbstractTableModel>

#include <array>

namespace mutaplot {

class ApertureTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ApertureTableModel(ApertureTable& table, QObject* parent = nullptr);

    // The entries or titles changed as a whole.
    void Reload();
    // Entry `index` (0-based) changed.
    void EntryChanged(int index);

    // Alignment of a column's cells and title (MSFlexGrid's ColAlignment).
    void SetColumnAlignment(int column, Qt::Alignment alignment);
    Qt::Alignment ColumnAlignment(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    ApertureTable& table_;
    int rows_ = 0;  // the entry count at the last Reload
    std::array<Qt::Alignment, kApertureGridColumnCount> alignment_;
};

}  // namespace mutaplot
