#include "ui/ImageButton.h"

#include <QEnterEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace undelvo::ui {

namespace {

// Focus that came from the keyboard is shown; focus given by a click, by the
// window opening or by the program is not.
bool KeyboardReason(Qt::FocusReason reason) {
  return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

}  // namespace

// ---------------------------------------------------------------- ImageButton

ImageButton::ImageButton(const QString& caption, ButtonStyle style, QWidget* parent)
    : QPushButton(caption, parent), style_(style) {
  setFont(SkinFont(14, true));
  setCursor(Qt::PointingHandCursor);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  // The whole face is painted; nothing of the style shows through.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageButton::SetStyle(ButtonStyle style) {
  if (style_ == style) return;
  style_ = style;
  update();
}

void ImageButton::SetHighlighted(bool on) {
  if (highlighted_ == on) return;
  highlighted_ = on;
  update();
}

bool ImageButton::LooksHighlighted() const {
  if (!isEnabled()) return false;
  return highlighted_ || isDown() || (focusShown_ && hasFocus());
}

void ImageButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  DrawButtonFace(p, size(), style_, LooksHighlighted());
  QColor caption(Qt::white);
  if (!isEnabled()) caption.setAlpha(140);
  p.setPen(caption);
  p.setFont(font());
  p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
}

void ImageButton::MouseOver() {
  if (group_)
    group_->Highlight(this);
  else
    SetHighlighted(true);
}

void ImageButton::mouseMoveEvent(QMouseEvent* event) {
  QPushButton::mouseMoveEvent(event);
  MouseOver();
  // Taken here: a move passed on to the container would count as its
  // background's and put this button straight back to normal.
  event->accept();
}

void ImageButton::enterEvent(QEnterEvent* event) {
  // Only a move highlights: a window that opens under a resting mouse keeps
  // its buttons in their normal look.
  QPushButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  if (!group_) SetHighlighted(false);
}

void ImageButton::focusInEvent(QFocusEvent* event) {
  focusShown_ = KeyboardReason(event->reason());
  QPushButton::focusInEvent(event);
  update();
}

void ImageButton::focusOutEvent(QFocusEvent* event) {
  focusShown_ = false;
  QPushButton::focusOutEvent(event);
  update();
}

void ImageButton::keyPressEvent(QKeyEvent* event) {
  if (!focusShown_) {
    focusShown_ = true;
    update();
  }
  QPushButton::keyPressEvent(event);
}

void ImageButton::hideEvent(QHideEvent* event) {
  // Hidden on its own (not because its window closed): forget the highlight.
  if (isHidden()) highlighted_ = false;
  QPushButton::hideEvent(event);
}

// ---------------------------------------------------------------- HoverGroup

void HoverGroup::Add(ImageButton* button) {
  if (!button || std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end()) return;
  buttons_.push_back(button);
  button->SetGroup(this);
  connect(button, &QObject::destroyed, this, [this, button] {
    buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), button), buttons_.end());
  });
}

void HoverGroup::WatchBackground(QWidget* background) {
  if (!background) return;
  background->setMouseTracking(true);
  background->installEventFilter(this);
}

void HoverGroup::ResetAll() {
  for (ImageButton* b : buttons_)
    if (b->Highlighted() && (!resettable_ || resettable_(b))) b->SetHighlighted(false);
}

void HoverGroup::Highlight(ImageButton* button) {
  if (!button || button->Highlighted()) return;
  ResetAll();
  button->SetHighlighted(true);
}

bool HoverGroup::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) ResetAll();
  return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------- TextButton

TextButton::TextButton(Kind kind, const QString& caption, QWidget* parent) : QAbstractButton(parent), kind_(kind) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  switch (kind_) {
    case Kind::Tab:
      setFont(SkinFont(14));
      break;
    case Kind::Link: {
      QFont f = SkinFont(13);
      f.setUnderline(true);
      setFont(f);
      break;
    }
    default:
      break;
  }
  SetCaption(caption);
  resize(sizeHint());
}

void TextButton::SetCaption(const QString& caption) {
  if (IsGlyph()) {
    setToolTip(caption);  // the accessible name follows (event())
  } else {
    setText(caption);
    updateGeometry();
  }
  update();
}

void TextButton::SetSelected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  update();
}

void TextButton::SetTextColor(const QColor& color) {
  if (textColor_ == color) return;
  textColor_ = color;
  update();
}

QSize TextButton::sizeHint() const {
  switch (kind_) {
    case Kind::Tab:
      return {140, 36};
    case Kind::Link: {
      const QFontMetrics fm(font());
      return {fm.horizontalAdvance(text()) + 4, fm.height() + 2};
    }
    default:
      return {20, 20};
  }
}

bool TextButton::event(QEvent* event) {
  if (event->type() == QEvent::ToolTipChange && IsGlyph()) setAccessibleName(toolTip());
  return QAbstractButton::event(event);
}

void TextButton::focusInEvent(QFocusEvent* event) {
  focusShown_ = KeyboardReason(event->reason());
  QAbstractButton::focusInEvent(event);
  update();
}

void TextButton::focusOutEvent(QFocusEvent* event) {
  focusShown_ = false;
  QAbstractButton::focusOutEvent(event);
  update();
}

void TextButton::keyPressEvent(QKeyEvent* event) {
  if (!focusShown_) {
    focusShown_ = true;
    update();
  }
  QAbstractButton::keyPressEvent(event);
}

void TextButton::PaintGlyph(QPainter& p) const {
  p.fillRect(rect(), skin::kFrame);
  // Drawn pixel by pixel in a 20 x 20 box (crisp at that size), scaled when
  // the button is another size.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.scale(width() / 20.0, height() / 20.0);
  switch (kind_) {
    case Kind::TopHelp: {
      // A question mark of 2-pixel strokes.
      static const char* const rows[] = {
          "..####..",  //
          ".######.",  //
          "##....##",  //
          "......##",  //
          ".....##.",  //
          "....##..",  //
          "...##...",  //
          "...##...",  //
          "........",  //
          "...##...",  //
          "...##...",  //
      };
      for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 8; ++x)
          if (rows[y][x] == '#') p.fillRect(6 + x, 5 + y, 1, 1, Qt::white);
      break;
    }
    case Kind::TopMinimise:
      p.fillRect(5, 13, 10, 2, Qt::white);
      break;
    case Kind::TopClose:
      // Two diagonals, each two pixels wide.
      for (int i = 0; i < 9; ++i) {
        p.fillRect(5 + i, 5 + i, 2, 1, Qt::white);
        p.fillRect(13 - i, 5 + i, 2, 1, Qt::white);
      }
      break;
    default:
      break;
  }
  p.resetTransform();
}

void TextButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width(), h = height();
  QColor focusColour(Qt::white);
  switch (kind_) {
    case Kind::Tab: {
      p.fillRect(rect(), skin::kContent);
      if (!selected_) p.fillRect(1, 1, w - 2, h - 1, skin::kFrame);
      QFont f = font();
      f.setBold(selected_);
      p.setFont(f);
      QColor caption = selected_ ? skin::kSelectedTab : QColor(Qt::white);
      if (!isEnabled()) caption.setAlpha(110);  // a greyed tab: the results of the other scan are shown
      p.setPen(caption);
      p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
      if (selected_) focusColour = skin::kSelectedTab;
      break;
    }
    case Kind::Link: {
      QColor c = textColor_;
      if (!isEnabled()) c.setAlpha(140);
      p.setFont(font());
      p.setPen(c);
      p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
      focusColour = textColor_;
      break;
    }
    default:
      PaintGlyph(p);
      break;
  }
  if (hasFocus() && focusShown_) {
    // Inside a tab's white edge, where a white outline would not show.
    const int in = kind_ == Kind::Tab ? 3 : 0;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(focusColour, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(in, in, w - 1 - 2 * in, h - 1 - 2 * in);
  }
}

}  // namespace undelvo::ui
