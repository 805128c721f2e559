#include "aperture/ApertureTableModel.h"

#include <QApplication>
#include <QPalette>

#include <algorithm>
#include <climits>

namespace mutaplot {

namespace {

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

int EntryRows(const ApertureTable& table) {
    return static_cast<int>(std::min<std::size_t>(table.entries.size(), INT_MAX - 1));
}

}  // namespace

ApertureTableModel::ApertureTableModel(ApertureTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), rows_(EntryRows(table)) {
    alignment_.fill(Qt::AlignLeft | Qt::AlignVCenter);
}

void ApertureTableModel::Reload() {
    beginResetModel();
    rows_ = EntryRows(table_);
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, kApertureGridColumnCount - 1);
}

void ApertureTableModel::EntryChanged(int index) {
    if (index < 0 || index >= rows_) return;
    emit dataChanged(this->index(index, 0), this->index(index, kApertureGridColumnCount - 1));
}

void ApertureTableModel::SetColumnAlignment(int column, Qt::Alignment alignment) {
    if (column < 0 || column >= kApertureGridColumnCount) return;
    alignment_[static_cast<std::size_t>(column)] = alignment;
    if (rows_ > 0) emit dataChanged(index(0, column), index(rows_ - 1, column), {Qt::TextAlignmentRole});
    emit headerDataChanged(Qt::Horizontal, column, column);
}

Qt::Alignment ApertureTableModel::ColumnAlignment(int column) const {
    if (column < 0 || column >= kApertureGridColumnCount) return {};
    return alignment_[static_cast<std::size_t>(column)];
}

int ApertureTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ApertureTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kApertureGridColumnCount;
}

QVariant ApertureTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            // Grid row = model row + 1 (row 0 is the title row).
            return Text(ApertureCellText(table_, index.row() + 1, index.column()));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(ColumnAlignment(index.column()));
        case Qt::BackgroundRole:
            // The label column looks like a fixed title column.
            if (index.column() == 0) return QApplication::palette().button();
            return {};
        case Qt::ForegroundRole:
            if (index.column() == 0) return QApplication::palette().buttonText();
            return {};
        default:
            return {};
    }
}

QVariant ApertureTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kApertureGridColumnCount) return {};
    if (role == Qt::DisplayRole) return Text(table_.columnTitles[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ColumnAlignment(section));
    return {};
}

}  // namespace mutaplot
