#pragma once
#include "ui/YesNoDialog.h"

class QLabel;

namespace undelvo {
class LanguageFile;
}

namespace undelvo::ui {

// The question before the results are left (421 x 271): the results are not
// saved, close anyway? Yes and No. Answer() is 1 after Yes, 2 after No, Esc
// or any other close. Every show starts with the answer 2, both buttons in
// their normal look and the focus on No (Enter keeps the results); the texts
// are read from the language file then. Dragged by the band above the first
// text line (58 pixels).
class TForm3d : public YesNoDialog {
  Q_OBJECT
 public:
  explicit TForm3d(const LanguageFile& lang, QWidget* parent = nullptr);

  QLabel* Label1() const { return label1_; }
  QLabel* Label2() const { return label2_; }

 protected:
  void ApplyTexts() override;

 private:
  QLabel* label1_;
  QLabel* label2_;
};

}  // namespace undelvo::ui
