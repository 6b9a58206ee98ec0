#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace undelvo {

// Sections of (key, value) texts. Section names and keys compare without
// regard to letter case (Unicode case folding); each section and the section
// list keep the order of first insertion and carry a hashed index, so lookups
// stay constant-time on volumes with hundreds of thousands of entries.
class FoundFiles {
 public:
  void Clear();
  bool KeyExists(const QString& section, const QString& key) const;
  // Replaces the value of an existing key in place, else appends the key.
  void Write(const QString& section, const QString& key, const QString& value);
  // The value, or empty text when the section or key is absent.
  QString Read(const QString& section, const QString& key) const;
  // Replaces list's content with the section's keys in order (empty when unknown).
  void ReadKeys(const QString& section, QStringList& list) const;
  // Replaces list's content with every section name in creation order.
  void ReadSectionNames(QStringList& list) const;
  int SectionCount() const { return int(sections_.size()); }
  // Calls visit(section, key, value) for every entry, the sections in
  // creation order and each section's keys in theirs, without a lookup.
  template <typename Visit>
  void ForEachEntry(Visit visit) const {
    for (const Section& s : sections_)
      for (const auto& [key, value] : s.entries) visit(s.name, key, value);
  }

  // Where a search for a free numbered key ("name(n).ext") may start: keys are
  // never removed during a scan, so the lowest free n of a name only grows and
  // a search can resume where the last one for that name ended. Cleared with
  // the store. `tag` tells the naming styles apart.
  int NumberHint(const QString& tag) const { return numberHints_.value(tag, 1); }
  void SetNumberHint(const QString& tag, int n) { numberHints_.insert(tag, n); }

 private:
  struct Section {
    QString name;
    std::vector<std::pair<QString, QString>> entries;
    QHash<QString, int> index;  // folded key -> position in entries
  };
  const Section* FindSection(const QString& name) const;

  std::vector<Section> sections_;
  QHash<QString, int> sectionIndex_;  // folded name -> position in sections_
  QHash<QString, int> numberHints_;
};

}  // namespace undelvo
