// The readers of the settings files, on the input as each file: the INI text
// (language files, the geometry cache) and the registry store with the
// settings and statistics read from it. Writing one value into a store must
// keep every other value as it was read and give back the value written.
#include <QByteArray>
#include <QString>

#include "FuzzSupport.h"
#include "platform/IniText.h"
#include "platform/RegistryStore.h"
#include "scan/ScanStatistics.h"
#include "settings/LanguageFile.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "volume/GeometryCache.h"

using namespace undelvo;

namespace {

bool SameValue(const std::optional<RegValue>& a, const std::optional<RegValue>& b) {
  if (a.has_value() != b.has_value()) return false;
  if (!a) return true;
  return a->type == b->type && a->text == b->text && a->integer == b->integer && a->binary == b->binary;
}

void ReadIni(const QByteArray& bytes, const std::string& file) {
  IniText ini;
  ini.Load(bytes);
  ini.HasSection(QStringLiteral("Drive"));
  ini.Find(QStringLiteral("Drive"), QStringLiteral("Message3"));
  LanguageFile lang;
  lang.LoadFromText(bytes);
  LangText(lang, "Drive", "Message3");
  LangText(lang, "Process", "NotFound1");

  if (!fuzz::WriteImage(file, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()))) return;
  CachedGeometry g;
  ReadCachedGeometry(QString::fromStdString(file), QStringLiteral("C:"), g);
}

void ReadRegistry(const QByteArray& bytes, const std::string& file) {
  fuzz::RemoveTree(file);
  if (!fuzz::WriteImage(file, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()))) return;
  RegistryStore store(QString::fromStdString(file));
  LoadScanStatistics(store);
  RegReadString(store, RegRoot::CurrentUser, kSettingsKey, QStringLiteral("SaveDir"));
  RegReadDateTime(store, RegRoot::CurrentUser, kSettingsKey, QStringLiteral("LastRun"));
  const auto language = store.Read(RegRoot::CurrentUser, kSettingsKey, QStringLiteral("Language"));
  const auto lastRun = store.Read(RegRoot::CurrentUser, kSettingsKey, QStringLiteral("LastRun"));
  const auto other = store.Read(RegRoot::ClassesRoot, QStringLiteral(".txt"), QString());

  // A save folder may hold any character: it must come back as written.
  const QString folder = QString::fromUtf8(bytes.left(200));
  if (!store.Write(RegRoot::CurrentUser, kSettingsKey, QStringLiteral("SaveDir"), RegValue::Text(folder))) return;
  if (!SameValue(store.Read(RegRoot::CurrentUser, kSettingsKey, QStringLiteral("SaveDir")), RegValue::Text(folder)))
    fuzz::Fail("a text value does not read back as written");
  if (!SameValue(store.Read(RegRoot::CurrentUser, kSettingsKey, QStringLiteral("Language")), language) ||
      !SameValue(store.Read(RegRoot::CurrentUser, kSettingsKey, QStringLiteral("LastRun")), lastRun) ||
      !SameValue(store.Read(RegRoot::ClassesRoot, QStringLiteral(".txt"), QString()), other))
    fuzz::Fail("writing one value changed another");

  Settings settings;
  LoadSettings(settings, store);
  ExpandFolderVars(settings, settings.SaveFolder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  ReadIni(bytes, fuzz::ScratchPath("text.ini"));
  ReadRegistry(bytes, fuzz::ScratchPath("registry.reg"));
  return 0;
}
