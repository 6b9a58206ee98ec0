#pragma once
#include "ui/YesNoDialog.h"

namespace undelvo {
class LanguageFile;
}

namespace undelvo::ui {

// The confirmation dialog (350 x 200): a question, Yes and No. The program
// keeps one; the caller puts the question in, shows it modally and reads
// Answer(): 1 for Yes, 2 for No, Esc or any other close. Every show starts
// with the answer 2, both buttons in their normal look and the focus on Yes;
// the title and captions are read from the language file then.
class TForm3b : public YesNoDialog {
  Q_OBJECT
 public:
  explicit TForm3b(const LanguageFile& lang, QWidget* parent = nullptr);

 protected:
  void ApplyTexts() override;
};

}  // namespace undelvo::ui
