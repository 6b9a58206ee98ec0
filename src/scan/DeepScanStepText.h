#pragma once
#include <QString>

#include "settings/LanguageFile.h"

namespace undelvo {

// The status line of a deep scan's step (1..4): "Find MFT records (1/4)" ...
QString DeepScanStepText(const LanguageFile& lang, int step);

}  // namespace undelvo
