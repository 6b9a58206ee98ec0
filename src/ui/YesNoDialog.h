#pragma once
#include <QPoint>
#include <cstdint>

#include "ui/SkinDialog.h"

namespace undelvo {
class LanguageFile;
}

namespace undelvo::ui {

// A skinned question with Yes (Button1) and No (Button2). Answer() is 1
// after Yes, 2 after No, Esc or any other close; every show starts with the
// answer 2, both buttons in their normal look, the captions read again from
// the language file and the focus on the default button.
class YesNoDialog : public SkinDialog {
  Q_OBJECT
 public:
  uint8_t Answer() const { return answer_; }
  ImageButton* Button1() const { return button1_; }
  ImageButton* Button2() const { return button2_; }

 protected:
  // `yesAt`/`noAt`: the buttons' places (100 x 40); `noStyle` the look of No;
  // `noIsDefault`: Enter answers No instead of Yes.
  YesNoDialog(const LanguageFile& lang, QSize size, int dragBand, QPoint yesAt, QPoint noAt, ButtonStyle noStyle,
              bool noIsDefault, QWidget* parent);
  // The dialog's own texts, read again on every show.
  virtual void ApplyTexts() {}
  void showEvent(QShowEvent* event) override;

  const LanguageFile& lang_;

 private:
  void ApplyCaptions();

  ImageButton* button1_;
  ImageButton* button2_;
  bool noIsDefault_;
  uint8_t answer_ = 2;
};

}  // namespace undelvo::ui
