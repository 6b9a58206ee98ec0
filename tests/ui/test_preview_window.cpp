// The preview window: pictures shown unscaled and centred, text decoded by
// its byte-order mark and cut at its first NUL, the stock pictures, the file
// lines above them, the refusals through the prompter, and real rows of a
// scanned FAT32 fixture.
#include <QAccessible>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "UiTestSupport.h"
#include "found/EntryValue.h"
#include "found/FoundRows.h"
#include "run/ProgressSink.h"
#include "scan/QuickScanRun.h"
#include "scan/UndelvoState.h"
#include "settings/LanguageFile.h"
#include "ui/Unit1b.h"

using namespace undelvo;
using namespace undelvo::ui;
using Kind = PreviewContent::Kind;

namespace {

QByteArray Encoded(const QImage& image, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, quality);
  return bytes;
}

// A 1 x 1 GIF89a whose one pixel is red: a 2-colour table (red, black) and
// the LZW codes clear, 0, end (Qt reads GIF but cannot write it).
const QByteArray kRedGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\x00\x00\x00\x00\x00"
                         ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                         35);

// The picture area as it is on the screen.
QImage Shown(TForm1b& form) {
  auto* area = form.findChild<QWidget*>(QStringLiteral("PreviewImage"));
  return area ? area->grab().toImage().convertToFormat(QImage::Format_RGB32) : QImage();
}

QString LabelText(const QWidget& form, const char* name) {
  auto* label = form.findChild<QLabel*>(QLatin1String(name));
  return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

bool Visible(const QWidget& form, const char* name) {
  auto* w = form.findChild<QWidget*>(QLatin1String(name));
  return w && w->isVisibleTo(&form);
}

}  // namespace

class PreviewWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  UndelvoState state_{dir_.filePath(QStringLiteral("registry.reg"))};
  test::AutoPrompter prompter_;
  UiContext ctx_{state_, prompter_};
  QString image_;  // the unpacked FAT32 fixture, once a test needs it
  QByteArray imageSha_;

  // A file in a stand-in Recycle Bin and the entry value of its row (bin
  // rows are read from the file itself).
  QString BinRow(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(QStringLiteral("$RECYCLE.BIN/") + name);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) return {};
    return JoinEntryValue(QStringLiteral("R"), path, QStringLiteral("2024/05/17"), bytes.size());
  }

  // Opens the preview of a row; `look` sees the window while it is shown.
  // False when no window opened.
  bool Preview(const QString& name, const QString& value, const std::function<void(TForm1b&)>& look) {
    bool opened = false;
    ShowPreview(ctx_, nullptr, name, value, [&](TForm1b& form) {
      opened = true;
      form.show();
      look(form);
      form.close();
    });
    return opened;
  }

  // The FAT32 fixture scanned into state_, as the results panel has it.
  bool ScanFat32() {
    if (image_.isEmpty()) {
      image_ = dir_.filePath(QStringLiteral("fat32-mbr.img"));
      QProcess gunzip;
      gunzip.setStandardOutputFile(image_);
      gunzip.start(QStringLiteral("gunzip"),
                   {QStringLiteral("-c"), QStringLiteral(UNDELVO_SOURCE_DIR "/tests/data/fat32-mbr.img.gz")});
      if (!gunzip.waitForFinished() || gunzip.exitCode() != 0) return false;
      imageSha_ = test::FileSha256(image_);
    }
    DriveTableOptions drives;
    drives.includeBlockDevices = false;
    drives.settingsFolder = dir_.path();
    drives.images = {QFile::encodeName(image_).toStdString()};
    state_.Program.Drives = BuildDriveTable(drives);
    state_.Program.GeometryCacheFile = dir_.filePath(QStringLiteral("Zantero.ini"));
    ProgressSink sink;
    return QuickScanRun(state_, sink, QStringLiteral("C:")).end == ScanRunEnd::FilesFound;
  }
  // The row of the found file `name` in the folder `folder`.
  FoundRow Row(const QString& folder, const QString& name) const {
    for (const FoundRow& row : AllFoundRows(state_.Scan.Found))
      if (row.name == name && ParseEntryValue(row.value).path == folder) return row;
    return {};
  }
  // The bytes of a contiguous file on the fixture from its first cluster,
  // read straight from the image by the boot sector's geometry.
  QByteArray ClustersFromImage(int64_t first, qsizetype size) const {
    QFile f(image_);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const qint64 volume = qint64(2048) * 512;  // the partition's first sector
    f.seek(volume);
    const QByteArray boot = f.read(512);
    auto u16 = [&](int at) { return qFromLittleEndian<quint16>(boot.constData() + at); };
    const qint64 bytesPerSector = u16(11), sectorsPerCluster = quint8(boot[13]), reserved = u16(14),
                 fats = quint8(boot[16]), fatSectors = qFromLittleEndian<quint32>(boot.constData() + 36);
    const qint64 data = reserved + fats * fatSectors;
    f.seek(volume + (data + (first - 2) * sectorsPerCluster) * bytesPerSector);
    return f.read(size);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("config")).toUtf8());
  }

  void cleanupTestCase() {
    // The preview only ever reads the volume.
    if (!image_.isEmpty()) QCOMPARE(test::FileSha256(image_), imageSha_);
  }

  // A picture larger than the area shows its centre, unscaled; smaller ones
  // sit in the middle on white.
  void largeJpegShowsItsCentreUnscaled() {
    // Blocks of 50 x 50 pixels, each of its own colour: a shift or a scale shows.
    QImage source(900, 600, QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 900; ++x) source.setPixel(x, y, qRgb(x / 50 * 14, y / 50 * 21, 255 - (x / 50 + y / 50) * 7));
    const QByteArray jpeg = Encoded(source, "JPG", 100);
    const QImage decoded = QImage::fromData(jpeg, "JPG").convertToFormat(QImage::Format_RGB32);
    QCOMPARE(decoded.size(), QSize(900, 600));
    QVERIFY(Preview(QStringLiteral("big.jpg"), BinRow(QStringLiteral("big.jpg"), jpeg), [&](TForm1b& form) {
      QCOMPARE(form.Picture().size(), QSize(900, 600));
      QVERIFY(!Visible(form, "Label5"));
      QVERIFY(!Visible(form, "PreviewList"));
      const QImage shown = Shown(form);
      QCOMPARE(shown.size(), QSize(600, 300));
      QCOMPARE(shown, decoded.copy(150, 150, 600, 300));
      // The block colours survived the JPEG: this is the source's centre.
      for (const QPoint at : {QPoint(25, 25), QPoint(575, 275), QPoint(300, 150)}) {
        const QColor want = source.pixelColor(at + QPoint(150, 150)), got = shown.pixelColor(at);
        QVERIFY2(qAbs(want.red() - got.red()) < 8 && qAbs(want.green() - got.green()) < 8 &&
                     qAbs(want.blue() - got.blue()) < 8,
                 qPrintable(QStringLiteral("at %1,%2").arg(at.x()).arg(at.y())));
      }
    }));
  }

  void pngAndGifShowCentred_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QImage png(40, 20, QImage::Format_RGB32);
    png.fill(qRgb(0, 0, 255));
    png.setPixel(0, 0, qRgb(255, 0, 0));
    QTest::newRow("PNG, 40 x 20, red top left") << "a.png" << Encoded(png, "PNG") << QSize(40, 20);
    QTest::newRow("GIF, 1 x 1 red") << "a.GIF" << kRedGif << QSize(1, 1);
  }
  void pngAndGifShowCentred() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QVERIFY(Preview(name, BinRow(name, bytes), [&](TForm1b& form) {
      QCOMPARE(form.Picture().size(), size);
      QVERIFY(!Visible(form, "Label5"));
      const QImage shown = Shown(form);
      const QPoint topLeft((600 - size.width()) / 2, (300 - size.height()) / 2);
      QCOMPARE(shown.pixelColor(topLeft), QColor(255, 0, 0));
      QCOMPARE(shown.pixelColor(topLeft - QPoint(1, 1)), QColor(Qt::white));
      QCOMPARE(shown.pixelColor(topLeft + QPoint(size.width(), size.height())), QColor(Qt::white));
    }));
  }

  // Bytes a decoder rejects show the message inside the window; an empty
  // buffer is an empty bitmap or JPEG, but the GIF and PNG decoders reject it.
  void undecodablePicturesShowTheMessage_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("message");
    for (const char* ext : {"bmp", "jpg", "gif", "png"}) {
      const bool rejectsEmpty = QByteArray(ext) == "gif" || QByteArray(ext) == "png";
      QTest::addRow("empty %s", ext) << QStringLiteral("a.") + ext << QByteArray() << rejectsEmpty;
      QTest::addRow("garbage %s", ext) << QStringLiteral("a.") + ext << QByteArray("not a picture at all") << true;
    }
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(Qt::green);
    QTest::newRow("a PNG named .jpg still shows") << "a.jpg" << Encoded(png, "PNG") << false;
  }
  void undecodablePicturesShowTheMessage() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, message);
    QVERIFY(Preview(name, BinRow(name, bytes), [&](TForm1b& form) {
      QCOMPARE(Visible(form, "Label5"), message);
      QCOMPARE(LabelText(form, "Label5"), QStringLiteral("Preview is impossible!"));
      QVERIFY(Visible(form, "PreviewImage"));
      QVERIFY(!Visible(form, "PreviewList"));
      QCOMPARE(form.Picture().isNull(), bytes.isEmpty() || message);
      if (form.Picture().isNull()) QCOMPARE(Shown(form).pixelColor(300, 150), QColor(Qt::white));
    }));
  }

  void textIsDecodedByItsMarkAndCutAtNul_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString words = QStringLiteral("Grüße\nzwei");
    auto utf16 = [](QStringConverter::Encoding e, const QString& s) { return QByteArray(QStringEncoder(e).encode(s)); };
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF") + words.toUtf8() << words;
    QTest::newRow("UTF-16LE mark") << QByteArray("\xFF\xFE") + utf16(QStringConverter::Utf16LE, words) << words;
    QTest::newRow("UTF-16BE mark") << QByteArray("\xFE\xFF") + utf16(QStringConverter::Utf16BE, words) << words;
    QTest::newRow("UTF-16 cut at a NUL character, not a NUL byte")
        << QByteArray("\xFF\xFE") + utf16(QStringConverter::Utf16LE, QStringLiteral("ab") + QChar(0) + "c") << "ab";
    QTest::newRow("UTF-16 read stopped inside a character")
        << QByteArray("\xFF\xFE") + utf16(QStringConverter::Utf16LE, QStringLiteral("ab")) + "c" << "ab";
    QTest::newRow("no mark, valid UTF-8") << words.toUtf8() << words;
    QTest::newRow("no mark, not UTF-8: Latin-1") << QByteArray("Gr\xFC\xDF\x65") << QStringLiteral("Grüße");
    QTest::newRow("UTF-8 read stopped inside a character") << QByteArray("Gr\xC3\xBC\xC3") << QStringLiteral("Grü");
    QTest::newRow("binary after the NUL does not decide the code")
        << QByteArray("Gr\xC3\xBC\xC3\x9F\x65\0\xFF\xFE\x80", 11) << QStringLiteral("Grüße");
    QTest::newRow("a word processor's NUL") << QByteArray("Dear Sir,\r\nthanks\0\0\0hidden text", 30)
                                            << QStringLiteral("Dear Sir,\nthanks");
    QTest::newRow("NUL first") << QByteArray("\0text", 5) << QString();
    QTest::newRow("CR") << QByteArray("one\rtwo\r\rfour") << QStringLiteral("one\ntwo\n\nfour");
    QTest::newRow("LF") << QByteArray("one\ntwo\n\nfour") << QStringLiteral("one\ntwo\n\nfour");
    QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n\r\nfour") << QStringLiteral("one\ntwo\n\nfour");
    QTest::newRow("LF CR is two line ends") << QByteArray("one\n\rtwo") << QStringLiteral("one\n\ntwo");
    QTest::newRow("empty") << QByteArray() << QString();
  }
  void textIsDecodedByItsMarkAndCutAtNul() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    PreviewContent content;
    content.kind = Kind::Text;
    content.extension = QStringLiteral(".DOC");
    content.bytes = bytes;
    TForm1b form(state_.Program.Lang, QStringLiteral("a.doc"), QStringLiteral("5#C:\\a.doc#2024/05/17#10"), content);
    auto* list = form.findChild<QPlainTextEdit*>(QStringLiteral("PreviewList"));
    QVERIFY(list && list->isVisibleTo(&form) && list->isReadOnly());
    QVERIFY(!Visible(form, "PreviewImage") && !Visible(form, "Label5"));
    QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(list->toPlainText(), text);
    QCOMPARE(PreviewText(bytes), text);
  }

  // The file lines: name, the path's first 80 characters, date, size in kb
  // (halves to even), each 16 pixels after its caption and inside the window.
  // Stock extensions show their picture whatever the locator: nothing is read.
  void fileLinesAndStockPictures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QSize>("size");
    QTest::newRow("wav") << "a.wav" << "Wav" << QSize(150, 139);
    QTest::newRow("MP3") << "a.MP3" << "Wav" << QSize(150, 139);
    for (const char* ext : {"avi", "mov", "mpeg", "Mpg"})
      QTest::addRow("%s", ext) << QStringLiteral("film.") + ext << "Avi" << QSize(243, 245);
    for (const char* ext : {"exe", "COM", "dll", "bat", "dat"})
      QTest::addRow("%s", ext) << QStringLiteral("tool.") + ext << "ExeDll" << QSize(240, 220);
  }
  void fileLinesAndStockPictures() {
    QFETCH(QString, name);
    QFETCH(QString, stock);
    QFETCH(QSize, size);
    QString path = QStringLiteral("C:\\");
    while (path.size() < 100) path += QStringLiteral("folder%1\\").arg(path.size());
    path.truncate(100);
    // A locator no volume holds (nothing was scanned) and a size above the limit.
    const QString value = JoinEntryValue(QStringLiteral("987654321"), path, QStringLiteral("2024/05/17"), 2560);
    QVERIFY(Preview(name, value, [&](TForm1b& form) {
      QCOMPARE(LabelText(form, "Label1b"), name);
      QCOMPARE(LabelText(form, "Label2b"), path.left(80));
      QCOMPARE(LabelText(form, "Label3b"), QStringLiteral("2024/05/17"));
      QCOMPARE(LabelText(form, "Label4b"), QStringLiteral("2 kb"));
      const QImage picture = StockPicture(stock);
      QCOMPARE(picture.size(), size);
      QCOMPARE(form.Picture(), picture);
      QVERIFY(!Visible(form, "PreviewList") && !Visible(form, "Label5"));
      const QPoint at((600 - size.width()) / 2, (300 - size.height()) / 2);
      QCOMPARE(Shown(form).copy(QRect(at, size)), picture.convertToFormat(QImage::Format_RGB32));
    }));
    QVERIFY(prompter_.informed.isEmpty());
  }

  void stockPictureNamesIgnoreCase() {
    for (const char* name : {"wav", "AVI", "exedll", "ExeDll"}) QVERIFY2(!StockPicture(name).isNull(), name);
    QVERIFY(StockPicture(QStringLiteral("Jpg")).isNull());
  }

  // Captions and values in each language: nothing overlaps, nothing leaves
  // the content area; the pictures go to UNDELVO_PREVIEW_SHOTS when it is set.
  void layoutFitsInEachLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 1;
    QTest::newRow("German") << 2;
  }
  void layoutFitsInEachLanguage() {
    QFETCH(int, language);
    OpenLanguageFile(state_.Program.Lang, language, test::BinDir());
    const QString shots = qEnvironmentVariable("UNDELVO_PREVIEW_SHOTS");
    QImage photo(700, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
      for (int x = 0; x < 700; ++x) photo.setPixel(x, y, qRgb(x * 255 / 700, 120 + y / 4, 255 - y * 255 / 400));
    const QString date = QStringLiteral("2024/05/17");
    const struct {
      const char* shot;
      QString name;
      QString value;
    } rows[] = {
        {"picture", QStringLiteral("Urlaub am Meer mit der ganzen Familie, Sommer 2023.jpg"),
         BinRow(QStringLiteral("photo.jpg"), Encoded(photo, "JPG", 90))},
        {"text", QStringLiteral("Grüße.txt"),
         BinRow(QStringLiteral("text.txt"), QByteArray("Liebe Grüße aus Köln!\r\n\r\n").repeated(30))},
        {"stock", QStringLiteral("song.mp3"),
         JoinEntryValue(QStringLiteral("0"), QStringLiteral("C:\\Music\\").repeated(12), date, 16000)},
    };
    const QRect content(10, 36, 620, 474);
    for (const auto& row : rows) {
      QVERIFY(Preview(row.name, row.value, [&](TForm1b& form) {
        QCOMPARE(form.size(), QSize(640, 520));
        QCOMPARE(form.Title(), language == 2 ? QStringLiteral("Vorschau") : QStringLiteral("Preview"));
        auto* top = form.findChild<QAbstractButton*>(QStringLiteral("TopButton"));
        QVERIFY(top);
        QCOMPARE(top->geometry(), QRect(618, 6, 14, 14));
        QCOMPARE(top->accessibleName(), language == 2 ? QStringLiteral("Schließen") : QStringLiteral("Close"));
        QList<QRect> taken;
        for (int n = 1; n <= 4; ++n) {
          auto* caption = form.findChild<QLabel*>(QStringLiteral("Label%1a").arg(n));
          auto* value = form.findChild<QLabel*>(QStringLiteral("Label%1b").arg(n));
          QVERIFY(caption && value);
          QCOMPARE(caption->pos(), QPoint(20, 28 + 20 * n));
          QVERIFY(caption->text().endsWith(QLatin1Char(':')));
          QVERIFY(caption->fontMetrics().horizontalAdvance(caption->text()) <= caption->width());
          QCOMPARE(value->x(), caption->geometry().right() + 1 + 16);
          QVERIFY(content.contains(caption->geometry()) && content.contains(value->geometry()));
          taken << caption->geometry() << value->geometry();
        }
        taken << kPreviewArea << form.Button1()->geometry() << top->geometry();
        for (int i = 0; i < taken.size(); ++i)
          for (int j = i + 1; j < taken.size(); ++j)
            QVERIFY2(!taken[i].intersects(taken[j]), qPrintable(QStringLiteral("%1 and %2").arg(i).arg(j)));
        QVERIFY(content.contains(form.Button1()->geometry()));
        QCOMPARE(form.Button1()->x() + form.Button1()->width() / 2, 320);
        if (!shots.isEmpty()) {
          QDir().mkpath(shots);
          form.grab().save(QStringLiteral("%1/preview-%2-%3.png").arg(shots, QTest::currentDataTag(), row.shot));
        }
      }));
    }
    state_.Program.Lang.Clear();
  }

  // The default show is modal; OK and the close button end it.
  void okAndCloseButtonEndTheModalShow() {
    for (const char* button : {"Button1", "TopButton"}) {
      bool seen = false;
      test::OnNextModal([&](QWidget* modal) {
        seen = modal->objectName() == QLatin1String("TForm1b");
        auto* b = modal->findChild<QAbstractButton*>(QLatin1String(button));
        QVERIFY(b);
        b->click();
      });
      ShowPreview(ctx_, nullptr, QStringLiteral("a.wav"), QStringLiteral("0#C:\\a.wav#2024/05/17#10"));
      QVERIFY2(seen, button);
    }
  }

  // On a scanned FAT32 volume: a text of 6 clusters shows its first 2, a
  // sound file its stock picture and its row's lines, an oversized or empty
  // row the message through the prompter; a busy run keeps it all shut.
  void rowsOfAScannedFat32Volume() {
    QVERIFY(ScanFat32());
    const FoundRow plan = Row(QStringLiteral("C:\\DOCS\\"), QStringLiteral("õLAN.TXT"));
    QVERIFY(!plan.value.isEmpty());
    const EntryValue e = ParseEntryValue(plan.value);
    QCOMPARE(e.size, 2600);
    const QByteArray file = ClustersFromImage(e.locator, 2600);
    QCOMPARE(QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex(),
             QByteArray("8c442bed7264343bbb16a14610b6dcd0181e1c35131f5d76bfb7dadc64d94cf2"));
    QVERIFY(Preview(plan.name, plan.value, [&](TForm1b& form) {
      QCOMPARE(form.Text(), QString::fromUtf8(file.left(2 * 512)));
      QCOMPARE(LabelText(form, "Label4b"), QStringLiteral("3 kb"));
      QCOMPARE(LabelText(form, "Label6b"), QStringLiteral("good"));
    }));
    // A file whose first cluster went to a later file says how much of it is left.
    const FoundRow log = Row(QStringLiteral("C:\\"), QStringLiteral("õLDLOG.TXT"));
    QVERIFY(!log.value.isEmpty());
    QVERIFY(Preview(log.name, log.value, [&](TForm1b& form) { QCOMPARE(LabelText(form, "Label6b"), QStringLiteral("partial (83 %)")); }));

    const FoundRow song = Row(QStringLiteral("C:\\Trash folder\\õNNER\\"), QStringLiteral("õONG.MP3"));
    QVERIFY(!song.value.isEmpty());
    const EntryValue s = ParseEntryValue(song.value);
    QVERIFY(Preview(song.name, song.value, [&](TForm1b& form) {
      QCOMPARE(LabelText(form, "Label1b"), song.name);
      QCOMPARE(LabelText(form, "Label2b"), s.path);
      QCOMPARE(LabelText(form, "Label3b"), s.date);
      QCOMPARE(LabelText(form, "Label4b"), QStringLiteral("16 kb"));
      QCOMPARE(form.Picture().size(), QSize(150, 139));
    }));
    QVERIFY(prompter_.informed.isEmpty());

    // Refused rows: no window, the message through the prompter.
    const struct {
      const char* what;
      QString value;
    } refused[] = {
        {"one byte above the limit", JoinEntryValue(e.locatorText, e.path, e.date, 1024001)},
        {"an empty file", JoinEntryValue(e.locatorText, e.path, e.date, 0)},
        {"no first cluster", JoinEntryValue(QStringLiteral("0"), e.path, e.date, 2600)},
    };
    for (const auto& r : refused) {
      prompter_.informed.clear();
      QVERIFY2(!Preview(QStringLiteral("big.txt"), r.value, [](TForm1b&) {}), r.what);
      QCOMPARE(prompter_.informed, QStringList{QStringLiteral("Preview is impossible!")});
    }
    prompter_.informed.clear();
    // The limit holds on the volume only: the same size from the bin shows.
    QVERIFY(Preview(QStringLiteral("big.txt"), BinRow(QStringLiteral("big.txt"), QByteArray("bbbbbbbbb\n").repeated(102400) + 'b'),
                    [](TForm1b& form) { QCOMPARE(form.Text().size(), 1024001); }));

    // While a run goes on nothing opens and nothing is said.
    QVERIFY(state_.Run.Begin());
    QVERIFY(!Preview(plan.name, plan.value, [](TForm1b&) {}));
    QVERIFY(!Preview(QStringLiteral("big.txt"), JoinEntryValue(e.locatorText, e.path, e.date, 1024001),
                     [](TForm1b&) {}));
    state_.Run.End();
    QVERIFY(prompter_.informed.isEmpty());
    QVERIFY(!state_.Run.Busy());
  }
};

QTEST_MAIN(PreviewWindowTest)
#include "test_preview_window.moc"
