#include "ui/Skin.h"

#include <QFontDatabase>

namespace undelvo::ui {

QColor ButtonColorA(ButtonStyle style) {
  switch (style) {
    case ButtonStyle::Blue: return {78, 124, 202};
    case ButtonStyle::Green: return {72, 183, 50};
    case ButtonStyle::Grey: break;
  }
  return {139, 139, 139};
}

QColor ButtonColorB(ButtonStyle style) {
  switch (style) {
    case ButtonStyle::Blue: return {31, 72, 124};
    case ButtonStyle::Green: return {64, 169, 64};
    case ButtonStyle::Grey: break;
  }
  return {168, 168, 168};
}

void DrawDialogFrame(QPainter& p, QSize size) {
  const int w = size.width(), h = size.height();
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(0, 0, w, h, skin::kOutline);
  p.fillRect(1, 1, w - 2, h - 2, skin::kFrame);
  p.fillRect(10, 36, w - 20, h - 46, skin::kContent);
  p.restore();
}

void DrawCloseGlyph(QPainter& p) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(0, 0, 14, 14, skin::kFrame);
  p.setPen(QPen(Qt::white, 1));
  p.drawPolyline(QPolygon({QPoint(1, 1), QPoint(13, 1), QPoint(13, 13), QPoint(1, 13), QPoint(1, 1)}));
  p.setPen(QPen(Qt::white, 2));
  p.drawLine(3, 3, 11, 11);
  p.drawLine(3, 11, 11, 3);
  p.restore();
}

void DrawButtonFace(QPainter& p, QSize size, ButtonStyle style, bool highlighted) {
  const int w = size.width(), h = size.height();
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(0, 0, w, h, highlighted ? ButtonColorB(style) : ButtonColorA(style));
  p.setPen(QPen(Qt::white, 1));
  p.drawPolyline(QPolygon({QPoint(1, 1), QPoint(w - 2, 1), QPoint(w - 2, h - 2), QPoint(1, h - 2), QPoint(1, 1)}));
  p.restore();
}

QFont SkinFont(int pixels, bool bold) {
  static const bool segoe = QFontDatabase::families().contains(QStringLiteral("Segoe UI"));
  QFont font = segoe ? QFont(QStringLiteral("Segoe UI")) : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace undelvo::ui
