#include "ui/Panel3.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

#include "settings/Registry.h"
#include "ui/PanelWidgets.h"

#ifndef UNDELVO_VERSION
#define UNDELVO_VERSION ""
#endif
#ifndef UNDELVO_SUPPORT_URL
#define UNDELVO_SUPPORT_URL ""
#endif

namespace undelvo::ui {

namespace {

const QColor kLinkColor{17, 136, 204};
const QColor kFolderBack{232, 176, 60};
const QColor kFolderFront{246, 200, 92};

// The panel's pictures, drawn over a square of `size` pixels at `origin`.

void DrawInfoIcon(QPainter& p, QPoint origin, int size) {
  p.save();
  p.translate(origin);
  p.setPen(Qt::NoPen);
  p.setBrush(skin::kFrame);
  p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
  p.setBrush(Qt::white);
  const qreal u = size / 12.0;
  p.drawEllipse(QRectF(5.1 * u, 2.4 * u, 1.8 * u, 1.8 * u));
  p.drawRoundedRect(QRectF(5.2 * u, 5.0 * u, 1.6 * u, 4.8 * u), 0.4 * u, 0.4 * u);
  p.restore();
}

// A drive with a green arrow leaving it: the product.
void DrawProductIcon(QPainter& p, QPoint origin, int size) {
  p.save();
  p.translate(origin);
  const qreal u = size / 12.0;
  p.setPen(QPen(skin::kOutline, 1));
  p.setBrush(QColor(238, 238, 238));
  p.drawRoundedRect(QRectF(0.5 * u, 6.2 * u, 11 * u, 4.8 * u), 0.8 * u, 0.8 * u);
  p.setPen(Qt::NoPen);
  p.setBrush(skin::kProgress);
  p.drawEllipse(QRectF(9.0 * u, 8.1 * u, 1.0 * u, 1.0 * u));
  p.setBrush(skin::kOutline);
  p.drawRect(QRectF(2.0 * u, 8.35 * u, 5.0 * u, 0.5 * u));
  // The arrow, up out of the drive.
  QPainterPath arrow;
  arrow.moveTo(6.0 * u, 0.5 * u);
  arrow.lineTo(9.2 * u, 3.6 * u);
  arrow.lineTo(7.2 * u, 3.6 * u);
  arrow.lineTo(7.2 * u, 6.8 * u);
  arrow.lineTo(4.8 * u, 6.8 * u);
  arrow.lineTo(4.8 * u, 3.6 * u);
  arrow.lineTo(2.8 * u, 3.6 * u);
  arrow.closeSubpath();
  p.setBrush(skin::kProgress);
  p.setPen(QPen(Qt::white, 1));
  p.drawPath(arrow);
  p.restore();
}

// A speech bubble with a question mark: the support line.
void DrawSupportIcon(QPainter& p, QPoint origin, int size) {
  p.save();
  p.translate(origin);
  const qreal u = size / 12.0;
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(0.5 * u, 0.5 * u, 11 * u, 8.2 * u), 2 * u, 2 * u);
  QPainterPath tail;
  tail.moveTo(2.6 * u, 8.0 * u);
  tail.lineTo(2.2 * u, 11.4 * u);
  tail.lineTo(5.6 * u, 8.0 * u);
  tail.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(kLinkColor);
  p.drawPath(bubble.united(tail));
  QFont f = SkinFont(qRound(6.6 * u), true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(0.5 * u, 0.5 * u, 11 * u, 8.2 * u), Qt::AlignCenter, QStringLiteral("?"));
  p.restore();
}

// A folder: where restored files go.
void DrawFolderIcon(QPainter& p, QPoint origin, int size) {
  p.save();
  p.translate(origin);
  const qreal u = size / 12.0;
  p.setPen(Qt::NoPen);
  QPainterPath back;
  back.moveTo(0.5 * u, 2.0 * u);
  back.lineTo(4.2 * u, 2.0 * u);
  back.lineTo(5.2 * u, 3.2 * u);
  back.lineTo(11.5 * u, 3.2 * u);
  back.lineTo(11.5 * u, 10.5 * u);
  back.lineTo(0.5 * u, 10.5 * u);
  back.closeSubpath();
  p.setBrush(kFolderBack);
  p.drawPath(back);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1.6 * u, 4.0 * u, 8.8 * u, 3.0 * u));
  QPainterPath front;
  front.moveTo(0.5 * u, 5.0 * u);
  front.lineTo(11.5 * u, 5.0 * u);
  front.lineTo(11.5 * u, 10.5 * u);
  front.lineTo(0.5 * u, 10.5 * u);
  front.closeSubpath();
  p.setBrush(kFolderFront);
  p.drawPath(front);
  p.restore();
}

// The folder the picker opens at: the edit's folder, or the nearest folder
// above it that exists (the default save folder usually does not yet).
QString ExistingFolderAtOrAbove(const QString& path) {
  if (path.isEmpty()) return QDir::homePath();
  QFileInfo info(QDir::cleanPath(path));
  while (!info.isDir()) {
    const QString parent = info.absolutePath();
    if (parent == info.absoluteFilePath()) return QDir::homePath();
    info.setFile(parent);
  }
  return info.absoluteFilePath();
}

QString PickWithDialog(QWidget* owner, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(owner, title, start);
}

}  // namespace

QString Panel3::DefaultSupportUrl() { return QString::fromUtf8(UNDELVO_SUPPORT_URL); }

QString Panel3::ProgramVersion() { return QString::fromUtf8(UNDELVO_VERSION); }

Panel3::Panel3(UiContext& ctx, QWidget* parent)
    : QWidget(parent),
      ctx_(ctx),
      hover_(new HoverGroup(this)),
      picker_(PickWithDialog),
      opener_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
  setObjectName(QStringLiteral("Panel3"));
  setFixedSize(800, 470);
  setAutoFillBackground(true);
  hover_->WatchBackground(this);

  MakeLabel(this, "Panel3ActionLabel", QRect(88, 14, 690, 26), ctx.Text("About", "About"), 20, true);
  MakeLabel(this, "Panel3HintLabel", QRect(88, 42, 690, 20), ctx.Text("About", "AboutHint"));

  MakeLabel(this, "Panel3Label2A", QRect(88, 102, 400, 24), QStringLiteral("Undelvo"), 17, true);
  MakeLabel(this, "Panel3Label2B", QRect(88, 128, 400, 20),
            ctx.Text("About", "Version") + QLatin1Char(' ') + ProgramVersion());

  supportLine_ = MakeLabel(this, "Panel3Label4A", QRect(88, 272, 401, 36), ctx.Text("About", "SupportHint"));
  supportLine_->setWordWrap(true);
  supportLine_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // one line sits level with the link
  supportLink_ = new TextButton(TextButton::Kind::Link, QString(), this);
  supportLink_->SetTextColor(kLinkColor);
  supportLink_->setObjectName(QStringLiteral("Panel3Label4B"));
  connect(supportLink_, &QAbstractButton::clicked, this, &Panel3::OpenSupportSite);

  folderHint_ = MakeLabel(this, "Panel3Label5", QRect(88, 324, 370, 34), ctx.Text("Options", "Option1"));
  folderHint_->setWordWrap(true);
  folderHint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  folder_ = new QLineEdit(this);
  folder_->setObjectName(QStringLiteral("Panel3Edit1"));
  folder_->setGeometry(88, 360, 370, 25);
  folder_->setFont(SkinFont(13));
  folder_->setReadOnly(true);
  folder_->setAccessibleName(folderHint_->text());

  browse_ = new QPushButton(QStringLiteral("..."), this);
  browse_->setObjectName(QStringLiteral("Panel3Button2"));
  browse_->setGeometry(464, 360, 25, 25);
  browse_->setToolTip(ctx.Text("Buttons", "Browse"));
  browse_->setAccessibleName(browse_->toolTip());
  connect(browse_, &QPushButton::clicked, this, &Panel3::Browse);

  save_ = new ImageButton(ctx.Text("Buttons", "Save"), ButtonStyle::Blue, this);
  save_->setObjectName(QStringLiteral("Panel3Button3"));
  // 200 pixels wide; a longer caption widens it, up to the panel's frame and then to the left.
  const int saveWidth = qBound(200, save_->fontMetrics().horizontalAdvance(save_->text()) + 24, 280);
  save_->setGeometry(qMin(552, width() - 8 - saveWidth), 358, saveWidth, 40);
  hover_->Add(save_);
  connect(save_, &QPushButton::clicked, this, &Panel3::SaveChanges);

  SetSupportUrl(DefaultSupportUrl());
  Enter();
}

void Panel3::Enter() {
  folder_->setText(ctx_.state.Program.Config.SaveFolder);
  folder_->setToolTip(folder_->text());
}

void Panel3::SetSupportUrl(const QString& address) {
  const QString trimmed = address.trimmed();
  supportUrl_ = trimmed.isEmpty() ? QUrl() : QUrl::fromUserInput(trimmed);
  const bool shown = supportUrl_.isValid() && !supportUrl_.host().isEmpty();
  if (!shown) supportUrl_ = QUrl();
  QString text = supportUrl_.toDisplayString(QUrl::RemoveScheme | QUrl::StripTrailingSlash);
  while (text.startsWith(QLatin1Char('/'))) text.remove(0, 1);
  // A long address is shortened in the middle to the room right of the support line.
  const int room = width() - 552 - 8;
  supportLink_->SetCaption(supportLink_->fontMetrics().elidedText(text, Qt::ElideMiddle, room - 4));
  supportLink_->setAccessibleName(text);
  supportLink_->setToolTip(supportUrl_.toDisplayString());
  supportLink_->setGeometry(552, 280, qMin(supportLink_->sizeHint().width(), room), 22);
  supportLink_->setVisible(shown);
  // The line only invites the user to the site; without an address it has nothing to point to.
  supportLine_->setVisible(shown);
  update();
}

void Panel3::Browse() {
  const QString picked = picker_(window(), folderHint_->text(), ExistingFolderAtOrAbove(folder_->text()));
  if (picked.isEmpty()) return;  // cancelled: the edit keeps its folder
  folder_->setText(QDir::cleanPath(picked));
  folder_->setToolTip(folder_->text());
}

void Panel3::SaveChanges() {
  Settings& config = ctx_.state.Program.Config;
  config.SaveFolder = folder_->text();
  RegWriteString(ctx_.state.Program.Registry, RegRoot::CurrentUser, kSettingsKey, QStringLiteral("SaveDir"),
                 config.SaveFolder);
  ctx_.prompter.Inform(window(), ctx_.Text("Options", "OptionsSaved"));
}

void Panel3::OpenSupportSite() {
  if (ctx_.state.Run.Busy() || supportUrl_.isEmpty()) return;
  opener_(supportUrl_);
}

void Panel3::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), skin::kContent);
  p.setPen(skin::kOutline);
  p.drawRect(1, 76, 798, 383);
  p.setRenderHint(QPainter::Antialiasing, true);
  DrawInfoIcon(p, QPoint(28, 18), 44);
  DrawProductIcon(p, QPoint(32, 98), 40);
  if (!supportLine_->isHidden()) DrawSupportIcon(p, QPoint(32, 274), 36);
  DrawFolderIcon(p, QPoint(24, 345), 40);
}

}  // namespace undelvo::ui
