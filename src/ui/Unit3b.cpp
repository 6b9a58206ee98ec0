#include "ui/Unit3b.h"

#include <QLabel>

#include "settings/LanguageFile.h"

namespace undelvo::ui {

TForm3b::TForm3b(const LanguageFile& lang, QWidget* parent)
    : YesNoDialog(lang, {350, 200}, 40, {56, 130}, {192, 130}, ButtonStyle::Blue, false, parent) {
  setObjectName(QStringLiteral("TForm3b"));
  QLabel* info = AddMessageLabel({28, 50, 300, 60});
  // The question's label counts as background too: moving over it puts both
  // buttons back to normal.
  Hover().WatchBackground(info);
  ApplyTexts();
}

void TForm3b::ApplyTexts() { SetTitle(LangText(lang_, "Messages", "Confirmation")); }

}  // namespace undelvo::ui
