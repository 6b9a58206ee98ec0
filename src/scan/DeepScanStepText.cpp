#include "scan/DeepScanStepText.h"

#include "run/ProgressSink.h"

namespace undelvo {

QString DeepScanStepText(const LanguageFile& lang, int step) {
  static const char* const kKeys[kDeepScanSteps] = {"Step1", "Step2", "Step3", "Step4"};
  if (step < 1 || step > kDeepScanSteps) return {};
  return LangText(lang, "Drive", kKeys[step - 1]) + QStringLiteral(" (%1/%2)").arg(step).arg(kDeepScanSteps);
}

}  // namespace undelvo
