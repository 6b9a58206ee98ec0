#include "ui/Unit3b.h"

#include <QLabel>

#include "settings/LanguageFile.h"

namespace undelvo::ui {

TForm3b::TForm3b(const LanguageFile& lang, QWidget* parent) : SkinDialog({350, 200}, 40, parent), lang_(lang) {
  setObjectName(QStringLiteral("TForm3b"));
  setModal(true);
  QLabel* info = AddMessageLabel({28, 50, 300, 60});
  // The question's label counts as background too: moving over it puts both
  // buttons back to normal.
  Hover().WatchBackground(info);

  button1_ = new ImageButton(QString(), ButtonStyle::Grey, this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(56, 130, 100, 40);
  button1_->setDefault(true);
  button2_ = new ImageButton(QString(), ButtonStyle::Blue, this);
  button2_->setObjectName(QStringLiteral("Button2"));
  button2_->setGeometry(192, 130, 100, 40);
  Hover().Add(button1_);
  Hover().Add(button2_);

  connect(button1_, &QPushButton::clicked, this, [this] {
    answer_ = 1;
    accept();
  });
  connect(button2_, &QPushButton::clicked, this, &QDialog::reject);

  ApplyTexts();
}

void TForm3b::ApplyTexts() {
  SetTitle(LangText(lang_, "Messages", "Confirmation"));
  button1_->setText(LangText(lang_, "Buttons", "Yes"));
  button2_->setText(LangText(lang_, "Buttons", "No"));
}

void TForm3b::showEvent(QShowEvent* event) {
  answer_ = 2;
  Hover().ResetAll();
  ApplyTexts();
  button1_->setFocus(Qt::OtherFocusReason);
  SkinDialog::showEvent(event);
}

}  // namespace undelvo::ui
