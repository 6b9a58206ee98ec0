#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QSize>

namespace undelvo::ui {

// The program's colours.
namespace skin {
inline const QColor kFrame{78, 124, 202};          // frame, title strip, unselected tabs
inline const QColor kOutline{102, 102, 102};       // outlines and rectangles
inline const QColor kContent{255, 255, 255};       // content areas
inline const QColor kSelectedTab{17, 136, 204};    // the selected tab's caption
inline const QColor kProgress{72, 183, 50};        // progress bars
}  // namespace skin

// The three looks of an image button: normal (A) and highlighted (B) colours.
enum class ButtonStyle { Grey = 0, Blue = 1, Green = 2 };
QColor ButtonColorA(ButtonStyle style);
QColor ButtonColorB(ButtonStyle style);

// The frame of a dialog over a W x H area: a 1-pixel outline, the frame
// colour, a white content area below a 36-pixel title strip with 10-pixel
// borders on the other sides.
void DrawDialogFrame(QPainter& p, QSize size);

// The 14 x 14 close glyph of the preview window: a white square outline and a
// white cross on the frame colour.
void DrawCloseGlyph(QPainter& p);

// One look of an image button over a W x H area: filled with the style's A
// (or B when `highlighted`) colour, with a white outline one pixel inside the edge.
void DrawButtonFace(QPainter& p, QSize size, ButtonStyle style, bool highlighted);

// The program's font: "Segoe UI" where installed, else the desktop's sans
// font, at `pixels` pixels.
QFont SkinFont(int pixels, bool bold = false);

}  // namespace undelvo::ui
