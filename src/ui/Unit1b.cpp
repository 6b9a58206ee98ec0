#include "ui/Unit1b.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStringDecoder>

#include "found/DataItem.h"
#include "found/EntryValue.h"
#include "scan/RecoverStateText.h"
#include "settings/LanguageFile.h"

// The stock pictures live in a resource of the static UI library; naming its
// initialiser here links it into every program that shows a preview.
static void InitStockPictures() {
  static const bool done = [] {
    Q_INIT_RESOURCE(stock);
    return true;
  }();
  (void)done;
}

namespace undelvo::ui {

namespace {

constexpr int kPathShown = 80;    // characters of the path shown
constexpr int kValueGap = 16;     // from a caption's right edge to its value
constexpr int kLineHeight = 18;
constexpr int kContentRight = 620;
constexpr int kStateLeft = 330;   // the state's caption, on the size's line

// Text without the byte-order mark `bom` decoded by `decoder`; an incomplete
// character at the end (the read stopped inside it) is left out.
QString Decode(QStringDecoder decoder, const QByteArray& bytes, qsizetype bom) {
  return decoder.decode(QByteArrayView(bytes).sliced(bom));
}

}  // namespace

QString PreviewText(const QByteArray& bytes) {
  QString text;
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    text = Decode(QStringDecoder(QStringConverter::Utf8), bytes, 3);
  } else if (bytes.startsWith("\xFF\xFE")) {
    text = Decode(QStringDecoder(QStringConverter::Utf16LE), bytes, 2);
  } else if (bytes.startsWith("\xFE\xFF")) {
    text = Decode(QStringDecoder(QStringConverter::Utf16BE), bytes, 2);
  } else {
    // In an 8-bit text the first NUL character is the first NUL byte, and
    // only what precedes it decides the code: binary data after the NUL (a
    // word processor's file) does not turn readable UTF-8 into Latin-1.
    const qsizetype nul = bytes.indexOf('\0');
    const QByteArray shown = nul < 0 ? bytes : bytes.left(nul);
    QStringDecoder utf8(QStringConverter::Utf8);
    text = utf8.decode(shown);
    // Latin-1 stands in for the system's ANSI code page, which Linux does
    // not have: every byte is a character, so nothing is lost.
    if (utf8.hasError()) text = QString::fromLatin1(shown);
  }
  const qsizetype nul = text.indexOf(QChar(u'\0'));
  if (nul >= 0) text.truncate(nul);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

QImage DecodePreviewPicture(const QByteArray& bytes, const QString& extension, bool* failed) {
  const QString ext = extension.toUpper();
  if (failed) *failed = false;
  if (bytes.isEmpty()) {
    // The bitmap and JPEG decoders take an empty file for an empty
    // picture; the GIF and PNG decoders reject it.
    if (failed) *failed = ext == QLatin1String(".GIF") || ext == QLatin1String(".PNG");
    return {};
  }
  const QByteArray format = ext.mid(1).toLatin1();
  QImage image = QImage::fromData(bytes, format.constData());
  // A picture whose name tells another kind (a PNG saved as .jpg) still shows.
  if (image.isNull()) image = QImage::fromData(bytes);
  if (image.isNull() && failed) *failed = true;
  return image;
}

QImage StockPicture(const QString& name) {
  InitStockPictures();
  const QDir stock(QStringLiteral(":/stock"));
  for (const QString& file : stock.entryList(QDir::Files))
    if (QFileInfo(file).completeBaseName().compare(name, Qt::CaseInsensitive) == 0)
      return QImage(stock.filePath(file));
  return {};
}

// ---- PreviewPicture ----

PreviewPicture::PreviewPicture(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPicture::SetImage(const QImage& image) {
  image_ = image;
  update();
}

void PreviewPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), skin::kContent);
  if (image_.isNull()) return;
  // Centred and unscaled; what lies outside the area is clipped away.
  p.setClipRect(rect());
  const QPoint at((width() - image_.width()) / 2, (height() - image_.height()) / 2);
  p.drawImage(at, image_);
}

// ---- ElidedLabel ----

void ElidedLabel::SetFullText(const QString& text) {
  setText(text);
  setAccessibleName(text);
  UpdateToolTip();
}

void ElidedLabel::UpdateToolTip() {
  setToolTip(fontMetrics().horizontalAdvance(text()) > contentsRect().width() ? text() : QString());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  UpdateToolTip();
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = contentsRect();
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(r, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
}

// ---- CloseGlyphButton ----

CloseGlyphButton::CloseGlyphButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
  setToolTip(caption);
  setAccessibleName(caption);
}

void CloseGlyphButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  DrawCloseGlyph(p);
  if (hasFocus() && focusPolicy() != Qt::NoFocus) {
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.drawRect(0, 0, width() - 1, height() - 1);
  }
}

// ---- TForm1b ----

TForm1b::TForm1b(const LanguageFile& lang, const QString& name, const QString& entryValue,
                 const PreviewContent& content, QWidget* parent)
    : SkinDialog({640, 520}, 48, parent) {
  setObjectName(QStringLiteral("TForm1b"));
  setModal(true);
  SetTitle(LangText(lang, "Buttons", "Preview"));
  // The title stays clear of the close button.
  ActionLabel()->setGeometry(12, 7, 590, 22);

  auto* top = new CloseGlyphButton(LangText(lang, "Buttons", "Close"), this);
  top->setObjectName(QStringLiteral("TopButton"));
  top->setGeometry(618, 6, 14, 14);
  connect(top, &QAbstractButton::clicked, this, &QDialog::reject);

  // The file's name, path, date and size, each after its caption.
  const EntryValue e = ParseEntryValue(entryValue);
  const struct {
    const char* key;
    QString value;
  } lines[] = {
      {"FileName", name},
      {"FilePath", e.path.left(kPathShown)},
      {"FileDate", e.date},
      {"FileSize", SizeInKb(e.size)},
  };
  int y = 48;
  int n = 1;
  for (const auto& line : lines) {
    auto* caption = new QLabel(LangText(lang, "File", line.key) + QLatin1Char(':'), this);
    caption->setObjectName(QStringLiteral("Label%1a").arg(n));
    caption->setTextFormat(Qt::PlainText);
    caption->setFont(SkinFont(13, true));
    const int width = caption->fontMetrics().horizontalAdvance(caption->text()) + 1;
    caption->setGeometry(20, y, width, kLineHeight);
    auto* value = new ElidedLabel(this);
    value->setObjectName(QStringLiteral("Label%1b").arg(n));
    value->setTextFormat(Qt::PlainText);
    value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int x = 20 + width + kValueGap;
    value->setGeometry(x, y, std::max(0, kContentRight - x), kLineHeight);
    value->SetFullText(line.value);
    caption->setBuddy(value);
    y += 20;
    ++n;
  }
  // Beside the size, how intact the file's clusters are.
  auto* stateCaption = new QLabel(LangText(lang, "File", "State") + QLatin1Char(':'), this);
  stateCaption->setObjectName(QStringLiteral("Label6a"));
  stateCaption->setTextFormat(Qt::PlainText);
  stateCaption->setFont(SkinFont(13, true));
  const int stateCaptionWidth = stateCaption->fontMetrics().horizontalAdvance(stateCaption->text()) + 1;
  stateCaption->setGeometry(kStateLeft, y - 20, stateCaptionWidth, kLineHeight);
  auto* state = new ElidedLabel(this);
  state->setObjectName(QStringLiteral("Label6b"));
  state->setTextFormat(Qt::PlainText);
  state->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  const int stateX = kStateLeft + stateCaptionWidth + kValueGap;
  state->setGeometry(stateX, y - 20, std::max(0, kContentRight - stateX), kLineHeight);
  state->SetFullText(RecoverStateText(lang, content.state));
  stateCaption->setBuddy(state);

  picture_ = new PreviewPicture(this);
  picture_->setObjectName(QStringLiteral("PreviewImage"));
  picture_->setGeometry(kPreviewArea);
  picture_->setAccessibleName(name);

  list_ = new QPlainTextEdit(this);
  list_->setObjectName(QStringLiteral("PreviewList"));
  list_->setGeometry(kPreviewArea);
  list_->setReadOnly(true);
  list_->setFrameShape(QFrame::NoFrame);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  list_->setAccessibleName(name);
  QPalette pal = list_->palette();
  pal.setColor(QPalette::Base, skin::kContent);
  pal.setColor(QPalette::Text, Qt::black);
  list_->setPalette(pal);

  label5_ = new QLabel(LangText(lang, "File", "Message4"), this);
  label5_->setObjectName(QStringLiteral("Label5"));
  label5_->setTextFormat(Qt::PlainText);
  label5_->setAlignment(Qt::AlignCenter);
  label5_->setGeometry(kPreviewArea.x(), kPreviewArea.center().y() - 10, kPreviewArea.width(), 20);
  label5_->hide();

  button1_ = new ImageButton(LangText(lang, "Buttons", "OK"), ButtonStyle::Grey, this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(270, 456, 100, 40);
  button1_->setDefault(true);
  Hover().Add(button1_);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);

  ShowContent(content);
}

void TForm1b::ShowContent(const PreviewContent& content) {
  if (content.kind == PreviewContent::Kind::Text) {
    picture_->hide();
    list_->setPlainText(PreviewText(content.bytes));
    return;
  }
  list_->hide();
  if (content.kind == PreviewContent::Kind::Stock) {
    picture_->SetImage(StockPicture(content.stock));
    return;
  }
  bool failed = false;
  picture_->SetImage(DecodePreviewPicture(content.bytes, content.extension, &failed));
  label5_->setVisible(failed);
}

QString TForm1b::Text() const { return list_->isHidden() ? QString() : list_->toPlainText(); }

void TForm1b::paintEvent(QPaintEvent* event) {
  SkinDialog::paintEvent(event);
  // An outline just outside the picture area, so an empty area still shows.
  QPainter p(this);
  p.setPen(skin::kOutline);
  p.drawRect(kPreviewArea.adjusted(-1, -1, 0, 0));
}

void TForm1b::showEvent(QShowEvent* event) {
  button1_->setFocus(Qt::OtherFocusReason);
  SkinDialog::showEvent(event);
}

void ShowPreview(UiContext& ctx, QWidget* over, const QString& name, const QString& entryValue,
                 const PreviewShow& show) {
  // The read lets events through; the run flag keeps every handler (a
  // second Preview among them) out until it is done.
  if (!ctx.state.Run.Begin()) return;
  const PreviewContent content = ReadPreview(ctx.state, name, entryValue);
  ctx.state.Run.End();
  if (content.kind == PreviewContent::Kind::Impossible) {
    ctx.prompter.Inform(over, content.message);
    return;
  }
  TForm1b form(ctx.Lang(), name, entryValue, content, over ? over->window() : nullptr);
  form.SetAnchor(over);
  if (show)
    show(form);
  else
    form.exec();
}

}  // namespace undelvo::ui
