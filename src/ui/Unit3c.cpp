#include "ui/Unit3c.h"

#include <QCheckBox>
#include <QLabel>

#include "settings/LanguageFile.h"

namespace undelvo::ui {

TForm3c::TForm3c(const LanguageFile& lang, QWidget* parent) : SkinDialog({414, 258}, 58, parent), lang_(lang) {
  setObjectName(QStringLiteral("TForm3c"));
  setModal(true);
  // Tall enough for five lines: the longer translations of the message wrap to five.
  QLabel* info = AddMessageLabel({27, 58, 360, 96});
  Hover().WatchBackground(info);

  check1_ = new QCheckBox(this);
  check1_->setObjectName(QStringLiteral("Check1"));
  check1_->setGeometry(27, 162, 360, 22);
  Hover().WatchBackground(check1_);

  button1_ = new ImageButton(QString(), ButtonStyle::Grey, this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(157, 196, 100, 40);
  button1_->setDefault(true);
  Hover().Add(button1_);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);

  ApplyTexts();
}

bool TForm3c::DoNotShowAgain() const { return check1_->isChecked(); }

void TForm3c::ApplyTexts() {
  SetTitle(LangText(lang_, "Note", "Important"));
  SetMessage(LangText(lang_, "Note", "Message2").trimmed());
  check1_->setText(LangText(lang_, "Note", "Message3"));
  button1_->setText(LangText(lang_, "Buttons", "OK"));
}

void TForm3c::showEvent(QShowEvent* event) {
  check1_->setChecked(false);
  Hover().ResetAll();
  ApplyTexts();
  button1_->setFocus(Qt::OtherFocusReason);
  SkinDialog::showEvent(event);
}

}  // namespace undelvo::ui
