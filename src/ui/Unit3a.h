#pragma once
#include "ui/SkinDialog.h"

namespace undelvo {
class LanguageFile;
}

namespace undelvo::ui {

// The information dialog (350 x 200): a message and OK. The program keeps
// one and puts each message into it before showing it modally; OK, Esc or
// any other close ends the show. The title and the caption are read from the
// language file on every show.
class TForm3a : public SkinDialog {
  Q_OBJECT
 public:
  explicit TForm3a(const LanguageFile& lang, QWidget* parent = nullptr);

  ImageButton* Button1() const { return button1_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyTexts();

  const LanguageFile& lang_;
  ImageButton* button1_;
};

}  // namespace undelvo::ui
