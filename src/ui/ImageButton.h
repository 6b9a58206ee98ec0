#pragma once
#include <QAbstractButton>
#include <QColor>
#include <QPointer>
#include <QPushButton>
#include <functional>
#include <vector>

#include "ui/Skin.h"

namespace undelvo::ui {

class HoverGroup;

// A button painted in the program's skin: the normal look, or the
// highlighted look while the mouse has last moved over it (the hover rules of
// its HoverGroup), while it has the keyboard focus or while it is pressed;
// the caption in white, centred. A real QPushButton: Tab reaches it, Space
// and Enter press it, its caption is its accessible name, and it can be a
// dialog's default button.
//
// The focus shows only when it came from the keyboard (Tab, a shortcut, a key
// pressed while focused), so a dialog's first button does not look hot when
// the dialog opens. A disabled button paints its normal look with a dimmed
// caption. A button hidden on its own (not with its window) drops its
// highlight, so it comes back normal when shown again. Without a group the
// highlight simply follows the mouse in and out.
class ImageButton : public QPushButton {
  Q_OBJECT
 public:
  ImageButton(const QString& caption, ButtonStyle style, QWidget* parent = nullptr);

  ButtonStyle Style() const { return style_; }
  void SetStyle(ButtonStyle style);
  // Whether the highlighted look is on by the hover rules.
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool on);
  void SetGroup(HoverGroup* group) { group_ = group; }
  // Whether paintEvent draws the highlighted look now: the hover rules, a
  // keyboard focus or a press, and only while enabled.
  bool LooksHighlighted() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void MouseOver();

  ButtonStyle style_;
  bool highlighted_ = false;
  bool focusShown_ = false;
  QPointer<HoverGroup> group_;
};

// The image buttons of one container (a panel, a dialog). The mouse over a
// button highlights it and puts the container's other buttons back to
// normal; the mouse over the container's background puts them all back. A
// highlight lasts when the mouse leaves the window straight away. Moves over
// other children of the container (a label) do not count: watch such a child
// as background too where it should.
class HoverGroup : public QObject {
  Q_OBJECT
 public:
  explicit HoverGroup(QObject* parent = nullptr) : QObject(parent) {}
  void Add(ImageButton* button);
  // Mouse moves over `background` put the buttons back to normal.
  void WatchBackground(QWidget* background);
  // Which buttons the background puts back (all by default), e.g. Stop only while a run goes on.
  // Also applies when another button is highlighted: a button the predicate
  // keeps is left as it is.
  void SetResettable(std::function<bool(const ImageButton*)> resettable) { resettable_ = std::move(resettable); }
  // Every resettable button back to its normal look.
  void ResetAll();
  // The mouse moved over `button`: unless it is already highlighted, ResetAll
  // and then highlight it.
  void Highlight(ImageButton* button);
  const std::vector<ImageButton*>& Buttons() const { return buttons_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<ImageButton*> buttons_;
  std::function<bool(const ImageButton*)> resettable_;
};

// A button that looks like a text: a tab, a top button (a glyph with a
// tooltip), a link. Focus (when it came from the keyboard) shows as a dotted
// outline; the caption (or, for a glyph, its tooltip text) is its accessible
// name.
//
// Tabs (140 x 36 by default): the chosen one white with a bold caption in
// the selected-tab blue; the others frame-coloured with a 1-pixel white edge
// left, top and right and a white normal caption. Links: underlined text in
// the link colour (white by default) on the parent's background. Top glyphs
// (20 x 20): a white "?", "_" or cross on the frame colour; the caption given
// is their tooltip, which the accessible name follows.
class TextButton : public QAbstractButton {
  Q_OBJECT
 public:
  enum class Kind { Tab, Link, TopHelp, TopMinimise, TopClose };
  TextButton(Kind kind, const QString& caption, QWidget* parent = nullptr);
  Kind ButtonKind() const { return kind_; }
  // Tabs: the chosen tab is white with a blue bold caption; the others frame-coloured.
  void SetSelected(bool selected);
  bool Selected() const { return selected_; }
  // The text of a tab or link, the tooltip (and accessible name) of a glyph.
  void SetCaption(const QString& caption);
  // Links: the colour of the text.
  void SetTextColor(const QColor& color);
  QColor TextColor() const { return textColor_; }
  bool IsGlyph() const { return kind_ != Kind::Tab && kind_ != Kind::Link; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void PaintGlyph(QPainter& p) const;

  Kind kind_;
  bool selected_ = false;
  bool focusShown_ = false;
  QColor textColor_{Qt::white};
};

}  // namespace undelvo::ui
