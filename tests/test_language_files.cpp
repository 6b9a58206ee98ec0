// The table of user-visible texts and the language files installed beside the
// program: the files must hold exactly the table's sections and keys, English.ini
// must repeat the built-in defaults, and the translations must be complete.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "settings/LanguageTexts.h"

namespace {

namespace fs = std::filesystem;
using undelvo::EnglishDefault;
using undelvo::LanguageText;
using undelvo::LanguageTexts;

const fs::path kLangDir = fs::path(UNDELVO_SOURCE_DIR) / "src" / "settings" / "lang";

const char* const kLanguageFiles[] = {"English.ini", "German.ini",  "French.ini",
                                      "Spanish.ini", "Italian.ini", "Portuguese.ini"};

// How many keys each section of the table holds.
const std::pair<const char*, size_t> kKeysPerSection[] = {
    {"Buttons", 16}, {"Drive", 23},    {"File", 55},      {"Process", 7},  {"Note", 6},
    {"Messages", 3}, {"Statistic", 3}, {"Options", 4},    {"About", 4},    {"MenuItems", 2}};

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

using PairId = std::pair<std::string, std::string>;  // lower-case section and key

PairId IdOf(const std::string& section, const std::string& key) {
  return {Lower(section), Lower(key)};
}

std::string Name(const std::string& section, const std::string& key) {
  return "[" + section + "] " + key;
}

struct IniEntry {
  std::string section;  // as spelled in the file
  std::string key;
  std::string value;
};

struct IniFile {
  std::map<PairId, IniEntry> entries;
  std::vector<std::string> errors;  // empty when the file is well formed
};

// A strict reader for the program's own files: blank lines, "[Section]" lines and
// "Key=Value" lines (value = everything after the first "="), nothing else; no
// byte-order mark, LF line ends.
IniFile ParseIni(const fs::path& path) {
  IniFile ini;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ini.errors.push_back("cannot open " + path.string());
    return ini;
  }
  std::string section;
  bool inSection = false;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) {
      ini.errors.push_back(path.filename().string() + " starts with a byte-order mark");
      line.erase(0, 3);
    }
    const std::string where = path.filename().string() + ":" + std::to_string(number) + ": ";
    if (line.find('\r') != std::string::npos) {
      ini.errors.push_back(where + "carriage return (file must use LF line ends)");
      continue;
    }
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.size() < 3 || line.back() != ']') {
        ini.errors.push_back(where + "malformed section line: " + line);
        continue;
      }
      section = line.substr(1, line.size() - 2);
      inSection = true;
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) {
      ini.errors.push_back(where + "neither a section nor a key line: " + line);
      continue;
    }
    const std::string key = line.substr(0, eq);
    if (key.find_first_of(" \t") != std::string::npos) {
      ini.errors.push_back(where + "blank inside or around key: " + key);
      continue;
    }
    if (!inSection) {
      ini.errors.push_back(where + "key outside any section: " + key);
      continue;
    }
    const auto [it, added] =
        ini.entries.emplace(IdOf(section, key), IniEntry{section, key, line.substr(eq + 1)});
    if (!added) ini.errors.push_back(where + "duplicate key " + Name(section, key));
  }
  return ini;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Well-formed UTF-8: no stray continuation bytes, no truncated or overlong
// sequences, no surrogates, nothing beyond U+10FFFF.
bool IsValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len = 0;
    unsigned cp = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2, cp = b & 0x1Fu;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3, cp = b & 0x0Fu;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4, cp = b & 0x07u;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3Fu);
    }
    const unsigned minimum = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += "\n  " + l;
  return out;
}

TEST(LanguageTexts, TableHoldsEachPairOnceWithTheExpectedKeysPerSection) {
  std::map<std::string, size_t> perSection;
  std::set<PairId> seen;
  for (const LanguageText& t : LanguageTexts()) {
    ASSERT_NE(t.section, nullptr);
    ASSERT_NE(t.key, nullptr);
    ASSERT_NE(t.english, nullptr) << Name(t.section, t.key);
    EXPECT_NE(std::strlen(t.english), 0u) << Name(t.section, t.key);
    EXPECT_TRUE(seen.insert(IdOf(t.section, t.key)).second)
        << "listed twice: " << Name(t.section, t.key);
    ++perSection[t.section];
    // Every entry is reachable through the lookup, whatever the letter case.
    EXPECT_EQ(EnglishDefault(t.section, t.key), t.english) << Name(t.section, t.key);
    EXPECT_EQ(EnglishDefault(Lower(t.section).c_str(), Lower(t.key).c_str()), t.english)
        << Name(t.section, t.key);
  }
  std::map<std::string, size_t> expected(std::begin(kKeysPerSection), std::end(kKeysPerSection));
  EXPECT_EQ(perSection, expected);
  EXPECT_EQ(LanguageTexts().size(), 123u);
}

TEST(LanguageTexts, EnglishDefaultMatchesWholeNamesOnlyWithinTheirSection) {
  const char* const noteMessage2 =
      "Saving recovered files onto the same drive where the original files were located can "
      "damage the chances of a full recovery. We recommend saving recovered files onto a "
      "different drive. ";
  struct Case {
    const char* section;
    const char* key;
    const char* expected;  // nullptr: no such text
  };
  const Case cases[] = {
      {"buttons", "startscan", "Start Scan"},
      {"BUTTONS", "STARTSCAN", "Start Scan"},
      {"File", "of", "of"},
      {"File", "Files", "files"},
      {"File", "File", "File"},
      // The same key in different sections is a different text.
      {"File", "Message2", "No files selected!"},
      {"Process", "Message2", "Are you sure you wish to cancel this operation?"},
      {"Note", "Message2", noteMessage2},
      {"Drive", "Message7", "Error reading boot sector (FAT)!"},
      {"File", "Message7", "Restore selected files?"},
      {"Buttons", "Message2", nullptr},
      {"Buttons", "NoSuchKey", nullptr},
      {"Buttons", "Sto", nullptr},
      {"Buttons", "StopX", nullptr},
      {"Button", "Stop", nullptr},
      {"Buttons", "", nullptr},
      {"", "Stop", nullptr},
      {nullptr, "Stop", nullptr},
      {"Buttons", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    const char* got = EnglishDefault(c.section, c.key);
    const std::string label = std::string(c.section ? c.section : "(null)") + "/" +
                              (c.key ? c.key : "(null)");
    if (c.expected == nullptr) {
      EXPECT_EQ(got, nullptr) << label << " gave \"" << (got ? got : "") << "\"";
    } else {
      ASSERT_NE(got, nullptr) << label;
      EXPECT_STREQ(got, c.expected) << label;
    }
  }
}

TEST(LanguageFiles, EveryFileIsWellFormedAndHoldsExactlyTheTableKeys) {
  std::set<std::string> present;
  for (const fs::directory_entry& e : fs::directory_iterator(kLangDir)) {
    if (e.path().extension() == ".ini") present.insert(e.path().filename().string());
  }
  for (const char* name : kLanguageFiles) {
    EXPECT_TRUE(present.count(name)) << name << " is missing from " << kLangDir;
  }
  ASSERT_FALSE(present.empty());

  std::map<PairId, const LanguageText*> table;
  for (const LanguageText& t : LanguageTexts()) table[IdOf(t.section, t.key)] = &t;

  for (const std::string& name : present) {
    SCOPED_TRACE(name);
    const fs::path path = kLangDir / name;
    EXPECT_TRUE(IsValidUtf8(ReadAll(path))) << "not valid UTF-8";

    const IniFile ini = ParseIni(path);
    EXPECT_TRUE(ini.errors.empty()) << Join(ini.errors);

    std::vector<std::string> missing, unknown, misspelt;
    for (const auto& [id, t] : table) {
      if (!ini.entries.count(id)) missing.push_back(Name(t->section, t->key));
    }
    for (const auto& [id, e] : ini.entries) {
      const auto it = table.find(id);
      if (it == table.end()) {
        unknown.push_back(Name(e.section, e.key));
      } else if (e.section != it->second->section || e.key != it->second->key) {
        misspelt.push_back(Name(e.section, e.key) + " (table: " +
                           Name(it->second->section, it->second->key) + ")");
      }
    }
    EXPECT_TRUE(missing.empty()) << "missing:" << Join(missing);
    EXPECT_TRUE(unknown.empty()) << "unknown:" << Join(unknown);
    EXPECT_TRUE(misspelt.empty()) << "spelt differently:" << Join(misspelt);
  }
}

TEST(LanguageFiles, EnglishFileRepeatsTheBuiltInDefaults) {
  const IniFile ini = ParseIni(kLangDir / "English.ini");
  ASSERT_TRUE(ini.errors.empty()) << Join(ini.errors);
  for (const LanguageText& t : LanguageTexts()) {
    const auto it = ini.entries.find(IdOf(t.section, t.key));
    if (it == ini.entries.end()) {
      ADD_FAILURE() << "English.ini lacks " << Name(t.section, t.key);
      continue;
    }
    EXPECT_EQ(it->second.value, t.english) << Name(t.section, t.key);
  }
}

// Texts a translation may leave as in English because the language really uses
// the same word. Every entry listed here must actually be identical, so the list
// cannot go stale.
const std::map<std::string, std::set<PairId>> kSameAsEnglish = {
    {"German.ini", {IdOf("Buttons", "OK"), IdOf("Options", "Status")}},
    {"French.ini",
     {IdOf("Buttons", "OK"), IdOf("File", "Date"), IdOf("File", "Type10"), IdOf("File", "Type11"),
      IdOf("File", "Type13"), IdOf("File", "Type14"), IdOf("Messages", "Confirmation"),
      IdOf("Messages", "Information"), IdOf("About", "Version")}},
    {"Spanish.ini", {IdOf("Buttons", "No")}},
    {"Italian.ini", {IdOf("Buttons", "OK"), IdOf("Buttons", "No"), IdOf("File", "File")}},
    {"Portuguese.ini", {IdOf("Buttons", "OK"), IdOf("Options", "Status")}},
};

TEST(LanguageFiles, TranslationsAreCompleteAndActuallyTranslated) {
  for (const auto& [name, allowed] : kSameAsEnglish) {
    SCOPED_TRACE(name);
    const IniFile ini = ParseIni(kLangDir / name);
    ASSERT_TRUE(ini.errors.empty()) << Join(ini.errors);
    std::vector<std::string> untranslated, stale;
    for (const LanguageText& t : LanguageTexts()) {
      const PairId id = IdOf(t.section, t.key);
      const auto it = ini.entries.find(id);
      if (it == ini.entries.end()) continue;  // reported by the key-set test
      const std::string& value = it->second.value;
      const std::string label = Name(t.section, t.key);
      EXPECT_FALSE(value.empty()) << label << " is empty";
      if (!value.empty()) {
        EXPECT_NE(value.front(), ' ') << label << " starts with a blank";
        EXPECT_NE(value.back(), ' ') << label << " ends with a blank";
      }
      const bool same = value == t.english;
      if (same && !allowed.count(id)) untranslated.push_back(label + "=" + value);
      if (!same && allowed.count(id)) stale.push_back(label + "=" + value);
    }
    EXPECT_TRUE(untranslated.empty()) << "left in English:" << Join(untranslated);
    EXPECT_TRUE(stale.empty()) << "listed as same-as-English but translated:" << Join(stale);
  }
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The closing punctuation of a text ("...", ":", "!", "?", "."), or "" when it has none.
std::string ClosingMark(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  if (EndsWith(s, "...")) return "...";
  if (!s.empty() && std::strchr(":!?.", s.back()) != nullptr) return std::string(1, s.back());
  return "";
}

// Parenthesised lower-case hints such as " (txt)" or " (mpeg)"; the blank before
// them tells them from plural markers like "file(s)".
std::vector<std::string> ExtensionHints(const std::string& s) {
  std::vector<std::string> hints;
  for (size_t open = s.find('('); open != std::string::npos; open = s.find('(', open + 1)) {
    const size_t close = s.find(')', open);
    if (close == std::string::npos) break;
    if (open == 0 || s[open - 1] != ' ') continue;
    const std::string inner = s.substr(open + 1, close - open - 1);
    bool lowerAlnum = !inner.empty();
    for (char c : inner) lowerAlnum &= (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (lowerAlnum) hints.push_back(s.substr(open, close - open + 1));
  }
  return hints;
}

TEST(LanguageFiles, TranslationsKeepPunctuationNamesAndExamples) {
  for (const char* name : kLanguageFiles) {
    SCOPED_TRACE(name);
    const IniFile ini = ParseIni(kLangDir / name);
    ASSERT_TRUE(ini.errors.empty()) << Join(ini.errors);
    for (const LanguageText& t : LanguageTexts()) {
      const auto it = ini.entries.find(IdOf(t.section, t.key));
      if (it == ini.entries.end()) continue;  // reported by the key-set test
      const std::string& value = it->second.value;
      const std::string english = t.english;
      const std::string label = Name(t.section, t.key) + "=" + value;
      // Callers append numbers and punctuation around these texts, so the closing
      // mark must stay the same, including "no mark at all".
      EXPECT_EQ(ClosingMark(value), ClosingMark(english)) << label;
      for (const char* kept : {"Undelvo", "*.doc,*.txt, *.jpg, *.mp3"}) {
        if (english.find(kept) != std::string::npos) {
          EXPECT_NE(value.find(kept), std::string::npos) << label << " lost " << kept;
        }
      }
      for (const std::string& hint : ExtensionHints(english)) {
        EXPECT_NE(value.find(hint), std::string::npos) << label << " lost " << hint;
      }
    }
  }
}

}  // namespace
