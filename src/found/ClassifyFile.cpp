#include "found/ClassifyFile.h"

#include <array>

namespace undelvo {

namespace {

struct ExtensionList {
  int category;
  const char* codes;
};

// Searched in this order as plain text, so a two-letter code found inside a
// longer one ("OC" in ".DOC") matches the first list that holds it.
constexpr std::array<ExtensionList, 5> kLists{{
    {CategoryDocuments, ".TXT.DOC.XLS.PPT.PDF.FB2.RTF.ODT.ODS.LOG"},
    {CategoryImages, ".JPG.JPE.GIF.PNG.BMP.ICO.PSD.CDR.TIF.SVG.TGA"},
    {CategoryMedia, ".MP3.WAV.AVI.MP4.MPG.MPE.FLV.WMA.WMV.MOV.VOB.M4A.M4B.M4P.RMV.AIF.DVF.FLA.DIV.MKV"},
    {CategoryBinary, ".EXE.DLL.COM.SYS.MSI.DAT.OCX.RES.BAT.CAB"},
    {CategoryWeb, ".HTM.HTML.CSS.PHP.JS"},
}};

constexpr const char* kOtherMedia = "MOV.M4A.M4B.M4P.RMV.AIF.DVF.FLA.DIV";
constexpr const char* kOtherBinary = "SYS.RES.CAB";

QString ExtensionCode(const QString& name) {
  qsizetype dot = -1;
  for (qsizetype i = name.size() - 1; i >= 0; --i) {
    const QChar c = name[i];
    if (c == QLatin1Char('.')) { dot = i; break; }
    if (c == QLatin1Char('\\') || c == QLatin1Char('/') || c == QLatin1Char(':')) break;
  }
  if (dot < 0 || name.size() - dot < 3) return {};
  QString code = name.mid(dot + 1, 3);
  for (QChar& c : code)
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
  return code;
}

QString RewriteCode(int category, const QString& code) {
  auto is = [&](const char* s) { return code == QLatin1String(s); };
  switch (category) {
    case CategoryDocuments:
      return is("ODT") || is("ODS") || is("LOG") ? QStringLiteral("DOC_OTHER") : code;
    case CategoryImages:
      if (is("JPE")) return QStringLiteral("JPG");
      return is("TIF") || is("SVG") || is("TGA") ? QStringLiteral("JPG_OTHER") : code;
    case CategoryMedia:
      if (is("MP4") || is("MPE")) return QStringLiteral("MPG");
      if (is("WMA")) return QStringLiteral("WMV");
      return QLatin1String(kOtherMedia).contains(code) ? QStringLiteral("AVI_OTHER") : code;
    case CategoryBinary:
      return QLatin1String(kOtherBinary).contains(code) ? QStringLiteral("EXE_OTHER") : code;
    default:
      return code;
  }
}

}  // namespace

QString ClassifyFile(const QString& name, int& fileCategory) {
  const QString code = ExtensionCode(name);
  if (!code.isEmpty()) {
    for (const ExtensionList& list : kLists) {
      if (QLatin1String(list.codes).contains(code)) {
        fileCategory = list.category;
        return RewriteCode(list.category, code);
      }
    }
  }
  fileCategory = CategoryOther;
  return QStringLiteral("OTHER");
}

}  // namespace undelvo
