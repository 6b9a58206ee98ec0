#pragma once
#include "ui/SkinDialog.h"

class QCheckBox;

namespace undelvo {
class LanguageFile;
}

namespace undelvo::ui {

// The same-drive note (414 x 258), shown before a recovery: saving onto the
// scanned drive can harm the recovery. A "Do not show message again" box
// and OK; OK, Esc or any other close ends the show, and DoNotShowAgain()
// tells whether the box was ticked then. Every show starts with the box
// clear and reads the texts from the language file. Storing the choice is
// the caller's part. Dragged by the band above the message (58 pixels).
class TForm3c : public SkinDialog {
  Q_OBJECT
 public:
  explicit TForm3c(const LanguageFile& lang, QWidget* parent = nullptr);

  bool DoNotShowAgain() const;
  QCheckBox* Check1() const { return check1_; }
  ImageButton* Button1() const { return button1_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyTexts();

  const LanguageFile& lang_;
  QCheckBox* check1_;
  ImageButton* button1_;
};

}  // namespace undelvo::ui
