#include "ui/PanelWidgets.h"

#include <QPainter>

namespace undelvo::ui {

QLabel* MakeLabel(QWidget* parent, const char* objectName, const QRect& place, const QString& text, int pixels,
                  bool bold, const QColor& color) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(objectName));
  label->setGeometry(place);
  label->setFont(SkinFont(pixels, bold));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  return label;
}

HeaderBox::HeaderBox(QWidget* parent, const char* objectName, const QRect& place, const QString& title)
    : QWidget(parent) {
  setObjectName(QLatin1String(objectName));
  setGeometry(place);
  title_ = MakeLabel(this, (QByteArray(objectName) + "Title").constData(), QRect(12, 1, place.width() - 24, 29), title,
                     14, true, Qt::white);
}

void HeaderBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), skin::kContent);
  p.fillRect(1, 1, width() - 2, 30, skin::kFrame);
  p.setPen(skin::kOutline);
  p.drawRect(1, 1, width() - 3, height() - 3);
  p.drawLine(1, 31, width() - 2, 31);
}

}  // namespace undelvo::ui
