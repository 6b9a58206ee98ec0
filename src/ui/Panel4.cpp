#include "ui/Panel4.h"

#include "ui/PanelWidgets.h"

namespace undelvo::ui {

Panel4::Panel4(UiContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("Panel4"));
  setFixedSize(800, 470);
  setAutoFillBackground(true);
  MakeLabel(this, "Panel4ActionLabel", QRect(28, 14, 500, 26), ctx.Text("Process", "ScanResults"), 20, true);
  MakeLabel(this, "Panel4HintLabel", QRect(28, 42, 740, 40), ctx.Text("File", "Hint"))->setWordWrap(true);
  totalCaption_ = MakeLabel(this, "Panel4ResultsLabel1", QRect(0, 14, 0, 26),
                            ctx.Text("File", "TotalResults") + QLatin1Char(':'), 14, true);
  total_ = MakeLabel(this, "Panel4ResultsLabel2", QRect(0, 14, 0, 26), QStringLiteral("0"), 14, true,
                     skin::kSelectedTab);
}

void Panel4::Enter() {
  total_->setText(QString::number(ctx_.state.Scan.Found.TotalOfCategories()));
  // The total at the right edge, its caption 10 pixels to its left.
  const int totalWidth = total_->fontMetrics().horizontalAdvance(total_->text()) + 2;
  total_->setGeometry(772 - totalWidth, 14, totalWidth, 26);
  const int captionWidth = totalCaption_->fontMetrics().horizontalAdvance(totalCaption_->text()) + 2;
  totalCaption_->setGeometry(total_->x() - 10 - captionWidth, 14, captionWidth, 26);
}

}  // namespace undelvo::ui
