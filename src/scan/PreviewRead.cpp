#include "scan/PreviewRead.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "fat/PreviewFAT.h"
#include "found/EntryValue.h"
#include "ntfs/PreviewNTFS.h"
#include "settings/LanguageFile.h"

namespace undelvo {

namespace {

// The start of a Recycle Bin file, up to `limit` bytes; empty when it is
// gone or not a plain file (the bin is a live folder and may have changed).
QByteArray ReadBinFile(const QString& path, int64_t limit) {
  const QFileInfo info(path);
  if (!info.isFile() || info.isSymLink()) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes(qsizetype(std::clamp<int64_t>(info.size(), 0, limit)), Qt::Uninitialized);
  qsizetype done = 0;
  while (done < bytes.size()) {
    const qint64 n = file.read(bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += qsizetype(n);
  }
  bytes.truncate(done);
  return bytes;
}

}  // namespace

QString PreviewExtension(const QString& name) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot).toUpper();
}

PreviewClass PreviewClassOf(const QString& name) {
  static const struct {
    const char* extensions[5];
    PreviewClass previewClass;
  } kClasses[] = {
      {{".WAV", ".MP3"}, PreviewClass::Sound},
      {{".AVI", ".MOV", ".MPEG", ".MPG"}, PreviewClass::Video},
      {{".EXE", ".COM", ".DLL", ".BAT", ".DAT"}, PreviewClass::Program},
      {{".BMP", ".JPG", ".GIF", ".PNG"}, PreviewClass::Picture},
  };
  const QString extension = PreviewExtension(name);
  for (const auto& c : kClasses)
    for (const char* e : c.extensions)
      if (e != nullptr && extension == QLatin1String(e)) return c.previewClass;
  return PreviewClass::Text;
}

QString StockPictureName(PreviewClass previewClass) {
  switch (previewClass) {
    case PreviewClass::Sound: return QStringLiteral("Wav");
    case PreviewClass::Video: return QStringLiteral("Avi");
    case PreviewClass::Program: return QStringLiteral("ExeDll");
    default: return {};
  }
}

PreviewContent ReadPreview(UndelvoState& state, const QString& name, const QString& entryValue) {
  PreviewContent preview;
  preview.extension = PreviewExtension(name);
  preview.state = StateOf(state.Scan.Found.States, entryValue);
  const PreviewClass previewClass = PreviewClassOf(name);
  if (!StockPictureName(previewClass).isEmpty()) {
    preview.kind = PreviewContent::Kind::Stock;
    preview.stock = StockPictureName(previewClass);
    return preview;
  }
  const EntryValue e = ParseEntryValue(entryValue);
  const bool fromBin = e.IsRecycleBin();
  // On NTFS the locator is a byte offset into the loaded records, where 0 is
  // a record too; on FAT it is the first cluster, and 0 means an empty file.
  const bool located = state.Scan.Volume.FsKind == FsNtfs ? e.HasNumericLocator() : e.locator != 0;
  if (!fromBin && (!located || e.size == 0 || e.size > kPreviewSizeLimit)) {
    preview.kind = PreviewContent::Kind::Impossible;
    preview.message = LangText(state.Program.Lang, "File", "Message4");
    return preview;
  }
  const bool wholeFile = previewClass == PreviewClass::Picture;
  preview.kind = wholeFile ? PreviewContent::Kind::Picture : PreviewContent::Kind::Text;
  ScanState& scan = state.Scan;
  if (fromBin) {
    preview.bytes = ReadBinFile(e.path, kPreviewReadLimit);
  } else if (scan.Volume.FsKind == FsFat16 || scan.Volume.FsKind == FsFat32) {
    preview.bytes = PreviewFAT(scan.Volume, scan.Fat, e.locator, e.size, wholeFile, kPreviewReadLimit, state.Run);
  } else if (scan.Volume.FsKind == FsNtfs) {
    preview.bytes = PreviewNTFS(scan.Volume, scan.Ntfs, e.locator, wholeFile, kPreviewReadLimit);
  }
  return preview;
}

}  // namespace undelvo
