#include "found/CategoryTable.h"

#include <QStringList>
#include <array>

namespace undelvo {

namespace {

constexpr CategoryEntry Named(const char* key, const char* english, const char* section, int image) {
  return {CaptionForm::Named, key, english, section, image};
}
constexpr CategoryEntry Prefix(const char* prefix, const char* section, int image) {
  return {CaptionForm::Prefix, prefix, nullptr, section, image};
}

// Sections are the classifier's type codes. Images: 0 word processor,
// 1 spreadsheet, 2 presentation, 3 note pad, 4 PDF, 5..9 JPG GIF PNG BMP ICO
// pages, 10 sound, 11 media disc, 12 installer, 13 application window,
// 14 gears, 15 web browser, 16 question mark.
constexpr CategoryEntry kDocuments[] = {
    Named("Type13a", "Word documents", "DOC", 0),
    Named("Type13b", "Excel documents", "XLS", 1),
    Named("Type13c", "PowerPoint documents", "PPT", 2),
    Named("Type13d", "Text documents", "TXT", 3),
    Named("Type13e", "Pdf documents", "PDF", 4),
    Named("Type13f", "Rtf documents", "RTF", 0),
    Named("Type13g", "FB2 documents", "FB2", 3),
    Named("Other1", "Other documents", "DOC_OTHER", 3),
};

constexpr CategoryEntry kImages[] = {
    Prefix("JPG ", "JPG", 5),
    Prefix("GIF ", "GIF", 6),
    Prefix("PNG ", "PNG", 7),
    Prefix("BMP ", "BMP", 8),
    Prefix("ICO ", "ICO", 9),
    Prefix("PSD ", "PSD", 5),
    Prefix("CDR ", "CDR", 5),
    Named("Other2", "Other images", "JPG_OTHER", 5),
};

// FLV is classified as media but has no entry: such files count in the total
// and are found by a search only.
constexpr CategoryEntry kMedia[] = {
    Prefix("MP3 ", "MP3", 10),
    Prefix("WAV ", "WAV", 10),
    Prefix("AVI ", "AVI", 11),
    Prefix("MPG ", "MPG", 11),
    Prefix("WMV ", "WMV", 11),
    Prefix("MKV ", "MKV", 11),
    Prefix("WOB ", "VOB", 11),
    Named("Other3", "Other media files", "AVI_OTHER", 10),
};

constexpr CategoryEntry kBinary[] = {
    Prefix("EXE ", "EXE", 12),
    Prefix("COM ", "COM", 13),
    Prefix("DLL ", "DLL", 14),
    Prefix("DAT ", "DAT", 13),
    Prefix("BAT ", "BAT", 13),
    Prefix("MSI ", "MSI", 12),
    Prefix("OCX ", "OCX", 12),
    Named("Other4", "Other binary files", "EXE_OTHER", 12),
};

// The classifier codes a name by the first three letters of its extension,
// so ".html" files are in HTM.
constexpr CategoryEntry kWeb[] = {
    Prefix("HTML ", "HTM", 15),
    Prefix("CSS ", "CSS", 15),
    Prefix("PHP ", "PHP", 15),
    Prefix("JS ", "JS", 15),
};

constexpr CategoryEntry kOther[] = {
    Named("Type18", "Other files", nullptr, 16),
};

constexpr std::array<CategoryGroup, 6> kGroups{{
    {"Type13", "Documents", kDocuments},
    {"Type14", "Photos/Images", kImages},
    {"Type15", "Music/Audio/Video", kMedia},
    {"Type16", "Binary files", kBinary},
    {"Type17", "Html & other web-files", kWeb},
    {"Type18", "Other files", kOther},
}};

constexpr QLatin1String kFileSection("File");

QString FilesWord(const LanguageFile& lang) {
  return LangText(lang, kFileSection, QStringLiteral("Files"), QStringLiteral("files"));
}

// "text (n files)"
QString CountedText(const LanguageFile& lang, const QString& text, int count) {
  return text + QStringLiteral(" (") + QString::number(count) + QLatin1Char(' ') + FilesWord(lang) +
         QLatin1Char(')');
}

}  // namespace

std::span<const CategoryGroup> CategoryGroups() { return kGroups; }

const CategoryEntry* CategoryEntryAt(int group, int position) {
  if (group < 0 || size_t(group) >= kGroups.size()) return nullptr;
  const auto entries = kGroups[size_t(group)].entries;
  if (position < 0 || size_t(position) >= entries.size()) return nullptr;
  return &entries[size_t(position)];
}

QString CategorySection(int group, int position) {
  const CategoryEntry* entry = CategoryEntryAt(group, position);
  return QLatin1String(entry && entry->section ? entry->section : kOtherFilesMarker);
}

int EntryCount(const FoundState& state, const CategoryEntry& entry) {
  if (!entry.section) return int(state.OtherFiles.size());
  QStringList keys;
  state.FoundFiles.ReadKeys(QLatin1String(entry.section), keys);
  return int(keys.size());
}

int GroupCount(const FoundState& state, const CategoryGroup& group) {
  int sum = 0;
  for (const CategoryEntry& entry : group.entries) sum += EntryCount(state, entry);
  return sum;
}

QString GroupCaption(const LanguageFile& lang, const CategoryGroup& group, int count) {
  const QString text = LangText(lang, kFileSection, QLatin1String(group.key), QString::fromUtf8(group.english));
  return CountedText(lang, text, count);
}

QString EntryCaption(const LanguageFile& lang, const CategoryEntry& entry, int count) {
  if (entry.form == CaptionForm::Prefix)
    return QLatin1String(entry.text) + FilesWord(lang) + QStringLiteral(" (") + QString::number(count) +
           QLatin1Char(')');
  const QString text = LangText(lang, kFileSection, QLatin1String(entry.text), QString::fromUtf8(entry.english));
  return CountedText(lang, text, count);
}

}  // namespace undelvo
