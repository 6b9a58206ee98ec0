#pragma once
#include "scan/UndelvoState.h"
#include "ui/Prompter.h"

namespace undelvo::ui {

// What the window's panels and dialogs share: the program's state (settings,
// texts, the scan and its run) and the way to ask and tell the user.
struct UiContext {
  UiContext(UndelvoState& state_, Prompter& prompter_) : state(state_), prompter(prompter_) {}
  UndelvoState& state;
  Prompter& prompter;
  // How often a run lets the window's events through (tests use 0: at every pump).
  int pumpIntervalMs = 15;

  const LanguageFile& Lang() const { return state.Program.Lang; }
  // The text of section/key in the current language (English by default).
  QString Text(const char* section, const char* key) const { return LangText(state.Program.Lang, section, key); }
  // Where the program's files lie (language files, help page, animation).
  const QString& ProgramFolder() const { return state.Program.Config.DataDir; }

  // Stop pressed while a run goes on: runs inside the run's pump, so the
  // question pauses the run; Yes stops it. Nothing while idle.
  void AskToStop(QWidget* over) {
    if (state.Run.Busy() && prompter.Confirm(over, Text("Process", "Message2"))) state.Run.RequestStop();
  }
};

}  // namespace undelvo::ui
