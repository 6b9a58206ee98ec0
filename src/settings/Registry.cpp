#include "settings/Registry.h"

#include <cstring>

#include "settings/DateTimeValue.h"

namespace undelvo {

QString AsciiUpper(const QString& s) {
  QString out = s;
  for (QChar& c : out)
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
  return out;
}

QString RegReadString(const RegistryStore& store, RegRoot root, const QString& key, const QString& name) {
  const auto v = store.Read(root, key, name);
  return v && v->type == RegType::Text ? AsciiUpper(v->text) : QString();
}

int32_t RegReadInteger(const RegistryStore& store, RegRoot root, const QString& key, const QString& name) {
  const auto v = store.Read(root, key, name);
  return v && v->type == RegType::Integer ? v->integer : 0;
}

bool RegReadBool(const RegistryStore& store, RegRoot root, const QString& key, const QString& name) {
  return RegReadInteger(store, root, key, name) != 0;
}

double RegReadDateTime(const RegistryStore& store, RegRoot root, const QString& key, const QString& name) {
  const auto v = store.Read(root, key, name);
  if (!v || v->type != RegType::Binary || v->binary.size() != qsizetype(sizeof(double))) return DateTimeNow();
  double d = 0;
  std::memcpy(&d, v->binary.constData(), sizeof d);
  return d;
}

void RegWriteString(RegistryStore& store, RegRoot root, const QString& key, const QString& name, const QString& value) {
  store.Write(root, key, name, RegValue::Text(value));
}

void RegWriteInteger(RegistryStore& store, RegRoot root, const QString& key, const QString& name, int32_t value) {
  store.Write(root, key, name, RegValue::Integer(value));
}

void RegWriteBool(RegistryStore& store, RegRoot root, const QString& key, const QString& name, bool value) {
  store.Write(root, key, name, RegValue::Integer(value ? 1 : 0));
}

RegValue DateTimeRegValue(double value) {
  QByteArray bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  return RegValue::Binary(bytes);
}

void RegWriteDateTime(RegistryStore& store, RegRoot root, const QString& key, const QString& name, double value) {
  store.Write(root, key, name, DateTimeRegValue(value));
}

}  // namespace undelvo
