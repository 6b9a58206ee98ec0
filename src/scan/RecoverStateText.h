#pragma once
#include <QString>

#include "found/Recoverability.h"
#include "settings/LanguageFile.h"

namespace undelvo {

// A found file's state as the user reads it: "good", "partial (40 %)",
// "overwritten", "unknown", in the language of `lang`.
QString RecoverStateText(const LanguageFile& lang, const Recoverability& state);

}  // namespace undelvo
