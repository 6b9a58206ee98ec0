#pragma once
#include <QColor>
#include <QLabel>
#include <QRect>
#include <QString>

#include "ui/Skin.h"

namespace undelvo::ui {

// A label of the skin at a fixed place, named for tests and screen readers.
QLabel* MakeLabel(QWidget* parent, const char* objectName, const QRect& place, const QString& text,
                  int pixels = 13, bool bold = false, const QColor& color = QColor(51, 51, 51));

// A white box with a grey outline and a grey header strip of 30 pixels
// carrying `title`, as the scan panels group their parts.
class HeaderBox : public QWidget {
  Q_OBJECT
 public:
  HeaderBox(QWidget* parent, const char* objectName, const QRect& place, const QString& title);
  QLabel* Title() const { return title_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* title_;
};

}  // namespace undelvo::ui
