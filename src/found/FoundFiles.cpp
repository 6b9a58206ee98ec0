#include "found/FoundFiles.h"

namespace undelvo {

void FoundFiles::Clear() {
  sections_.clear();
  sectionIndex_.clear();
  numberHints_.clear();
}

const FoundFiles::Section* FoundFiles::FindSection(const QString& name) const {
  const auto it = sectionIndex_.constFind(name.toCaseFolded());
  return it == sectionIndex_.cend() ? nullptr : &sections_[size_t(*it)];
}

bool FoundFiles::KeyExists(const QString& section, const QString& key) const {
  const Section* s = FindSection(section);
  return s != nullptr && s->index.contains(key.toCaseFolded());
}

void FoundFiles::Write(const QString& section, const QString& key, const QString& value) {
  const QString foldedSection = section.toCaseFolded();
  auto sit = sectionIndex_.constFind(foldedSection);
  if (sit == sectionIndex_.cend()) {
    sit = sectionIndex_.insert(foldedSection, int(sections_.size()));
    sections_.push_back(Section{section, {}, {}});
  }
  Section& s = sections_[size_t(*sit)];
  const QString foldedKey = key.toCaseFolded();
  const auto kit = s.index.constFind(foldedKey);
  if (kit != s.index.cend()) {
    s.entries[size_t(*kit)].second = value;
    return;
  }
  s.index.insert(foldedKey, int(s.entries.size()));
  s.entries.emplace_back(key, value);
}

QString FoundFiles::Read(const QString& section, const QString& key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return {};
  const auto it = s->index.constFind(key.toCaseFolded());
  return it == s->index.cend() ? QString() : s->entries[size_t(*it)].second;
}

void FoundFiles::ReadKeys(const QString& section, QStringList& list) const {
  list.clear();
  const Section* s = FindSection(section);
  if (s == nullptr) return;
  list.reserve(qsizetype(s->entries.size()));
  for (const auto& entry : s->entries) list.append(entry.first);
}

void FoundFiles::ReadSectionNames(QStringList& list) const {
  list.clear();
  for (const Section& s : sections_) list.append(s.name);
}

}  // namespace undelvo
