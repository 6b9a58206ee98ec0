// undelvo-cli's progress line on a real terminal: the program runs with its
// stderr on a pseudo-terminal of a set width, and everything it writes there
// is read back and replayed as the terminal shows it.
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "TestSupport.h"
#include "platform/RegistryStore.h"
#include "settings/Registry.h"

extern char** environ;

using namespace undelvo;

namespace {

struct TerminalRun {
  int exitCode = -1;
  QByteArray terminal;  // everything written to the terminal
  QByteArray out;       // stdout, kept off the terminal: its file list wraps like any text
  bool held = false;    // the recovery's writes were held (see HoldRecoveryWrites)
};

// Reads what the terminal holds, without waiting; false once the program has closed it.
bool Drain(int master, QByteArray& into) {
  char buf[4096];
  for (;;) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return true;
    const ssize_t n = ::read(master, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // EIO: no one has the terminal open any more
    into.append(buf, n);
  }
}

// The fixtures are restored in about a millisecond, well inside the line's
// redraw interval, so only the recovery's first line would ever be drawn. As
// a slow terminal would, this holds each of the recovery's first writes to
// the terminal (the program stopped at its write call, traced) for longer than
// that interval, so that its next count is drawn too. With `ctrlC`, the
// program gets a SIGINT while its first restored count is held. Returns the
// program's wait status once it has ended while traced, else -1 (it runs on,
// untraced).
int HoldRecoveryWrites(pid_t pid, int master, TerminalRun& r, bool ctrlC) {
  int status = 0;
  // The program stops itself once traced; a program that could not be traced runs to its end.
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    Drain(master, r.terminal);
    ::usleep(1000);
  }
  if (!WIFSTOPPED(status)) return status;
  r.held = true;
  ::ptrace(PTRACE_SETOPTIONS, pid, 0, PTRACE_O_TRACESYSGOOD | PTRACE_O_TRACEEXEC | PTRACE_O_EXITKILL);
  int holds = 3, pass = 0;
  while (holds > 0) {
    if (::ptrace(PTRACE_SYSCALL, pid, 0, pass) != 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    if (!WIFSTOPPED(status)) return status;
    Drain(master, r.terminal);  // the program writes between stops: the terminal never fills up
    const int sig = WSTOPSIG(status);
    pass = (status >> 16) == 0 && sig != SIGTRAP && sig != (SIGTRAP | 0x80) && sig != SIGSTOP ? sig : 0;
    __ptrace_syscall_info info{};
    if (sig != (SIGTRAP | 0x80) || ::ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0) continue;
    if (info.op != PTRACE_SYSCALL_INFO_ENTRY || info.entry.nr != SYS_write || info.entry.args[0] != 2) continue;
    QByteArray text(qsizetype(std::min<uint64_t>(info.entry.args[2], 4096)), '\0');
    iovec local{text.data(), size_t(text.size())};
    iovec remote{reinterpret_cast<void*>(info.entry.args[1]), size_t(text.size())};
    if (::process_vm_readv(pid, &local, 1, &remote, 1, 0) <= 0) continue;
    if (text.contains("Restoring") || text.contains("restored")) {
      --holds;
      if (ctrlC && text.contains("restored")) {
        ::kill(pid, SIGINT);
        ctrlC = false;
      }
      ::usleep(150000);
    }
  }
  ::ptrace(PTRACE_DETACH, pid, 0, pass);
  return -1;
}

// Runs undelvo-cli with stderr on a pseudo-terminal `columns` wide (stdout
// into a file) and reads the terminal until the program has ended.
enum class Hold { None, Recovery, RecoveryAndCtrlC };

TerminalRun RunOnTerminal(const QString& config, const QString& scratch, const QStringList& args, int columns,
                          Hold hold) {
  TerminalRun r;
  std::vector<std::string> argStore{test::CliPath().toStdString()};
  for (const QString& a : args) argStore.push_back(a.toStdString());
  std::vector<std::string> envStore;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0) envStore.emplace_back(*e);
  envStore.push_back("XDG_CONFIG_HOME=" + config.toStdString());
  std::vector<char*> argv, envp;
  for (std::string& s : argStore) argv.push_back(s.data());
  for (std::string& s : envStore) envp.push_back(s.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);

  const std::string outPath = (scratch + "/stdout.txt").toStdString();
  const int outFd = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int nullFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  termios raw{};
  ::cfmakeraw(&raw);  // the bytes as the program wrote them: no "\n" made "\r\n"
  winsize size{};
  size.ws_row = 24;
  size.ws_col = static_cast<unsigned short>(columns);
  int master = -1, slave = -1;
  if (outFd < 0 || nullFd < 0 || ::openpty(&master, &slave, nullptr, &raw, &size) != 0) {
    ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
    return r;
  }
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setsid();
    ::dup2(nullFd, 0);
    ::dup2(outFd, 1);
    ::dup2(slave, 2);
    if (hold != Hold::None && ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0) ::raise(SIGSTOP);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(slave);
  ::close(outFd);
  ::close(nullFd);

  int status = hold != Hold::None ? HoldRecoveryWrites(pid, master, r, hold == Hold::RecoveryAndCtrlC) : -1;
  for (bool open = true; open;) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 120000) <= 0) {
      ADD_FAILURE() << "undelvo-cli wrote nothing for two minutes";
      ::kill(pid, SIGKILL);
      break;
    }
    open = Drain(master, r.terminal);
  }
  ::close(master);
  if (status == -1) ::waitpid(pid, &status, 0);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  QFile out(QString::fromStdString(outPath));
  if (out.open(QIODevice::ReadOnly)) r.out = out.readAll();
  return r;
}

// The terminal's output replayed on one row of unlimited width: "\r" goes to
// its start, "\033[K" erases to its end, "\n" ends it. Lengths are counted in
// characters, as the terminal's cells fill, not in bytes.
struct Replay {
  std::vector<std::u32string> draws;  // each progress line: the text from "\r" to "\033[K"
  std::vector<std::u32string> messages, messageRows;  // each "\n"-ended text, and its row as shown
  std::u32string lastRow;             // what is left on the row the program ended on
};

Replay ReplayTerminal(const QByteArray& bytes) {
  const std::u32string text = QString::fromUtf8(bytes).toStdU32String();
  Replay r;
  std::u32string row, piece;
  size_t col = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c == U'\033' && text.compare(i, 3, U"\033[K") == 0) {
      row.resize(std::min(row.size(), col));
      if (!piece.empty()) r.draws.push_back(piece);  // an empty one clears the line
      piece.clear();
      i += 2;
    } else if (c == U'\r') {
      col = 0;
      piece.clear();
    } else if (c == U'\n') {
      r.messages.push_back(piece);
      r.messageRows.push_back(row);
      row.clear();
      piece.clear();
      col = 0;
    } else {
      if (col < row.size()) row[col] = c;
      else row.push_back(c);
      ++col;
      piece.push_back(c);
    }
  }
  r.lastRow = row;
  return r;
}

QString Text(const std::u32string& s) { return QString::fromStdU32String(s); }

// What is left of a drawn line once its whole counts ("24 found",
// "3 restored"), its percentage and a step's "(1/4)" are taken out: no digit
// may remain, or a count was cut ("1250 found" drawn as "12").
QString StrayDigits(QString line) {
  static const QRegularExpression whole(QStringLiteral(R"(\d+ %|\(\d+/\d+\)|\d+ (found|restored|failed)\b)"));
  line.remove(whole);
  static const QRegularExpression digits(QStringLiteral(R"(\d+)"));
  return digits.match(line).captured();
}

enum class Kind { Quick, Deep, Recover, CtrlC };  // CtrlC: a recovery stopped by SIGINT

struct Case {
  const char* image;  // under tests/data/, packed as .gz
  Kind kind;
  int columns;
};

class CliTerminal : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(CliTerminal, ProgressLineFitsTheTerminalAndShowsTheRightCounts) {
  const Case c = GetParam();
  QTemporaryDir scratch, config;
  const QString image = test::Unpack(test::SourceDir() + "/tests/data/" + c.image + ".gz", scratch.path(), c.image);
  ASSERT_FALSE(image.isEmpty());
  const bool ntfs = QString(c.image).startsWith("ntfs");
  const bool recover = c.kind == Kind::Recover || c.kind == Kind::CtrlC;
  QStringList args{recover ? "recover" : "scan", "--image", image};
  if (c.kind == Kind::Deep) {
    // German: the deep scan's step texts then hold non-ASCII letters ("MFT-Einträge suchen").
    RegistryStore store(config.filePath("undelvo/registry.reg"));
    RegWriteInteger(store, RegRoot::CurrentUser, kSettingsKey, "Language", 2);
    args << "--deep";
  }
  if (recover) args << "--all" << "--to" << scratch.filePath("restored");

  const Hold hold = c.kind == Kind::CtrlC ? Hold::RecoveryAndCtrlC : recover ? Hold::Recovery : Hold::None;
  const TerminalRun run = RunOnTerminal(config.path(), scratch.path(), args, c.columns, hold);
  const char* const notHeld =
      "the recovery's counts are drawn, and its Ctrl-C sent, only with the program held at its writes, and this "
      "system does not let a test trace its child (PTRACE_TRACEME refused: no ptrace in this container, or the "
      "tests run under a debugger or strace)";
  if (c.kind == Kind::CtrlC && !run.held) GTEST_SKIP() << notHeld;
  ASSERT_EQ(run.exitCode, c.kind == Kind::CtrlC ? 3 : 0) << run.terminal.toStdString();
  const Replay screen = ReplayTerminal(run.terminal);
  ASSERT_FALSE(screen.draws.empty()) << "no progress line drawn: " << run.terminal.toStdString();

  for (const std::u32string& draw : screen.draws) {
    const QString line = Text(draw);
    EXPECT_LT(draw.size(), size_t(c.columns)) << "wraps: " << line.toStdString();
    EXPECT_TRUE(StrayDigits(line).isEmpty()) << "a cut count: " << line.toStdString();
  }
  // Ordinary messages (a file restored damaged) wrap like any text, so they
  // are not held to the width; but they start on a cleared row, and the line
  // is gone when the program ends.
  for (size_t i = 0; i < screen.messages.size(); ++i)
    EXPECT_EQ(Text(screen.messageRows[i]), Text(screen.messages[i])) << "left over from the progress line";
  EXPECT_TRUE(screen.lastRow.empty()) << Text(screen.lastRow).toStdString();

  auto anyDraw = [&](auto&& pred) {
    return std::any_of(screen.draws.begin(), screen.draws.end(), [&](const auto& d) { return pred(Text(d)); });
  };
  if (c.columns >= 80) {
    static const QRegularExpression bar(QStringLiteral(R"( \[[#.]{5,}\] +\d+ %)"));
    EXPECT_TRUE(anyDraw([](const QString& l) { return bar.match(l).hasMatch(); })) << "no bar drawn";
  }
  if (c.kind == Kind::Deep && ntfs && c.columns >= 80) {
    const QString step = QString::fromUtf8("Scanning: MFT-Einträge suchen (1/4) [");
    EXPECT_TRUE(anyDraw([&](const QString& l) { return l.contains(step); })) << "no step text drawn";
  }

  if (!recover) {
    // The last count drawn is the one the summary gives.
    static const QRegularExpression summary(R"(: (\d+) deleted file\(s\) found)");
    const QString total = summary.match(QString::fromUtf8(run.out)).captured(1);
    ASSERT_FALSE(total.isEmpty()) << run.out.toStdString();
    QString lastFound;
    for (const std::u32string& d : screen.draws) {
      const auto m = QRegularExpression(R"((\d+) found)").match(Text(d));
      if (m.hasMatch()) lastFound = m.captured(1);
    }
    EXPECT_EQ(lastFound.toStdString(), total.toStdString());
    return;
  }

  // The recovery's own line, from its first draw on: restored and failed
  // counts, never the scan's "found".
  auto first = std::find_if(screen.draws.begin(), screen.draws.end(), [](const std::u32string& d) {
    const QString l = Text(d);
    return l.startsWith("Restoring") || l.contains("restored");
  });
  ASSERT_NE(first, screen.draws.end()) << "the recovery drew no line";
  static const QRegularExpression reportRe(R"((\d+) file\(s\) restored!)");
  const int reported = reportRe.match(QString::fromUtf8(run.out)).captured(1).toInt();
  if (c.kind == Kind::CtrlC) {
    // The Ctrl-C came while the first restored count was drawn: the run stops after that file.
    EXPECT_EQ(reported, 1) << run.out.toStdString();
    EXPECT_TRUE(anyDraw([](const QString& l) { return l.endsWith("(stopping)"); })) << "no (stopping) drawn";
  } else {
    EXPECT_GT(reported, 15) << run.out.toStdString();
  }
  bool countsDrawn = false;
  for (auto d = first; d != screen.draws.end(); ++d) {
    const QString line = Text(*d);
    EXPECT_FALSE(line.contains("found")) << line.toStdString();
    const auto m = QRegularExpression(R"((\d+) restored(, (\d+) failed)?)").match(line);
    if (!m.hasMatch()) continue;
    countsDrawn = true;
    EXPECT_LE(m.captured(1).toInt(), reported) << line.toStdString();
    // Both counts whenever the terminal has the room for them.
    if (c.columns >= 40) {
      EXPECT_EQ(m.captured(3), "0") << line.toStdString();
    }
  }
  if (!run.held) GTEST_SKIP() << notHeld;
  EXPECT_TRUE(countsDrawn) << "no restored count drawn";
}

namespace {

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (const char* image : {"fat16.img", "ntfs.img"})
    for (Kind kind : {Kind::Quick, Kind::Deep, Kind::Recover, Kind::CtrlC})
      for (int columns : {20, 40, 80, 200}) cases.push_back({image, kind, columns});
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  static const char* const kKinds[] = {"scan", "deep", "recover", "ctrlc"};
  return QString(info.param.image).section('.', 0, 0).toStdString() + "_" + kKinds[int(info.param.kind)] + "_" +
         std::to_string(info.param.columns);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Widths, CliTerminal, ::testing::ValuesIn(Cases()), CaseName);
