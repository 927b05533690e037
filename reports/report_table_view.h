// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table view of a report's rows: a Qt model over ReportTable, so that the view sorts by a
// click on a column header and shows the rows of one country.

#include <QAbstractTableModel>

#include "report_table.h"

namespace umbrivista {

class TReportTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  // The rows of a run (none for an empty run), in its order, every country shown.
  void SetRows(const std::vector<ReportRow>& rows, ReportKind kind, Language language);
  void FilterCountry(const std::string& country);
  const ReportTable& Table() const { return table_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  ReportTable table_;
  int sortColumn_ = -1;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace umbrivista
