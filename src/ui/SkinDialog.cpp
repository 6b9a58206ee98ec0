#include "ui/SkinDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace undelvo::ui {

SkinDialog::SkinDialog(QSize size, int dragBand, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), dragBand_(dragBand) {
  setFixedSize(size);
  setFont(SkinFont(13));

  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("ActionLabel"));
  title_->setFont(SkinFont(16));
  title_->setTextFormat(Qt::PlainText);
  title_->setGeometry(12, 7, size.width() - 24, 22);
  title_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QPalette pal = title_->palette();
  pal.setColor(QPalette::WindowText, Qt::white);
  title_->setPalette(pal);
  // Presses on the title go to the window, which starts the move.
  title_->setAttribute(Qt::WA_TransparentForMouseEvents);

  hover_ = new HoverGroup(this);
  hover_->WatchBackground(this);
}

void SkinDialog::SetTitle(const QString& title) {
  title_->setText(title);
  setWindowTitle(title);
  setAccessibleName(title);
}

QString SkinDialog::Title() const { return title_->text(); }

QLabel* SkinDialog::AddMessageLabel(const QRect& geometry) {
  info_ = new QLabel(this);
  info_->setObjectName(QStringLiteral("InfoLabel"));
  // File names and paths show as they are, never as markup.
  info_->setTextFormat(Qt::PlainText);
  info_->setAlignment(Qt::AlignCenter);
  info_->setWordWrap(true);
  info_->setGeometry(geometry);
  return info_;
}

void SkinDialog::SetMessage(const QString& text) {
  if (!info_) return;
  info_->setText(text);
  info_->setAccessibleName(text);
  info_->setAccessibleDescription(text);
  setAccessibleDescription(text);
}

QString SkinDialog::Message() const { return info_ ? info_->text() : QString(); }

void SkinDialog::paintEvent(QPaintEvent*) {
  QPainter p(this);
  DrawDialogFrame(p, size());
}

void SkinDialog::showEvent(QShowEvent* event) {
  CentreOverAnchor();
  QDialog::showEvent(event);
}

void SkinDialog::CentreOverAnchor() {
  QWidget* over = anchor_ ? anchor_->window() : (parentWidget() ? parentWidget()->window() : nullptr);
  if (over == this) over = nullptr;
  QScreen* screen = over && over->screen() ? over->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect();
  QPoint centre;
  if (over && over->isVisible())
    centre = over->frameGeometry().center();
  else if (area.isValid())
    centre = area.center();
  else
    return;
  QPoint topLeft = centre - QPoint(width() / 2, height() / 2);
  if (area.isValid()) {
    topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - width() + 1)));
    topLeft.setY(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() - height() + 1)));
  }
  move(topLeft);
  // Kept in front of the window it speaks for, also when it has no parent.
  if (over && !parentWidget() && windowHandle() && over->windowHandle())
    windowHandle()->setTransientParent(over->windowHandle());
}

void SkinDialog::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && event->position().y() < dragBand_) {
    if (windowHandle() && windowHandle()->startSystemMove()) {
      event->accept();
      return;
    }
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
    event->accept();
    return;
  }
  QDialog::mousePressEvent(event);
}

void SkinDialog::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - dragOffset_);
    event->accept();
    return;
  }
  dragging_ = false;
  QDialog::mouseMoveEvent(event);
}

void SkinDialog::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_ && event->button() == Qt::LeftButton) {
    dragging_ = false;
    event->accept();
    return;
  }
  QDialog::mouseReleaseEvent(event);
}

}  // namespace undelvo::ui
