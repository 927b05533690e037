// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A horizontal up-down control: two small arrow buttons side by side. Only the clicks count; the
// control keeps no position of its own.

#include <QToolButton>
#include <QWidget>

namespace umbrivista {

class TUpDown : public QWidget {
  Q_OBJECT

 public:
  explicit TUpDown(QWidget* parent = nullptr);
  QToolButton* Previous() const { return previous_; }
  QToolButton* Next() const { return next_; }

 signals:
  // next: the right arrow (later), else the left arrow (earlier).
  void clicked(bool next);

 private:
  QToolButton* previous_;
  QToolButton* next_;
};

}  // namespace umbrivista
