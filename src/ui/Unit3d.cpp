#include "ui/Unit3d.h"

#include <QLabel>

#include "settings/LanguageFile.h"

namespace undelvo::ui {

namespace {

QLabel* TextLabel(QWidget* parent, const char* name, const QRect& geometry) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  label->setGeometry(geometry);
  return label;
}

}  // namespace

TForm3d::TForm3d(const LanguageFile& lang, QWidget* parent)
    // Leaving loses the results: Enter answers No.
    : YesNoDialog(lang, {421, 271}, 58, {92, 200}, {228, 200}, ButtonStyle::Green, true, parent) {
  setObjectName(QStringLiteral("TForm3d"));
  label1_ = TextLabel(this, "Label1", {27, 58, 367, 80});
  label2_ = TextLabel(this, "Label2", {27, 146, 367, 36});
  Hover().WatchBackground(label1_);
  Hover().WatchBackground(label2_);
  ApplyTexts();
}

void TForm3d::ApplyTexts() {
  SetTitle(LangText(lang_, "Messages", "Information"));
  label1_->setText(LangText(lang_, "Note", "NotSavedResults1"));
  label2_->setText(LangText(lang_, "Note", "NotSavedResults2"));
  // What a screen reader says for the dialog: the whole question.
  setAccessibleDescription(label1_->text() + QLatin1Char(' ') + label2_->text());
}

}  // namespace undelvo::ui
