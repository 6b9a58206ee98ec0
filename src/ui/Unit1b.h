#pragma once
#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <functional>

#include "scan/PreviewRead.h"
#include "ui/SkinDialog.h"
#include "ui/UiContext.h"

class QPlainTextEdit;

namespace undelvo {
class LanguageFile;
}

namespace undelvo::ui {

// The picture area of the preview window: a picture shown unscaled and
// centred on white; a picture larger than the area is cut at its edges.
class PreviewPicture : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewPicture(QWidget* parent = nullptr);
  void SetImage(const QImage& image);
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

// A one-line label that keeps its whole text but paints what does not fit
// its width cut with an ellipsis; the whole text is its tooltip then.
class ElidedLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
  void SetFullText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateToolTip();
};

// The 14 x 14 close button of the preview window, painted with the close
// glyph; its caption is its tooltip and accessible name. Keyboard focus
// shows as a dotted outline.
class CloseGlyphButton : public QAbstractButton {
  Q_OBJECT
 public:
  explicit CloseGlyphButton(const QString& caption, QWidget* parent = nullptr);
  QSize sizeHint() const override { return {14, 14}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The preview window (640 x 520): the name, path, date and size of one
// found file, and below them its picture, the start of it as text, or the
// stock picture of its kind. The content is read before the window is made
// (ReadPreview); the window only shows it. OK, the close button and Esc close it.
class TForm1b : public SkinDialog {
  Q_OBJECT
 public:
  TForm1b(const LanguageFile& lang, const QString& name, const QString& entryValue, const PreviewContent& content,
          QWidget* parent = nullptr);

  ImageButton* Button1() const { return button1_; }
  // What the picture area shows; null for text and for pictures that could
  // not be decoded.
  const QImage& Picture() const { return picture_->Image(); }
  // The shown text; empty for pictures.
  QString Text() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ShowContent(const PreviewContent& content);

  PreviewPicture* picture_;
  QPlainTextEdit* list_;
  QLabel* label5_;
  ImageButton* button1_;
};

// Where the picture area lies in the preview window.
inline constexpr QRect kPreviewArea{20, 136, 600, 300};

// One of the stock pictures ("Wav", "Avi", "ExeDll"; the name matched
// without regard to case); null for any other name.
QImage StockPicture(const QString& name);

// The start of a file as the preview shows it: a byte-order mark selects
// UTF-8 or UTF-16 (LE or BE); other bytes are UTF-8 when what precedes their
// first NUL is valid UTF-8, else Latin-1. An incomplete character at the end
// (the read stopped inside it) is left out. Lines end at CR, LF or CR LF and come out joined by
// "\n"; the text stops at its first NUL character.
QString PreviewText(const QByteArray& bytes);

// A picture decoded from a file's bytes by its extension (".BMP", ".JPG",
// ".GIF", ".PNG"). `failed` tells a decoding failure ("Preview is
// impossible!" in the window) from an empty picture: empty bytes are an
// empty picture for BMP and JPEG, a failure for GIF and PNG.
QImage DecodePreviewPicture(const QByteArray& bytes, const QString& extension, bool* failed);

// How the preview window is shown: modally (exec) unless a test puts in
// its own show.
using PreviewShow = std::function<void(TForm1b&)>;

// The Preview command for one row of the results (its file name and entry
// value): nothing while a run is going on (the read itself counts as one,
// so nothing else starts from the events it lets through); "Preview is impossible!" through
// the prompter for a row that cannot be previewed; else the preview window
// over `over`'s window, shown by `show` (modally by default) and destroyed
// when that returns. Nothing is ever written.
void ShowPreview(UiContext& ctx, QWidget* over, const QString& name, const QString& entryValue,
                 const PreviewShow& show = {});

}  // namespace undelvo::ui
