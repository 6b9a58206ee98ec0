#pragma once
#include <cstdint>

#include "ui/SkinDialog.h"

namespace undelvo {
class LanguageFile;
}

namespace undelvo::ui {

// The confirmation dialog (350 x 200): a question, Yes and No. The program
// keeps one; the caller puts the question in, shows it modally and reads
// Answer(): 1 for Yes, 2 for No, Esc or any other close. Every show starts
// with the answer 2, both buttons in their normal look and the focus on Yes;
// the title and captions are read from the language file then.
class TForm3b : public SkinDialog {
  Q_OBJECT
 public:
  explicit TForm3b(const LanguageFile& lang, QWidget* parent = nullptr);

  uint8_t Answer() const { return answer_; }
  ImageButton* Button1() const { return button1_; }
  ImageButton* Button2() const { return button2_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyTexts();

  const LanguageFile& lang_;
  ImageButton* button1_;
  ImageButton* button2_;
  uint8_t answer_ = 2;
};

}  // namespace undelvo::ui
