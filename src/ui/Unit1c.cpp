#include "ui/Unit1c.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMovie>

#include "settings/LanguageFile.h"

namespace undelvo::ui {

TForm1c::TForm1c(const LanguageFile& lang, const QString& programFolder, QWidget* parent)
    : SkinDialog({350, 200}, 40, parent),
      lang_(lang),
      animationFile_(QDir(programFolder).filePath(QStringLiteral("Animation.gif"))),
      hasAnimationFile_(QFileInfo(animationFile_).isFile()) {
  setObjectName(QStringLiteral("TForm1c"));
  setModal(false);
  AddMessageLabel({68, 66, 213, 20});

  animation_ = new QLabel(this);
  animation_->setObjectName(QStringLiteral("AnimationImage"));
  animation_->setGeometry(152, 104, 48, 48);
  animation_->setAlignment(Qt::AlignCenter);
  animation_->hide();

  SetTitle(LangText(lang_, "Messages", "Information"));
  SetMessage(LangText(lang_, "Process", "Message1"));
}

void TForm1c::StartAnimation() {
  if (!hasAnimationFile_) return;
  if (!movie_) {
    auto* movie = new QMovie(animationFile_, QByteArray(), this);
    movie->setScaledSize(animation_->size());
    // A file that starts like a picture but whose first frame cannot be read
    // counts as no animation.
    if (!movie->isValid() || !movie->jumpToFrame(0) || movie->currentImage().isNull()) {
      delete movie;
      hasAnimationFile_ = false;
      return;
    }
    movie_ = movie;
    animation_->setMovie(movie_);
    // A later frame that cannot be read ends the animation; the window stays.
    connect(movie_, &QMovie::error, this, [this] {
      movie_->stop();
      animation_->hide();
    });
  }
  movie_->start();
  animation_->show();
}

void TForm1c::showEvent(QShowEvent* event) {
  StartAnimation();
  SkinDialog::showEvent(event);
}

void TForm1c::hideEvent(QHideEvent* event) {
  if (movie_) movie_->stop();
  SkinDialog::hideEvent(event);
}

}  // namespace undelvo::ui
