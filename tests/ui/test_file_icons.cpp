// The icons of the results' rows (one per extension, with a fallback) and
// the category list's drawn images.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QPainter>
#include <QSet>
#include <QTest>

#include "platform/RegistryStore.h"
#include "settings/Settings.h"
#include "ui/CategoryImages.h"
#include "ui/FileIcons.h"

using namespace undelvo::ui;

namespace {

// With UNDELVO_SHOTS set to a folder, keeps `image` there as a PNG to look at.
void Shot(const QImage& image, const QString& name) {
  const QString folder = qEnvironmentVariable("UNDELVO_SHOTS");
  if (!folder.isEmpty()) image.save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
}

QImage Pixels(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

}  // namespace

class FileIconsTest : public QObject {
  Q_OBJECT
 private slots:
  void oneLookupPerExtension();
  void fallbackForUnknownAndEmpty();
  void associatedProgramGetsTheFallback();
  void categoryImages();
};

void FileIconsTest::oneLookupPerExtension() {
  QStringList asked;
  QIcon theme(CategoryImage(4));
  FileIcons icons([&](const QString& extension) {
    asked << extension;
    return extension == ".pdf" ? theme : QIcon();
  });
  const QIcon first = icons.IconFor(".pdf");
  QCOMPARE(first.cacheKey(), theme.cacheKey());
  for (int row = 0; row < 3; ++row) QCOMPARE(icons.IconFor(".pdf").cacheKey(), first.cacheKey());
  // Letter case counts, as in MIME file-name patterns (.C and .c differ).
  icons.IconFor(".PDF");
  // An extension without an icon is asked about once too, and its rows share the fallback.
  QCOMPARE(icons.IconFor(".zzz").cacheKey(), icons.Fallback().cacheKey());
  QCOMPARE(icons.IconFor(".zzz").cacheKey(), icons.Fallback().cacheKey());
  QCOMPARE(asked, (QStringList{".pdf", ".PDF", ".zzz"}));
  QCOMPARE(icons.Size(), 3);

  // A new fill asks again.
  icons.Clear();
  QCOMPARE(icons.Size(), 0);
  icons.IconFor(".pdf");
  QCOMPARE(asked.size(), 4);
}

void FileIconsTest::fallbackForUnknownAndEmpty() {
  FileIcons icons;  // the MIME database and the icon theme
  const qint64 fallback = icons.Fallback().cacheKey();
  QCOMPARE(icons.IconFor(".undelvo-no-such-type").cacheKey(), fallback);
  QCOMPARE(icons.IconFor("").cacheKey(), fallback);
  QVERIFY(ThemeIconForExtension("").isNull());
  QVERIFY(ThemeIconForExtension(".undelvo-no-such-type").isNull());
  // The fallback is the page with the question mark.
  QCOMPARE(Pixels(icons.Fallback().pixmap(16, 16)), Pixels(CategoryImage(16)));
  // Known types get the theme's icon where it has one; every answer draws at 16 x 16.
  for (const char* extension : {".txt", ".jpg", ".pdf", ".html", ".exe", "", ".undelvo-no-such-type"}) {
    const QIcon icon = icons.IconFor(QString::fromLatin1(extension));
    QVERIFY2(!icon.isNull(), extension);
    QCOMPARE(icon.pixmap(16, 16).size(), QSize(16, 16));
  }
}

void FileIconsTest::associatedProgramGetsTheFallback() {
  QTemporaryDir dir;
  undelvo::Settings folders;
  folders.UserProfileDir = dir.path() + QLatin1Char('/');
  QFile program(dir.filePath(QStringLiteral("VIEW.EXE")));
  QVERIFY(program.open(QIODevice::WriteOnly));
  program.close();
  undelvo::RegistryStore store(dir.filePath(QStringLiteral("registry.reg")));
  using undelvo::RegRoot, undelvo::RegValue;
  QVERIFY(store.Write(RegRoot::ClassesRoot, ".view", "", RegValue::Text("viewfile")));
  QVERIFY(store.Write(RegRoot::ClassesRoot, "viewfile\\shell\\open\\command", "",
                      RegValue::Text("%UserProfile%\\view.exe %1")));
  QStringList passedOn;
  const QIcon theme(CategoryImage(0));
  FileIcons icons(FileIcons::WithAssociations(store, folders, [&](const QString& extension) {
    passedOn << extension;
    return theme;
  }));
  QCOMPARE(icons.IconFor(".view").cacheKey(), icons.Fallback().cacheKey());
  QCOMPARE(icons.IconFor(".doc").cacheKey(), theme.cacheKey());
  QCOMPARE(passedOn, QStringList{".doc"});
}

void FileIconsTest::categoryImages() {
  QSet<QByteArray> looks;
  // The images at 8 times their size, 9 to a row, to look at.
  const int zoomed = 16 * 8, gap = 8, perRow = 9;
  QImage sheet(perRow * (zoomed + gap), 2 * (zoomed + gap), QImage::Format_ARGB32);
  sheet.fill(QColor(230, 230, 230));
  QPainter p(&sheet);
  for (int i = 0; i < kCategoryImageCount; ++i) {
    const QPixmap image = CategoryImage(i);
    QCOMPARE(image.size(), QSize(16, 16));
    // Drawn once, then shared.
    QCOMPARE(CategoryImage(i).cacheKey(), image.cacheKey());
    const QImage pixels = Pixels(image);
    QVERIFY2(pixels.pixelColor(8, 8).alpha() > 0 || pixels.pixelColor(7, 10).alpha() > 0, qPrintable(QString::number(i)));
    looks.insert(QByteArray(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes()));
    p.drawImage(QRect(i % perRow * (zoomed + gap), i / perRow * (zoomed + gap), zoomed, zoomed), pixels);
  }
  p.end();
  QCOMPARE(looks.size(), kCategoryImageCount);  // 17 different pictures
  for (int outside : {-1, 17, 1000}) QCOMPARE(CategoryImage(outside).cacheKey(), CategoryImage(16).cacheKey());
  Shot(sheet, QStringLiteral("CategoryImages"));
}

QTEST_MAIN(FileIconsTest)
#include "test_file_icons.moc"
