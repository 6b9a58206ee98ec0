#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>

#include "found/Recoverability.h"

#include "scan/UndelvoState.h"

namespace undelvo {

// What the preview makes of a file, by the upper-cased extension of its name.
enum class PreviewClass {
  Sound,    // .WAV .MP3: the stock picture "Wav"
  Video,    // .AVI .MOV .MPEG .MPG: the stock picture "Avi"
  Program,  // .EXE .COM .DLL .BAT .DAT: the stock picture "ExeDll"
  Picture,  // .BMP .JPG .GIF .PNG: the file decoded, so it is read whole
  Text,     // anything else: the start of the file as text
};

// The extension of a name from its last ".", upper-cased (".JPG"); empty
// when the name has no ".".
QString PreviewExtension(const QString& name);
PreviewClass PreviewClassOf(const QString& name);
// The stock picture of a class ("Wav", "Avi", "ExeDll"); empty for pictures and text.
QString StockPictureName(PreviewClass previewClass);

// A file on the volume larger than this is not previewed.
constexpr int64_t kPreviewSizeLimit = 1024000;
// At most this much of a file is loaded (a Recycle Bin file is otherwise
// loaded whole, whatever its size; a picture this large cannot be shown).
constexpr int64_t kPreviewReadLimit = int64_t(256) << 20;

// What the preview window shows of one found file.
struct PreviewContent {
  enum class Kind {
    Impossible,  // "Preview is impossible!": nothing to show, no window
    Stock,       // one of the stock pictures, nothing read
    Picture,     // `bytes` hold the picture to decode
    Text,        // `bytes` hold the start of the file
  };
  Kind kind = Kind::Text;
  QString message;    // Impossible: the text for the user, from the language file
  QString stock;      // Stock: the picture's name, "Wav", "Avi" or "ExeDll"
  QString extension;  // the name's extension, upper-cased (".JPG")
  QByteArray bytes;   // Picture and Text: empty when nothing could be read
  Recoverability state;  // what the scan told of the file's clusters
};

// Reads what the preview shows of the found file `name` with `entryValue`
// (a row of the last scan of state.Scan). Stock extensions read nothing.
// Other rows from the volume are refused when their locator or size is 0 or
// the size is above kPreviewSizeLimit; they are read by the engine of the
// volume's file system (FAT16, FAT32, NTFS; nothing on any other), the
// first 2 clusters or runs for text, the whole file for a picture, as a
// restore would read them. A Recycle Bin row reads the file itself, up to
// kPreviewReadLimit bytes. Nothing is ever written. Chain walks let events
// through state.Run, but no run need be going on; the caller tests Busy first.
PreviewContent ReadPreview(UndelvoState& state, const QString& name, const QString& entryValue);

}  // namespace undelvo
