#pragma once
#include <QString>
#include <span>

#include "found/FoundState.h"
#include "settings/LanguageFile.h"

namespace undelvo {

// The results' category list: six groups in a fixed order, each holding
// entries for single file types. Every caption carries a count read from the
// found-file store; texts come from the language file, section "File".

// Where an entry's caption comes from.
enum class CaptionForm {
  Named,   // a language text and the count: "Word documents (3 files)"
  Prefix,  // a fixed prefix, the word for files, the count: "JPG files (5)"
};

struct CategoryEntry {
  CaptionForm form;
  const char* text;     // Named: the key in section "File"; Prefix: the prefix itself
  const char* english;  // Named: the English default; Prefix: nullptr
  const char* section;  // the FoundFiles section it counts and lists; nullptr for
                        // the Other files entry, which lists the OtherFiles lines
  int image;            // index into the category images
};

struct CategoryGroup {
  const char* key;      // in section "File"
  const char* english;  // its English default
  std::span<const CategoryEntry> entries;
};

// The number of category images the entries index into.
constexpr int kCategoryImageCount = 17;

// What a position outside the table, and the Other files entry, resolve to:
// the OtherFiles lines. The store's own "OTHER" section (Recycle Bin files of
// unknown type) is never listed as a category.
inline constexpr char kOtherFilesMarker[] = "OTHER";

// The groups in display order, each with its entries in order.
std::span<const CategoryGroup> CategoryGroups();

// The entry at a group position and a position in the group, or nullptr.
const CategoryEntry* CategoryEntryAt(int group, int position);

// The section an entry lists: its FoundFiles section, or kOtherFilesMarker for
// the Other files entry and for any position the table lacks.
QString CategorySection(int group, int position);

// The number of files an entry lists: the keys of its FoundFiles section, or
// the OtherFiles lines for the Other files entry.
int EntryCount(const FoundState& state, const CategoryEntry& entry);

// The sum of the group's entries' counts.
int GroupCount(const FoundState& state, const CategoryGroup& group);

// "Documents (12 files)".
QString GroupCaption(const LanguageFile& lang, const CategoryGroup& group, int count);

// "Word documents (3 files)" or "JPG files (5)", by the entry's form.
QString EntryCaption(const LanguageFile& lang, const CategoryEntry& entry, int count);

}  // namespace undelvo
