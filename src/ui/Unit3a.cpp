#include "ui/Unit3a.h"

#include <QLabel>

#include "settings/LanguageFile.h"

namespace undelvo::ui {

TForm3a::TForm3a(const LanguageFile& lang, QWidget* parent) : SkinDialog({350, 200}, 40, parent), lang_(lang) {
  setObjectName(QStringLiteral("TForm3a"));
  setModal(true);
  AddMessageLabel({28, 50, 300, 60});

  button1_ = new ImageButton(QString(), ButtonStyle::Grey, this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(126, 130, 100, 40);
  button1_->setDefault(true);
  Hover().Add(button1_);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);

  ApplyTexts();
}

void TForm3a::ApplyTexts() {
  SetTitle(LangText(lang_, "Messages", "Information"));
  button1_->setText(LangText(lang_, "Buttons", "OK"));
}

void TForm3a::showEvent(QShowEvent* event) {
  ApplyTexts();
  button1_->setFocus(Qt::OtherFocusReason);
  SkinDialog::showEvent(event);
}

}  // namespace undelvo::ui
