#pragma once
#include <QDialog>
#include <QPoint>
#include <QPointer>

#include "ui/ImageButton.h"

class QLabel;

namespace undelvo::ui {

// The base of the program's small dialogs: a borderless window of a fixed
// size that paints the dialog frame, a white title (`ActionLabel`, 16 pixels)
// at the top left of the title strip, the dialog font (13 pixels), and the
// hover rules of its image buttons with the window's background.
//
// Each show centres it over the anchor's window (SetAnchor), else over its
// parent's window, else on the screen, kept on that screen. A left press in
// the top `dragBand` pixels moves the window: the window system's own move
// where it offers one, else the window follows the mouse until release.
class SkinDialog : public QDialog {
  Q_OBJECT
 public:
  SkinDialog(QSize size, int dragBand, QWidget* parent = nullptr);

  void SetTitle(const QString& title);
  QString Title() const;
  QLabel* ActionLabel() const { return title_; }
  HoverGroup& Hover() { return *hover_; }
  int DragBand() const { return dragBand_; }
  // The widget whose window the next shows centre over (and stay in front of).
  void SetAnchor(QWidget* over) { anchor_ = over; }

  // The message label (`InfoLabel`), once a dialog has made one; plain
  // text, centred, word-wrapped.
  QLabel* InfoLabel() const { return info_; }
  // Puts `text` into the message label, and makes it what a screen reader
  // says for the label and the dialog (accessible name and description).
  void SetMessage(const QString& text);
  QString Message() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

  QLabel* AddMessageLabel(const QRect& geometry);

 private:
  void CentreOverAnchor();

  int dragBand_;
  QLabel* title_;
  QLabel* info_ = nullptr;
  HoverGroup* hover_;
  QPointer<QWidget> anchor_;
  bool dragging_ = false;
  QPoint dragOffset_;
};

}  // namespace undelvo::ui
