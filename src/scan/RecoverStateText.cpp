#include "scan/RecoverStateText.h"

namespace undelvo {

QString RecoverStateText(const LanguageFile& lang, const Recoverability& state) {
  switch (state.state) {
    case RecoverState::Good: return LangText(lang, "File", "StateGood");
    case RecoverState::Partial:
      return QStringLiteral("%1 (%2 %)").arg(LangText(lang, "File", "StatePartial")).arg(state.intactPercent);
    case RecoverState::Overwritten: return LangText(lang, "File", "StateOverwritten");
    case RecoverState::Unknown: break;
  }
  return LangText(lang, "File", "StateUnknown");
}

}  // namespace undelvo
