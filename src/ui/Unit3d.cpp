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

TForm3d::TForm3d(const LanguageFile& lang, QWidget* parent) : SkinDialog({421, 271}, 58, parent), lang_(lang) {
  setObjectName(QStringLiteral("TForm3d"));
  setModal(true);
  label1_ = TextLabel(this, "Label1", {27, 58, 367, 80});
  label2_ = TextLabel(this, "Label2", {27, 146, 367, 36});
  Hover().WatchBackground(label1_);
  Hover().WatchBackground(label2_);

  button1_ = new ImageButton(QString(), ButtonStyle::Grey, this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(92, 200, 100, 40);
  button2_ = new ImageButton(QString(), ButtonStyle::Green, this);
  button2_->setObjectName(QStringLiteral("Button2"));
  button2_->setGeometry(228, 200, 100, 40);
  // Leaving loses the results: Enter answers No.
  button2_->setDefault(true);
  Hover().Add(button1_);
  Hover().Add(button2_);

  connect(button1_, &QPushButton::clicked, this, [this] {
    answer_ = 1;
    accept();
  });
  connect(button2_, &QPushButton::clicked, this, &QDialog::reject);

  ApplyTexts();
}

void TForm3d::ApplyTexts() {
  SetTitle(LangText(lang_, "Messages", "Information"));
  label1_->setText(LangText(lang_, "Note", "NotSavedResults1"));
  label2_->setText(LangText(lang_, "Note", "NotSavedResults2"));
  // What a screen reader says for the dialog: the whole question.
  setAccessibleDescription(label1_->text() + QLatin1Char(' ') + label2_->text());
  button1_->setText(LangText(lang_, "Buttons", "Yes"));
  button2_->setText(LangText(lang_, "Buttons", "No"));
}

void TForm3d::showEvent(QShowEvent* event) {
  answer_ = 2;
  Hover().ResetAll();
  ApplyTexts();
  button2_->setFocus(Qt::OtherFocusReason);
  SkinDialog::showEvent(event);
}

}  // namespace undelvo::ui
