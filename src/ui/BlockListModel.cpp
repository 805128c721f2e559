#include "ui/BlockListModel.h"

#include "settings/Cp932.h"

#include <algorithm>
#include <climits>

namespace mutaplot {

QString DecodeBlockForDisplay(std::string_view bytes) {
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromStdString(Cp932ToUtf8Lenient(bytes));
}

void BlockListModel::Show(const BlockList& list, std::size_t rows) {
    beginResetModel();
    list_ = list;
    rows_ = static_cast<int>(std::clamp<std::size_t>(rows, 1, INT_MAX));
    endResetModel();
}

void BlockListModel::Clear() {
    beginResetModel();
    list_.Clear();
    list_.ShrinkToFit();
    rows_ = 1;
    endResetModel();
}

int BlockListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int BlockListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

std::string_view BlockListModel::CellBytes(int row) const {
    if (row <= 0) return {};
    return list_[static_cast<std::size_t>(row - 1)];
}

QVariant BlockListModel::data(const QModelIndex& index, int role) const {
    // A block longer than the column shows in its tool tip. A cell is laid
    // out whole at every repaint, so a block of a file without line breaks
    // (megabytes in one block) shows its first kShownBlockBytes bytes only,
    // the tool tip with "…" after them.
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const std::string_view bytes = CellBytes(index.row());
    if (bytes.size() <= kShownBlockBytes) return DecodeBlockForDisplay(bytes);
    QString shown = DecodeBlockForDisplay(bytes.substr(0, kShownBlockBytes));
    if (role == Qt::ToolTipRole) shown += QChar(0x2026);
    return shown;
}

}  // namespace mutaplot
