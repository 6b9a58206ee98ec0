#pragma once
#include <memory>

#include "ui/Prompter.h"

namespace undelvo {
class LanguageFile;
}

namespace undelvo::ui {

class TForm3a;
class TForm3b;

// The program's way of telling and asking the user: its one information
// dialog and its one confirmation dialog, made on first use and reused, each
// centred over the window it speaks for. The same-drive note and the
// question before the results are left are made for each show. Must be
// destroyed while the application object still exists (the dialogs are
// widgets).
class DialogPrompter : public Prompter {
 public:
  explicit DialogPrompter(const LanguageFile& lang);
  ~DialogPrompter() override;
  DialogPrompter(const DialogPrompter&) = delete;
  DialogPrompter& operator=(const DialogPrompter&) = delete;

  void Inform(QWidget* over, const QString& text) override;
  bool Confirm(QWidget* over, const QString& question) override;
  bool SameDriveNote(QWidget* over) override;
  bool ConfirmLeaveResults(QWidget* over) override;

  TForm3a& InformationDialog();
  TForm3b& ConfirmationDialog();

 private:
  const LanguageFile& lang_;
  std::unique_ptr<TForm3a> form3a_;
  std::unique_ptr<TForm3b> form3b_;
};

}  // namespace undelvo::ui
