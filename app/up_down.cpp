// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "up_down.h"

#include <QHBoxLayout>

namespace umbrivista {

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  previous_ = new QToolButton(this);
  next_ = new QToolButton(this);
  previous_->setObjectName(QStringLiteral("Previous"));
  next_->setObjectName(QStringLiteral("Next"));
  previous_->setArrowType(Qt::LeftArrow);
  next_->setArrowType(Qt::RightArrow);
  for (QToolButton* b : {previous_, next_}) {
    b->setFocusPolicy(Qt::NoFocus);  // arrow keys do not step
    b->setFixedSize(22, 18);
    row->addWidget(b);
  }
  connect(previous_, &QToolButton::clicked, this, [this] { emit clicked(false); });
  connect(next_, &QToolButton::clicked, this, [this] { emit clicked(true); });
}

}  // namespace umbrivista
