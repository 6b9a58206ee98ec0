#include "ui/Unit1.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "platform/FsNames.h"
#include "ui/Panel3.h"
#include "ui/PanelWidgets.h"

namespace undelvo::ui {

namespace {

constexpr int kWidth = 860, kHeight = 632;
constexpr int kDragBand = 50;    // the top strip that moves the window
constexpr int kHelpLeft = 785;   // the drag band ends at the help button

// "C: (NTFS)" for a drive the scans can read; empty for any other.
QString DriveListEntry(const DriveEntry& d) {
  if (d.letter.isEmpty()) return {};  // past Z:, the table lists it without a letter
  switch (FsKindFromName(d.fsName)) {
    case 16: return d.letter + QStringLiteral(" (FAT16)");
    case 32: return d.letter + QStringLiteral(" (FAT32)");
    case 64: return d.letter + QStringLiteral(" (NTFS)");
    default: return {};
  }
}

}  // namespace

TForm1::TForm1(UiContext& ctx, DriveTableOptions drives, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ctx_(ctx), driveOptions_(std::move(drives)) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Undelvo"));
  setFixedSize(kWidth, kHeight);
  setFont(SkinFont(13));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  openUrl_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

  MakeLabel(this, "LogoLabel", QRect(32, 24, 300, 36), QStringLiteral("Undelvo"), 27, true, Qt::white);

  const struct {
    TextButton** button;
    TextButton::Kind kind;
    const char* name;
    const char* key;
    int x;
  } tops[] = {
      {&help_, TextButton::Kind::TopHelp, "TopButton1", "Help", 785},
      {&minimise_, TextButton::Kind::TopMinimise, "TopButton2", "Minimize", 809},
      {&close_, TextButton::Kind::TopClose, "TopButton3", "Close", 833},
  };
  for (const auto& t : tops) {
    *t.button = new TextButton(t.kind, ctx.Text("Buttons", t.key), this);
    (*t.button)->setObjectName(QLatin1String(t.name));
    (*t.button)->setToolTip(ctx.Text("Buttons", t.key));
    (*t.button)->setGeometry(t.x, 8, 20, 20);
  }
  connect(help_, &QAbstractButton::clicked, this, &TForm1::Help);
  connect(minimise_, &QAbstractButton::clicked, this, &QWidget::showMinimized);
  connect(close_, &QAbstractButton::clicked, this, [this] {
    if (!ctx_.state.Run.Busy()) close();
  });

  const char* const tabKeys[4][2] = {{}, {"Drive", "QuickScan"}, {"Drive", "AdvancedScan"}, {"About", "About"}};
  for (int n = 1; n <= 3; ++n) {
    tabs_[size_t(n)] = new TextButton(TextButton::Kind::Tab, ctx.Text(tabKeys[n][0], tabKeys[n][1]), this);
    tabs_[size_t(n)]->setObjectName(QStringLiteral("TabLabel%1").arg(n));
    tabs_[size_t(n)]->setGeometry(290 + 140 * n, 56, 140, 36);
    connect(tabs_[size_t(n)], &QAbstractButton::clicked, this, [this, n] { TabClick(n); });
  }

  panels_ = new QStackedWidget(this);
  panels_->setGeometry(30, 110, 800, 470);
  panel1_ = new Panel1(ctx, panels_);
  panel2_ = new Panel2(ctx, panels_);
  panel3_ = new Panel3(ctx, panels_);
  panel4_ = new Panel4(ctx, panels_);
  for (QWidget* p : std::initializer_list<QWidget*>{panel1_, panel2_, panel3_, panel4_}) panels_->addWidget(p);
  connect(panel1_, &Panel1::runningChanged, this, &TForm1::RunningChanged);
  connect(panel2_, &Panel2::runningChanged, this, &TForm1::RunningChanged);
  connect(panel1_, &Panel1::filesFound, this, [this] { ShowResults(1); });
  connect(panel2_, &Panel2::filesFound, this, [this] { ShowResults(2); });
  connect(panel1_, &Panel1::advancedScanRequested, this, [this] { TabClick(2); });
  connect(panel4_, &Panel4::runningChanged, this, &TForm1::RunningChanged);
  connect(panel4_->findChild<QPushButton*>(QStringLiteral("Panel4Button3")), &QPushButton::clicked, this,
          &TForm1::BackClick);

  back_ = new TextButton(TextButton::Kind::Link, ctx.Text("Buttons", "Back"), this);
  back_->setObjectName(QStringLiteral("BackLabel"));
  back_->setGeometry(kWidth - 90, kHeight - 36, 70, 24);
  connect(back_, &QAbstractButton::clicked, this, &TForm1::BackClick);
  back_->hide();

  devices_ = new DeviceMonitor(this);
  connect(devices_, &DeviceMonitor::changed, this, &TForm1::DeviceChange);

  // Centred on the screen.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  TabClick(1);
  ShowForm();
}

TForm1::~TForm1() = default;

void TForm1::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), skin::kOutline);
  p.fillRect(1, 1, kWidth - 2, kHeight - 2, skin::kFrame);
  p.fillRect(10, 92, kWidth - 20, kHeight - 92 - 46, skin::kContent);
}

void TForm1::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && at.y() < kDragBand && at.x() < kHelpLeft && windowHandle()) {
    windowHandle()->startSystemMove();
    return;
  }
  QWidget::mousePressEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // Whatever asks (the close button, Alt+F4, the window manager), a run is never torn down.
  if (ctx_.state.Run.Busy()) {
    event->ignore();
    return;
  }
  event->accept();
}

void TForm1::DrawTabs(int tab) {
  for (int n = 1; n <= 3; ++n) tabs_[size_t(n)]->SetSelected(n == tab);
}

void TForm1::TabClick(int tab) {
  if (ctx_.state.Run.Busy() || tab < 1 || tab > 3) return;
  DrawTabs(tab);
  if (tab == 3) {
    panel3_->Enter();
    panels_->setCurrentWidget(panel3_);
    return;
  }
  if (ctx_.state.Scan.Found.ScannedCount != 0) {
    panels_->setCurrentWidget(panel4_);
  } else if (tab == 1) {
    panel1_->Enter();
    panels_->setCurrentWidget(panel1_);
  } else {
    panel2_->Enter();
    panels_->setCurrentWidget(panel2_);
  }
  scanTab_ = tab;
}

void TForm1::RunningChanged(bool running) {
  for (int n = 1; n <= 3; ++n) tabs_[size_t(n)]->setEnabled(!running);
}

void TForm1::ShowResults(int fromTab) {
  // The other scan tab stays greyed while the results are browsed.
  tabs_[size_t(fromTab == 1 ? 2 : 1)]->setEnabled(false);
  panel4_->Enter();
  panels_->setCurrentWidget(panel4_);
  back_->show();
}

void TForm1::BackClick() {
  if (ctx_.state.Run.Busy() || !panel4_->Leave()) return;
  for (int n = 1; n <= 3; ++n) tabs_[size_t(n)]->setEnabled(true);
  back_->hide();
  TabClick(scanTab_);
}

void TForm1::Help() {
  const QString page = ctx_.ProgramFolder() + QStringLiteral("/help/index.html");
  if (!QFileInfo(page).isFile() || !openUrl_(QUrl::fromLocalFile(page)))
    ctx_.prompter.Inform(this, ctx_.Text("Messages", "HelpNotFound"));
}

void TForm1::ShowForm() {
  if (ctx_.state.Run.Busy()) return;
  ProgramState& program = ctx_.state.Program;
  program.Drives = BuildDriveTable(driveOptions_);
  QStringList entries;
  for (const DriveEntry& d : program.Drives.drives)
    if (const QString entry = DriveListEntry(d); !entry.isEmpty()) entries << entry;
  for (QComboBox* box : {panel1_->DriveBox(), panel2_->DriveBox()}) {
    box->clear();
    box->addItems(entries);
    if (!entries.isEmpty()) box->setCurrentIndex(0);
  }
}

void TForm1::DeviceChange() {
  if (!ctx_.state.Run.Busy()) ShowForm();
}

void TForm1::AddImages(const QStringList& images) {
  if (ctx_.state.Run.Busy()) return;
  for (const QString& image : images) {
    const std::string path = QFile::encodeName(image).toStdString();
    if (std::find(driveOptions_.images.begin(), driveOptions_.images.end(), path) == driveOptions_.images.end())
      driveOptions_.images.push_back(path);
  }
  ShowForm();
}

void TForm1::Restore() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

}  // namespace undelvo::ui
