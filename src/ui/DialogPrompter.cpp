#include "ui/DialogPrompter.h"

#include "ui/Unit3a.h"
#include "ui/Unit3b.h"
#include "ui/Unit3c.h"
#include "ui/Unit3d.h"

namespace undelvo::ui {

namespace {

// Shows `dialog` modally over `over`'s window. An exec() ended from outside
// (the application quitting its event loops) leaves the dialog shown, so it
// is closed here.
void RunModal(SkinDialog& dialog, QWidget* over) {
  dialog.SetAnchor(over);
  dialog.exec();
  if (dialog.isVisible()) dialog.reject();
}

}  // namespace

DialogPrompter::DialogPrompter(const LanguageFile& lang) : lang_(lang) {}

DialogPrompter::~DialogPrompter() = default;

TForm3a& DialogPrompter::InformationDialog() {
  if (!form3a_) form3a_ = std::make_unique<TForm3a>(lang_);
  return *form3a_;
}

TForm3b& DialogPrompter::ConfirmationDialog() {
  if (!form3b_) form3b_ = std::make_unique<TForm3b>(lang_);
  return *form3b_;
}

void DialogPrompter::Inform(QWidget* over, const QString& text) {
  TForm3a& kept = InformationDialog();
  // A message that comes while the dialog is already showing one (from an
  // event handled inside that dialog's loop) gets a dialog of its own rather
  // than overwriting the shown text and returning at once.
  if (kept.isVisible()) {
    TForm3a extra(lang_);
    extra.SetMessage(text);
    RunModal(extra, over);
    return;
  }
  kept.SetMessage(text);
  RunModal(kept, over);
}

bool DialogPrompter::Confirm(QWidget* over, const QString& question) {
  TForm3b& kept = ConfirmationDialog();
  if (kept.isVisible()) {
    TForm3b extra(lang_);
    extra.SetMessage(question);
    RunModal(extra, over);
    return extra.Answer() == 1;
  }
  kept.SetMessage(question);
  RunModal(kept, over);
  return kept.Answer() == 1;
}

bool DialogPrompter::SameDriveNote(QWidget* over) {
  // The note has only OK: Esc or a close by other means leaves it the same
  // way, so the box counts however it was closed.
  TForm3c note(lang_);
  RunModal(note, over);
  return note.DoNotShowAgain();
}

bool DialogPrompter::ConfirmLeaveResults(QWidget* over) {
  TForm3d question(lang_);
  RunModal(question, over);
  return question.Answer() == 1;
}

}  // namespace undelvo::ui
