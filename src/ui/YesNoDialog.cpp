#include "ui/YesNoDialog.h"

#include "settings/LanguageFile.h"

namespace undelvo::ui {

YesNoDialog::YesNoDialog(const LanguageFile& lang, QSize size, int dragBand, QPoint yesAt, QPoint noAt,
                         ButtonStyle noStyle, bool noIsDefault, QWidget* parent)
    : SkinDialog(size, dragBand, parent), lang_(lang), noIsDefault_(noIsDefault) {
  setModal(true);
  button1_ = new ImageButton(QString(), ButtonStyle::Grey, this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(yesAt.x(), yesAt.y(), 100, 40);
  button2_ = new ImageButton(QString(), noStyle, this);
  button2_->setObjectName(QStringLiteral("Button2"));
  button2_->setGeometry(noAt.x(), noAt.y(), 100, 40);
  (noIsDefault ? button2_ : button1_)->setDefault(true);
  Hover().Add(button1_);
  Hover().Add(button2_);
  connect(button1_, &QPushButton::clicked, this, [this] {
    answer_ = 1;
    accept();
  });
  connect(button2_, &QPushButton::clicked, this, &QDialog::reject);
  ApplyCaptions();
}

void YesNoDialog::ApplyCaptions() {
  button1_->setText(LangText(lang_, "Buttons", "Yes"));
  button2_->setText(LangText(lang_, "Buttons", "No"));
}

void YesNoDialog::showEvent(QShowEvent* event) {
  answer_ = 2;
  Hover().ResetAll();
  ApplyTexts();
  ApplyCaptions();
  (noIsDefault_ ? button2_ : button1_)->setFocus(Qt::OtherFocusReason);
  SkinDialog::showEvent(event);
}

}  // namespace undelvo::ui
