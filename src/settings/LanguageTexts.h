#pragma once
#include <span>

namespace undelvo {

// One user-visible text: where it lives in a language file and its English default.
struct LanguageText {
  const char* section;
  const char* key;
  const char* english;
};

// Every text the program shows, in one table (UTF-8), grouped by section in
// the order of the language files. A (section, key) pair occurs once; the same
// key may appear in several sections (e.g. "Message2").
std::span<const LanguageText> LanguageTexts();

// The English default of a section and key (ASCII case-insensitive), or nullptr
// when the table has none (or either argument is null).
const char* EnglishDefault(const char* section, const char* key);

}  // namespace undelvo
