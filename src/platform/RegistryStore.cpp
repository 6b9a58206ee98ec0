#include "platform/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Folders.h"

namespace undelvo {

namespace {

constexpr char kHeader[] = "Windows Registry Editor Version 5.00";

struct Value {
  QString name;
  RegValue value;
};
struct Key {
  QString path;  // "HKEY_CURRENT_USER\SOFTWARE\..."
  std::vector<Value> values;
};
using Hive = std::vector<Key>;

QString RootName(RegRoot root) {
  return root == RegRoot::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER")
                                      : QStringLiteral("HKEY_CLASSES_ROOT");
}

QString FullKey(RegRoot root, const QString& key) {
  QString k = key;
  k.replace(QLatin1Char('/'), QLatin1Char('\\'));
  while (k.startsWith(QLatin1Char('\\'))) k.remove(0, 1);
  while (k.endsWith(QLatin1Char('\\'))) k.chop(1);
  return k.isEmpty() ? RootName(root) : RootName(root) + QLatin1Char('\\') + k;
}

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString Quote(const QString& s) {
  QString out = QStringLiteral("\"");
  for (const QChar c : s) {
    if (c == QLatin1Char('\\')) out += QStringLiteral("\\\\");
    else if (c == QLatin1Char('"')) out += QStringLiteral("\\\"");
    else if (c == QLatin1Char('\n')) out += QStringLiteral("\\n");
    else if (c == QLatin1Char('\r')) out += QStringLiteral("\\r");
    else out += c;
  }
  return out + QLatin1Char('"');
}

// Reads a quoted text starting at line[pos] == '"'; pos ends after the closing quote.
std::optional<QString> Unquote(const QString& line, qsizetype& pos) {
  if (pos >= line.size() || line[pos] != QLatin1Char('"')) return std::nullopt;
  QString out;
  for (++pos; pos < line.size(); ++pos) {
    const QChar c = line[pos];
    if (c == QLatin1Char('"')) { ++pos; return out; }
    if (c == QLatin1Char('\\') && pos + 1 < line.size()) {
      const QChar n = line[++pos];
      out += n == QLatin1Char('n') ? QChar('\n') : n == QLatin1Char('r') ? QChar('\r') : n;
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

std::optional<RegValue> ParseData(const QString& data) {
  if (data.startsWith(QLatin1Char('"'))) {
    qsizetype pos = 0;
    auto s = Unquote(data, pos);
    if (!s) return std::nullopt;
    return RegValue::Text(*s);
  }
  if (data.startsWith(QLatin1String("dword:"))) {
    bool ok = false;
    const uint32_t v = data.mid(6).toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return RegValue::Integer(int32_t(v));
  }
  if (data.startsWith(QLatin1String("hex:"))) {
    QByteArray bytes;
    const QString body = data.mid(4).trimmed();
    if (!body.isEmpty()) {
      for (const QString& part : body.split(QLatin1Char(','))) {
        bool ok = false;
        const uint v = part.trimmed().toUInt(&ok, 16);
        if (!ok || v > 0xff) return std::nullopt;
        bytes.append(char(v));
      }
    }
    return RegValue::Binary(bytes);
  }
  return std::nullopt;
}

QString FormatData(const RegValue& v) {
  switch (v.type) {
    case RegType::Text:
      return Quote(v.text);
    case RegType::Integer:
      return QStringLiteral("dword:%1").arg(uint32_t(v.integer), 8, 16, QLatin1Char('0'));
    case RegType::Binary: {
      QStringList parts;
      for (const char b : v.binary) parts << QStringLiteral("%1").arg(uint8_t(b), 2, 16, QLatin1Char('0'));
      return QStringLiteral("hex:") + parts.join(QLatin1Char(','));
    }
  }
  return {};
}

// Lines that do not parse are skipped, so a damaged line costs only itself.
Hive Parse(const QByteArray& bytes) {
  Hive hive;
  Key* current = nullptr;
  for (const QString& raw : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
    const QString line = raw.trimmed();
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      const QString path = line.mid(1, line.size() - 2);
      current = nullptr;
      for (Key& k : hive)
        if (SameName(k.path, path)) current = &k;
      if (!current) current = &hive.emplace_back(Key{path, {}});
      continue;
    }
    if (!current || !line.startsWith(QLatin1Char('"'))) continue;
    qsizetype pos = 0;
    const auto name = Unquote(line, pos);
    if (!name || pos >= line.size() || line[pos] != QLatin1Char('=')) continue;
    const auto value = ParseData(line.mid(pos + 1));
    if (!value) continue;
    bool replaced = false;
    for (Value& v : current->values)
      if (SameName(v.name, *name)) { v.value = *value; replaced = true; }
    if (!replaced) current->values.push_back(Value{*name, *value});
  }
  return hive;
}

QByteArray Format(const Hive& hive) {
  QString out = QLatin1String(kHeader) + QLatin1Char('\n');
  for (const Key& k : hive) {
    out += QStringLiteral("\n[") + k.path + QStringLiteral("]\n");
    for (const Value& v : k.values) out += Quote(v.name) + QLatin1Char('=') + FormatData(v.value) + QLatin1Char('\n');
  }
  return out.toUtf8();
}

std::optional<Hive> Load(const QString& path) {
  QFile f(path);
  if (!f.exists()) return Hive{};
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  return Parse(f.readAll());
}

const Key* FindKey(const Hive& hive, const QString& path) {
  for (const Key& k : hive)
    if (SameName(k.path, path)) return &k;
  return nullptr;
}

// Serialises writers across processes for one read-modify-write.
class FileLock {
 public:
  explicit FileLock(const QString& path)
      : fd_(::open(QFile::encodeName(path + ".lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_;
};

}  // namespace

RegistryStore::RegistryStore(QString filePath) : path_(std::move(filePath)) {}

QString RegistryStore::DefaultPath() { return SettingsFolder() + QStringLiteral("/registry.reg"); }

std::optional<RegValue> RegistryStore::Read(RegRoot root, const QString& key, const QString& name) const {
  const auto hive = Load(path_);
  if (!hive) return std::nullopt;
  const Key* k = FindKey(*hive, FullKey(root, key));
  if (!k) return std::nullopt;
  for (const Value& v : k->values)
    if (SameName(v.name, name)) return v.value;
  return std::nullopt;
}

bool RegistryStore::KeyExists(RegRoot root, const QString& key) const {
  const auto hive = Load(path_);
  return hive && FindKey(*hive, FullKey(root, key)) != nullptr;
}

bool RegistryStore::Write(RegRoot root, const QString& key, const QString& name, const RegValue& value) {
  return WriteValues(root, key, {{name, value}});
}

bool RegistryStore::WriteValues(RegRoot root, const QString& key,
                                const std::vector<std::pair<QString, RegValue>>& values) {
  if (!QDir().mkpath(QFileInfo(path_).absolutePath())) return false;
  FileLock lock(path_);
  auto hive = Load(path_);
  if (!hive) return false;
  const QString full = FullKey(root, key);
  Key* k = const_cast<Key*>(FindKey(*hive, full));
  if (!k) k = &hive->emplace_back(Key{full, {}});
  for (const auto& [name, value] : values) {
    bool replaced = false;
    for (Value& v : k->values)
      if (SameName(v.name, name)) { v.value = value; replaced = true; }
    if (!replaced) k->values.push_back(Value{name, value});
  }
  return WriteFileAtomically(path_, Format(*hive));
}

}  // namespace undelvo
