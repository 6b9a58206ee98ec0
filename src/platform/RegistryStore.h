#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace undelvo {

enum class RegRoot { CurrentUser, ClassesRoot };
enum class RegType { Text, Integer, Binary };

struct RegValue {
  RegType type = RegType::Text;
  QString text;
  int32_t integer = 0;
  QByteArray binary;

  static RegValue Text(const QString& s) { return {RegType::Text, s, 0, {}}; }
  static RegValue Integer(int32_t v) { return {RegType::Integer, {}, v, {}}; }
  static RegValue Binary(const QByteArray& b) { return {RegType::Binary, {}, 0, b}; }
};

// The registry of the program's user: keys holding typed values (text,
// 32-bit integer, binary), kept as a .reg-style text file. Key and value names
// compare without regard to letter case. Every call reads the file afresh;
// every write replaces it atomically under a lock, so a crash mid-write
// leaves the previous file and two processes do not lose each other's values.
class RegistryStore {
 public:
  explicit RegistryStore(QString filePath);

  // The store in the user's settings folder.
  static QString DefaultPath();

  const QString& FilePath() const { return path_; }

  std::optional<RegValue> Read(RegRoot root, const QString& key, const QString& name) const;
  bool KeyExists(RegRoot root, const QString& key) const;
  // Creates the key when missing. False when the file cannot be written.
  bool Write(RegRoot root, const QString& key, const QString& name, const RegValue& value);
  // Several values of one key in a single replacement of the file.
  bool WriteValues(RegRoot root, const QString& key, const std::vector<std::pair<QString, RegValue>>& values);

 private:
  QString path_;
};

}  // namespace undelvo
