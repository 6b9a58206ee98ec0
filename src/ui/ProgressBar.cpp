#include "ui/ProgressBar.h"

#include <QAccessible>
#include <QPainter>

#include "ui/Skin.h"

namespace undelvo::ui {

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {
  setFixedSize(510, 30);  // the frame around a 500-pixel track
  setAccessibleName(QStringLiteral("0 %"));
}

void ProgressBar::SetPercent(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == percent_) return;
  percent_ = percent;
  setAccessibleName(QStringLiteral("%1 %").arg(percent));
  update();
}

void ProgressBar::Reset() {
  SetPercent(0);
  if (label_) label_->clear();
}

void ProgressBar::ShowPercent(int percent) {
  SetPercent(percent);
  if (label_) label_->setText(QStringLiteral("%1 %").arg(percent));
}

void ProgressBar::Done() {
  SetPercent(100);
  if (label_) label_->setText(QStringLiteral("100%"));
}

void ProgressBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), skin::kContent);
  p.setPen(skin::kOutline);
  p.drawRect(0, 0, width() - 1, height() - 1);
  p.fillRect(5, 5, BarWidth(), height() - 10, skin::kProgress);
}

}  // namespace undelvo::ui
