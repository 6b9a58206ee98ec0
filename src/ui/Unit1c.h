#pragma once
#include "ui/SkinDialog.h"

class QMovie;

namespace undelvo {
class LanguageFile;
}

namespace undelvo::ui {

// The please-wait window (350 x 200): "Please wait..." and, when the
// program's folder holds "Animation.gif", that animation (48 x 48) playing
// while the window is shown. Not modal: the work it announces goes on and
// lets events run, so the window repaints and animates. A missing or broken
// animation file only leaves the animation out.
class TForm1c : public SkinDialog {
  Q_OBJECT
 public:
  TForm1c(const LanguageFile& lang, const QString& programFolder, QWidget* parent = nullptr);

  QLabel* AnimationImage() const { return animation_; }
  // The playing animation, or nullptr when there is none.
  QMovie* Movie() const { return movie_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void StartAnimation();

  const LanguageFile& lang_;
  QString animationFile_;
  bool hasAnimationFile_;
  QLabel* animation_;
  QMovie* movie_ = nullptr;
};

}  // namespace undelvo::ui
