// Which files `undelvo-cli recover` restores and where: --match restores
// exactly what the name search lists, and --keep-folders keeps each file's
// folder below the save folder.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace undelvo;
using test::RunCli;

namespace {

struct FixtureCase {
  const char* image;
  bool ntfs;
};
const FixtureCase kFixtures[] = {{"fat16.img", false}, {"fat32-mbr.img", false}, {"ntfs.img", true}};

QJsonObject Json(const test::CommandResult& r) { return QJsonDocument::fromJson(r.out).object(); }

// "C:\docs\" + "plan.txt": where a found file was, as the scan shows it.
QString Where(const QString& folder, const QString& name) { return folder + name; }

}  // namespace

TEST(CliRecoverSelection, MatchRestoresExactlyWhatTheNameSearchLists) {
  for (const FixtureCase& fixture : kFixtures) {
    QTemporaryDir scratch, config;
    const QString image =
        test::Unpack(test::SourceDir() + "/tests/data/" + fixture.image + ".gz", scratch.path(), fixture.image);
    ASSERT_FALSE(image.isEmpty());
    struct Pattern {
      const char* what;
      const char* pattern;
      int atLeast;  // files every fixture holds for it
    };
    const Pattern patterns[] = {
        {"a plain name", "plan.txt", fixture.ntfs ? 1 : 0},  // FAT shows a deleted short name as "õLAN.TXT"
        {"a plain name, letter case aside", "ITEM 070.TXT", 1},
        {"a part of a name", "*port*", 3},
        {"a mask", "*.txt", 5},
    };
    for (const Pattern& p : patterns) {
      SCOPED_TRACE(std::string(fixture.image) + ", " + p.what + ": " + p.pattern);
      const auto scan = RunCli(config.path(), {"scan", "--image", image, "--name", p.pattern, "--json"});
      ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
      QSet<QString> listed;
      for (const QJsonValue v : Json(scan)["files"].toArray())
        listed.insert(Where(v.toObject()["path"].toString(), v.toObject()["name"].toString()));
      EXPECT_GE(listed.size(), p.atLeast);
      const auto masked = RunCli(config.path(), {"scan", "--image", image, "--mask", p.pattern, "--json"});
      EXPECT_EQ(Json(masked)["files"], Json(scan)["files"]) << "--mask and --name follow one rule";

      const QString to = scratch.filePath(QString("out-%1").arg(qHash(QString(p.pattern))));
      const auto r = RunCli(config.path(), {"recover", "--image", image, "--to", to, "--match", p.pattern, "--json"});
      ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
      QSet<QString> restored;
      for (const QJsonValue v : Json(r)["written"].toArray()) {
        const QJsonObject w = v.toObject();
        restored.insert(Where(w["source_path"].toString(), w["source_name"].toString()));
        EXPECT_TRUE(QFileInfo(w["path"].toString()).isFile()) << w["path"].toString().toStdString();
        EXPECT_EQ(QFileInfo(w["path"].toString()).size(), w["size"].toInteger());
      }
      EXPECT_EQ(restored, listed);
      EXPECT_EQ(Json(r)["restored"].toInt(), listed.size());
    }
  }
}

TEST(CliRecoverSelection, KeepFoldersWritesEveryFileUnderItsFolder) {
  for (const FixtureCase& fixture : kFixtures) {
    SCOPED_TRACE(fixture.image);
    QTemporaryDir scratch, config;
    const QString image =
        test::Unpack(test::SourceDir() + "/tests/data/" + fixture.image + ".gz", scratch.path(), fixture.image);
    ASSERT_FALSE(image.isEmpty());
    const auto manifest = test::ReadManifest(test::SourceDir() + "/tests/data/" + fixture.image + ".manifest.tsv");
    const QString to = scratch.filePath("kept");
    const auto r = RunCli(config.path(), {"recover", "--image", image, "--to", to, "--all", "--keep-folders", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray written = Json(r)["written"].toArray();
    ASSERT_GT(written.size(), 20);
    int exact = 0;
    QSet<QString> reportFolders;
    for (const QJsonValue v : written) {
      const QJsonObject w = v.toObject();
      const QString path = w["path"].toString(), source = w["source_path"].toString();
      // "C:\docs\sub\" lands in to/docs/sub, under a name of that folder's own.
      QString folder = source.mid(2);
      folder.replace('\\', '/');
      EXPECT_EQ(QFileInfo(path).path().toStdString(), QDir::cleanPath(to + folder).toStdString());
      if (w["source_name"].toString().contains("EPORT")) reportFolders.insert(QFileInfo(path).path());
      for (const test::ManifestRow& m : manifest) {
        if (m.reused || (!fixture.ntfs && !m.contiguous) || m.size != w["size"].toInteger() ||
            !test::SameFoundName(w["source_name"].toString(), m.name) || !test::SameFoundFolder(source, m.folder))
          continue;
        EXPECT_EQ(test::FileSha256(path), m.sha256) << path.toStdString();
        ++exact;
      }
    }
    EXPECT_GT(exact, 15);
    EXPECT_EQ(reportFolders.size(), 3) << "the three REPORT.DOC of three folders stay apart";
  }
}
