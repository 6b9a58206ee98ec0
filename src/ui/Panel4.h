#pragma once
#include <QLabel>
#include <QWidget>

#include "ui/UiContext.h"

namespace undelvo::ui {

// The results panel: its title and the total of files the scan found.
class Panel4 : public QWidget {
  Q_OBJECT
 public:
  Panel4(UiContext& ctx, QWidget* parent);
  // Builds the view of the last scan's results.
  void Enter();

 private:
  UiContext& ctx_;
  QLabel* totalCaption_;
  QLabel* total_;
};

}  // namespace undelvo::ui
