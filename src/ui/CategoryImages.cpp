#include "ui/CategoryImages.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cmath>

namespace undelvo::ui {

namespace {

const QColor kPageOutline(112, 112, 112);
const QColor kPageFill(255, 255, 255);
const QColor kFold(214, 214, 214);
const QColor kTextLine(160, 160, 160);

// A page from x 2 to 13 with its top right corner folded over.
void DrawPage(QPainter& p) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(kPageFill);
  p.drawPolygon(QPolygon({{2, 0}, {10, 0}, {13, 3}, {13, 15}, {2, 15}}));
  p.setPen(kPageOutline);
  p.drawPolyline(QPolygon({{10, 0}, {2, 0}, {2, 15}, {13, 15}, {13, 3}, {10, 0}}));
  p.setBrush(kFold);
  p.drawPolygon(QPolygon({{10, 0}, {10, 3}, {13, 3}}));
  p.restore();
}

// Grey text lines on a page, rows `from` to `to`, every other row.
void DrawTextLines(QPainter& p, int from, int to, const QColor& color = kTextLine) {
  for (int y = from; y <= to; y += 2) p.fillRect(4, y, y == from ? 5 : 8, 1, color);
}

// Letters of 3 x 5 pixels, each row three bits, the left pixel the high bit.
struct Glyph {
  char letter;
  std::array<uint8_t, 5> rows;
};
constexpr Glyph kGlyphs[] = {
    {'B', {6, 5, 6, 5, 6}}, {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}}, {'F', {7, 4, 6, 4, 4}},
    {'G', {3, 4, 5, 5, 3}}, {'I', {7, 2, 2, 2, 7}}, {'J', {1, 1, 1, 5, 2}}, {'M', {5, 7, 7, 5, 5}},
    {'N', {6, 5, 5, 5, 5}}, {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}},
};

// `text` in the 3 x 5 letters, one pixel apart, its top left at (x, y).
void DrawTinyText(QPainter& p, int x, int y, const char* text, const QColor& color) {
  for (; *text; ++text, x += 4) {
    for (const Glyph& g : kGlyphs) {
      if (g.letter != *text) continue;
      for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
          if (g.rows[row] & (4 >> col)) p.fillRect(x + col, y + row, 1, 1, color);
    }
  }
}

// A coloured band across the lower page holding a three-letter label.
void DrawLabelBand(QPainter& p, const char* label, const QColor& color) {
  p.fillRect(1, 8, 14, 7, color);
  DrawTinyText(p, 2, 9, label, Qt::white);
}

// A small picture above a label band: sky, a sun and a green hill.
void DrawLandscape(QPainter& p) {
  p.fillRect(4, 2, 6, 5, QColor(150, 200, 240));
  p.fillRect(4, 5, 8, 2, QColor(90, 170, 70));
  p.fillRect(6, 4, 3, 1, QColor(90, 170, 70));
  p.fillRect(5, 3, 1, 1, QColor(250, 200, 40));
}

// A square badge with a white letter drawn as lines, bottom left of a page.
void DrawBadge(QPainter& p, const QColor& color, const QPolygonF& letter) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(0, 6, 9, 9, color);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.drawPolyline(letter);
  p.restore();
}

void DrawWordProcessor(QPainter& p) {
  DrawPage(p);
  DrawTextLines(p, 3, 13, QColor(120, 150, 200));
  DrawBadge(p, QColor(43, 87, 154), QPolygonF({{1.5, 8}, {3, 13}, {4.5, 9.5}, {6, 13}, {7.5, 8}}));
}

void DrawSpreadsheet(QPainter& p) {
  DrawPage(p);
  const QColor grid(33, 115, 70);
  for (int y = 3; y <= 13; y += 2) p.fillRect(4, y, 8, 1, QColor(180, 215, 190));
  for (int x = 6; x <= 11; x += 3) p.fillRect(x, 3, 1, 11, QColor(180, 215, 190));
  DrawBadge(p, grid, QPolygonF({{2, 8}, {7, 13}}));
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(Qt::white, 1.2));
  p.drawLine(QPointF(7, 8), QPointF(2, 13));
  p.restore();
}

void DrawPresentation(QPainter& p) {
  DrawPage(p);
  const QColor orange(210, 71, 38);
  // A slide with a little bar chart above the badge.
  p.fillRect(4, 2, 6, 3, QColor(250, 215, 200));
  p.fillRect(10, 3, 2, 2, QColor(250, 215, 200));
  p.fillRect(9, 3, 1, 2, orange);
  p.fillRect(11, 2, 1, 3, orange);
  DrawBadge(p, orange, QPolygonF({{2.5, 13.5}, {2.5, 8.5}, {5.5, 8.5}, {6.5, 9.5}, {6.5, 10}, {5.5, 11}, {2.5, 11}}));
}

void DrawNotePad(QPainter& p) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(kPageOutline);
  p.setBrush(QColor(255, 250, 200));
  p.drawRect(2, 2, 11, 13);
  // The binding across the top with its rings.
  p.fillRect(2, 1, 12, 3, QColor(60, 110, 190));
  for (int x = 4; x <= 11; x += 3) p.fillRect(x, 0, 1, 3, QColor(90, 90, 90));
  for (int y = 6; y <= 13; y += 2) p.fillRect(4, y, 8, 1, QColor(150, 170, 210));
  p.restore();
}

void DrawPdf(QPainter& p) {
  DrawPage(p);
  DrawTextLines(p, 2, 6);
  DrawLabelBand(p, "PDF", QColor(200, 30, 30));
}

void DrawImagePage(QPainter& p, const char* label, const QColor& color) {
  DrawPage(p);
  DrawLandscape(p);
  DrawLabelBand(p, label, color);
}

void DrawSound(QPainter& p) {
  DrawPage(p);
  // Two beamed notes, drawn pixel by pixel so that they stay sharp.
  const QColor note(40, 70, 150);
  p.fillRect(4, 11, 3, 2, note);
  p.fillRect(3, 12, 1, 1, note);
  p.fillRect(9, 10, 3, 2, note);
  p.fillRect(8, 11, 1, 1, note);
  p.fillRect(6, 4, 1, 8, note);
  p.fillRect(11, 3, 1, 8, note);
  p.fillRect(6, 3, 6, 2, note);
}

void DrawDisc(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  QConicalGradient shine(r.center(), 45);
  shine.setColorAt(0.0, QColor(230, 230, 240));
  shine.setColorAt(0.2, QColor(170, 200, 235));
  shine.setColorAt(0.45, QColor(235, 215, 240));
  shine.setColorAt(0.7, QColor(180, 230, 200));
  shine.setColorAt(1.0, QColor(230, 230, 240));
  p.setPen(QPen(QColor(110, 110, 120), 1));
  p.setBrush(shine);
  p.drawEllipse(r);
  const double hole = r.width() / 4.5;
  p.setBrush(Qt::white);
  p.drawEllipse(r.center(), hole, hole);
  p.restore();
}

void DrawInstaller(QPainter& p) {
  // The disc stands out of the open box.
  DrawDisc(p, QRectF(3.5, 0.5, 9, 9));
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor edge(120, 80, 30);
  p.setPen(edge);
  p.setBrush(QColor(215, 165, 90));
  p.drawRect(1, 7, 13, 8);
  p.fillRect(2, 8, 12, 2, QColor(190, 140, 70));
  p.fillRect(6, 11, 4, 2, QColor(250, 240, 220));
  p.restore();
}

void DrawWindow(QPainter& p) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QColor(60, 90, 150));
  p.setBrush(Qt::white);
  p.drawRect(0, 1, 15, 13);
  p.fillRect(1, 2, 14, 3, QColor(78, 124, 202));
  p.fillRect(12, 3, 2, 1, Qt::white);
  p.restore();
}

// A gear of `teeth` teeth around `centre`, with a hole.
void DrawGear(QPainter& p, QPointF centre, double outer, double inner, int teeth, const QColor& color) {
  QPainterPath path;
  for (int i = 0; i < teeth * 4; ++i) {
    const double angle = (i - 0.5) * M_PI / (teeth * 2);
    const double radius = (i % 4 < 2) ? outer : inner;
    const QPointF pt = centre + QPointF(std::cos(angle) * radius, std::sin(angle) * radius);
    if (i == 0)
      path.moveTo(pt);
    else
      path.lineTo(pt);
  }
  path.closeSubpath();
  path.addEllipse(centre, inner * 0.4, inner * 0.4);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawPath(path);
}

void DrawGears(QPainter& p) {
  DrawPage(p);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  DrawGear(p, {6.5, 6.5}, 4.2, 3.0, 6, QColor(90, 100, 120));
  DrawGear(p, {10, 11.5}, 3.2, 2.2, 5, QColor(60, 120, 200));
  p.restore();
}

void DrawGlobe(QPainter& p) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF ball(0.5, 0.5, 15, 15);
  QRadialGradient sea(QPointF(5, 5), 11);
  sea.setColorAt(0, QColor(120, 190, 250));
  sea.setColorAt(1, QColor(30, 90, 190));
  p.setPen(QPen(QColor(20, 60, 140), 1));
  p.setBrush(sea);
  p.drawEllipse(ball);
  // Land.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(80, 170, 70));
  p.drawPolygon(QPolygonF({{3, 4}, {7, 3}, {8, 6}, {6, 8}, {6.5, 11}, {4.5, 12}, {3.5, 8}, {2, 7}}));
  p.drawPolygon(QPolygonF({{10, 5}, {13, 6}, {13.5, 10}, {11, 12}, {10, 9}}));
  // Meridian and equator.
  p.setPen(QPen(QColor(255, 255, 255, 150), 0.8));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(4.5, 0.5, 7, 15));
  p.drawLine(QPointF(1, 8), QPointF(15, 8));
  p.restore();
}

void DrawQuestion(QPainter& p) {
  DrawPage(p);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor blue(40, 90, 180);
  p.setPen(QPen(blue, 1.8, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath mark;
  mark.moveTo(5.2, 5.5);
  mark.cubicTo(5.2, 2.6, 10.8, 2.6, 10.8, 5.3);
  mark.cubicTo(10.8, 7.2, 8, 7.4, 8, 9.6);
  p.drawPath(mark);
  p.setPen(Qt::NoPen);
  p.setBrush(blue);
  p.drawRect(QRectF(7.1, 11.2, 1.8, 1.8));
  p.restore();
}

QPixmap Draw(int index) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  switch (index) {
    case 0: DrawWordProcessor(p); break;
    case 1: DrawSpreadsheet(p); break;
    case 2: DrawPresentation(p); break;
    case 3: DrawNotePad(p); break;
    case 4: DrawPdf(p); break;
    case 5: DrawImagePage(p, "JPG", QColor(230, 120, 20)); break;
    case 6: DrawImagePage(p, "GIF", QColor(140, 60, 170)); break;
    case 7: DrawImagePage(p, "PNG", QColor(20, 140, 140)); break;
    case 8: DrawImagePage(p, "BMP", QColor(40, 90, 180)); break;
    case 9: DrawImagePage(p, "ICO", QColor(70, 150, 50)); break;
    case 10: DrawSound(p); break;
    case 11: DrawDisc(p, QRectF(0.5, 0.5, 15, 15)); break;
    case 12: DrawInstaller(p); break;
    case 13: DrawWindow(p); break;
    case 14: DrawGears(p); break;
    case 15: DrawGlobe(p); break;
    default: DrawQuestion(p); break;
  }
  return pixmap;
}

// The drawn images. Emptied when the application object goes, since
// pixmaps must not outlive it.
std::array<QPixmap, kCategoryImageCount>& Cache() {
  static std::array<QPixmap, kCategoryImageCount> cache;
  return cache;
}
bool cleanupAdded = false;

void ClearCache() {
  for (QPixmap& pixmap : Cache()) pixmap = QPixmap();
  cleanupAdded = false;
}

}  // namespace

QPixmap CategoryImage(int index) {
  if (index < 0 || index >= kCategoryImageCount) index = kCategoryImageCount - 1;
  QPixmap& kept = Cache()[size_t(index)];
  if (kept.isNull()) {
    kept = Draw(index);
    if (!cleanupAdded) {
      qAddPostRoutine(ClearCache);
      cleanupAdded = true;
    }
  }
  return kept;
}

}  // namespace undelvo::ui
