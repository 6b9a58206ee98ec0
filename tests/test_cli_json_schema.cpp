// The JSON that undelvo-cli prints with --json, held against the schema the
// project ships (docs/undelvo-cli.schema.json), on every fixture image.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace undelvo;

namespace {

// The system's Python with Debian's python3-jsonschema, not whatever python
// comes first on PATH.
const QString kPython = QStringLiteral("/usr/bin/python3");

// Checks the schema itself, then validates each "KIND=FILE" argument against
// $defs/KIND and against the whole schema (whose oneOf must take it as exactly
// one output). Prints every fault with its JSON path; exits 1 when there is one.
const char kValidate[] = R"py(
import json, sys, jsonschema
schema = json.load(open(sys.argv[1], encoding="utf-8"))
cls = jsonschema.validators.validator_for(schema)
cls.check_schema(schema)
whole = cls(schema)
bad = False
for arg in sys.argv[2:]:
    kind, path = arg.split("=", 1)
    try:
        instance = json.load(open(path, encoding="utf-8"))
    except ValueError as e:
        print("%s: not JSON: %s" % (path, e))
        bad = True
        continue
    one = {k: v for k, v in schema.items() if k != "oneOf"}
    one["$ref"] = "#/$defs/" + kind
    errors = sorted(cls(one).iter_errors(instance), key=lambda e: [str(p) for p in e.absolute_path])
    for e in errors[:10]:
        print("%s (%s) at /%s: %s" % (path, kind, "/".join(str(p) for p in e.absolute_path), e.message[:400]))
    if not errors and not whole.is_valid(instance):
        print("%s: valid as %s but not as exactly one output of the schema's oneOf" % (path, kind))
        errors = [path]
    bad = bad or bool(errors)
sys.exit(1 if bad else 0)
)py";

// Every fixture image of tests/data/, as its unpacked name ("ntfs.img").
std::vector<std::string> FixtureImages() {
  std::vector<std::string> names;
  const QDir data(test::SourceDir() + "/tests/data");
  for (const QString& gz : data.entryList({"*.img.gz"}, QDir::Files, QDir::Name))
    names.push_back(QString(gz).remove(".gz").toStdString());
  return names;
}

class CliJsonSchema : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(CliJsonSchema, EveryJsonOutputMatchesTheShippedSchema) {
  if (test::Run(kPython, {"-c", "import jsonschema"}).exitCode != 0)
    GTEST_SKIP() << "python3-jsonschema absent: /usr/bin/python3 cannot import jsonschema "
                    "(Debian package python3-jsonschema, installed by scripts/setup)";
  QTemporaryDir scratch, config;
  const QString name = QString::fromStdString(GetParam());
  const QString image = test::Unpack(test::SourceDir() + "/tests/data/" + name + ".gz", scratch.path(), name);
  ASSERT_FALSE(image.isEmpty());
  const QString notAVolume = scratch.filePath("zeros.img");
  ASSERT_TRUE(test::MakeSparseFile(notAVolume, 1 << 20));

  const QStringList scan{"scan", "--json", "--image", image};
  const QStringList recover{"recover", "--json", "--image", image, "--all"};
  const QStringList drives{"drives", "--json", "--images-only", "--image", image};
  const struct {
    const char* what;
    const char* kind;  // the schema's $defs entry
    QStringList args;
    int status;
  } cases[] = {
      {"scan", "scan", scan, 0},
      {"scan-categories", "scan", scan + QStringList{"--categories"}, 0},
      {"scan-deep", "scan", scan + QStringList{"--deep", "--categories"}, 0},
      {"scan-state", "scan", scan + QStringList{"--state", "partial,overwritten,unknown"}, 0},
      {"scan-nothing", "scan", scan + QStringList{"--mask", "*.zzz"}, 0},
      // A check stops the run before any drive is chosen.
      {"scan-no-drive", "scan", scan + QStringList{"--drive", "Q:"}, 1},
      {"recover", "recover", recover + QStringList{"--to", scratch.filePath("restored")}, 0},
      {"recover-deep", "recover", recover + QStringList{"--deep", "--keep-folders", "--to", scratch.filePath("kept")}, 0},
      {"recover-nothing", "recover", recover + QStringList{"--mask", "*.zzz", "--to", scratch.filePath("none")}, 0},
      {"recover-no-drive", "recover", recover + QStringList{"--drive", "Q:", "--to", scratch.filePath("none")}, 1},
      {"drives", "drives", drives, 0},
      {"drives-error", "drives", drives + QStringList{"--image", notAVolume}, 2},
  };
  QStringList instances;
  for (const auto& c : cases) {
    const auto r = test::RunCli(config.path(), c.args);
    EXPECT_EQ(r.exitCode, c.status) << c.what << ": " << r.err.toStdString();
    const QString file = scratch.filePath(QString(c.what) + ".json");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(r.out) == r.out.size()) << file.toStdString();
    instances << QString(c.kind) + "=" + file;
  }
  const auto v = test::Run(kPython, QStringList{"-c", kValidate, test::SourceDir() + "/docs/undelvo-cli.schema.json"} +
                                        instances);
  EXPECT_EQ(v.exitCode, 0) << v.out.toStdString() << v.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CliJsonSchema, ::testing::ValuesIn(FixtureImages()), [](const auto& info) {
  return QString::fromStdString(info.param).section('.', 0, 0).remove('-').toStdString();
});
