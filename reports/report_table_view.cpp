// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_table_view.h"

namespace umbrivista {

void TReportTableModel::SetRows(const std::vector<ReportRow>& rows, ReportKind kind,
                                Language language) {
  beginResetModel();
  table_.Assign(rows, kind, language);
  // A new run keeps the order the user chose.
  if (sortColumn_ >= 0) table_.Sort(sortColumn_, sortOrder_ == Qt::AscendingOrder);
  endResetModel();
}

void TReportTableModel::FilterCountry(const std::string& country) {
  beginResetModel();
  table_.FilterCountry(country);
  endResetModel();
}

int TReportTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.RowCount();
}

int TReportTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.ColumnCount();
}

QVariant TReportTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= table_.RowCount() ||
      index.column() >= table_.ColumnCount())
    return {};
  if (role == Qt::DisplayRole) {
    const std::string_view cell = table_.Cell(index.row(), index.column());
    return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
  }
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(
        (table_.RightAligned(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  }
  return {};
}

QVariant TReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= table_.ColumnCount()) return {};
  return QString::fromStdString(table_.ColumnName(section));
}

void TReportTableModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= table_.ColumnCount()) return;
  sortColumn_ = column;
  sortOrder_ = order;
  beginResetModel();
  table_.Sort(column, order == Qt::AscendingOrder);
  endResetModel();
}

}  // namespace umbrivista
