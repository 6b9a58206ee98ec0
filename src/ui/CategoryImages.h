#pragma once
#include <QPixmap>

namespace undelvo::ui {

// How many images the category list has.
inline constexpr int kCategoryImageCount = 17;

// The category list's 16 x 16 images, drawn by the program: 0 a
// word-processor page, 1 a spreadsheet, 2 a presentation, 3 a note pad, 4 a
// PDF page, 5 to 9 pages labelled JPG, GIF, PNG, BMP and ICO, 10 a page with
// a note, 11 a disc, 12 an installer box with a disc, 13 an empty
// application window, 14 a page with gears, 15 a globe, 16 a page with a
// question mark. An index outside 0..16 gives image 16. Each image is drawn
// once and shared (until the application object goes).
QPixmap CategoryImage(int index);

}  // namespace undelvo::ui
