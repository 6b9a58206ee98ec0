#pragma once
#include <QString>

class QWidget;

namespace undelvo::ui {

// How the window asks and tells the user: the information dialog and the
// confirmation dialog by default; tests put in one that answers by itself.
// A modal question pauses a running scan (it runs inside the scan's pump).
class Prompter {
 public:
  virtual ~Prompter() = default;
  // The information dialog with `text`; returns when the user closed it.
  virtual void Inform(QWidget* over, const QString& text) = 0;
  // The confirmation dialog with `question`: true for Yes.
  virtual bool Confirm(QWidget* over, const QString& question) = 0;
  // The note that saving onto the scanned drive can harm the recovery, with
  // its "Do not show message again" box: true when the user ticked it.
  // (Default: no note, not ticked.)
  virtual bool SameDriveNote(QWidget* /*over*/) { return false; }
  // The question before the results are left ("Scan results are not saved..."):
  // true for Yes.
  // (Default: Yes.)
  virtual bool ConfirmLeaveResults(QWidget* /*over*/) { return true; }
};

}  // namespace undelvo::ui
