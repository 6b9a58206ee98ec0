#include "ui/Panel4.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>
#include <cstring>
#include <map>

#include "found/CategoryTable.h"
#include "found/DataItem.h"
#include "found/FileTime.h"
#include "found/FoundRows.h"
#include "scan/RecoverRun.h"
#include "scan/RecoverStateText.h"
#include "settings/Registry.h"
#include "ui/CategoryImages.h"
#include "ui/FileIcons.h"
#include "ui/PanelWidgets.h"
#include "ui/UiPump.h"
#include "ui/Unit1b.h"
#include "ui/Unit1c.h"

namespace undelvo::ui {

namespace {

constexpr int kCategoryRowLimit = 1000;  // a category shows at most its first 1000 files
constexpr int kPleaseWaitAbove = 100;    // a longer category shows the please-wait window
constexpr int kGroupRole = Qt::UserRole + 1;
constexpr int kPositionRole = Qt::UserRole + 2;

// A name's extension, from its last "." on; empty when it has none.
QString ExtensionOf(const QString& name) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot);
}


}  // namespace

Panel4::Panel4(UiContext& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx), hover_(new HoverGroup(this)), model_(new ResultsModel(this)),
      // A program associated with the extension comes first (none on Linux,
      // whose classes root is empty), then the desktop's MIME icons.
      icons_(std::make_unique<FileIcons>(FileIcons::WithAssociations(ctx.state.Program.Registry,
                                                                     ctx.state.Program.Config))) {
  setObjectName(QStringLiteral("Panel4"));
  setFixedSize(800, 470);
  setAutoFillBackground(true);
  hover_->WatchBackground(this);
  openFolder_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };

  MakeLabel(this, "Panel4ActionLabel", QRect(28, 10, 400, 26), ctx.Text("Process", "ScanResults"), 20, true);
  totalCaption_ = MakeLabel(this, "Panel4ResultsLabel1", QRect(0, 10, 0, 26),
                            ctx.Text("File", "TotalResults") + QLatin1Char(':'), 14, true);
  total_ = MakeLabel(this, "Panel4ResultsLabel2", QRect(0, 10, 0, 26), QStringLiteral("0"), 14, true,
                     skin::kSelectedTab);

  // The search line, where the progress bar stands during a recovery.
  findLabel_ = MakeLabel(this, "Panel4FindLabel", QRect(28, 46, 150, 26), ctx.Text("Buttons", "Find2"), 13, true);
  findEdit_ = new QLineEdit(this);
  findEdit_->setObjectName(QStringLiteral("Panel4FindEdit"));
  findEdit_->setGeometry(180, 46, 250, 26);
  findEdit_->setAccessibleName(ctx.Text("Buttons", "Find2"));
  QString findCaption = ctx.Text("Buttons", "Find2");
  while (findCaption.endsWith(QLatin1Char(':')) || findCaption.endsWith(QLatin1Char(' '))) findCaption.chop(1);
  findButton_ = new ImageButton(findCaption, ButtonStyle::Blue, this);
  findButton_->setObjectName(QStringLiteral("Panel4FindButton"));
  findButton_->setGeometry(436, 44, 150, 30);
  hover_->Add(findButton_);
  connect(findButton_, &QPushButton::clicked, this, &Panel4::Find);
  selectAll_ = new TextButton(TextButton::Kind::Link, ctx.Text("MenuItems", "SelectAll"), this);
  selectAll_->setObjectName(QStringLiteral("Panel4SelectLabel"));
  deselectAll_ = new TextButton(TextButton::Kind::Link, ctx.Text("MenuItems", "DeselectAll"), this);
  deselectAll_->setObjectName(QStringLiteral("Panel4DeselectLabel"));
  for (TextButton* link : {selectAll_, deselectAll_}) link->SetTextColor(skin::kSelectedTab);
  // The select link stands 10 pixels left of the deselect link, both at the right edge.
  const int deselectWidth = deselectAll_->sizeHint().width(), selectWidth = selectAll_->sizeHint().width();
  // The links stand under the file list's right edge, beside the selection line.
  deselectAll_->setGeometry(790 - deselectWidth, 403, deselectWidth, 22);
  selectAll_->setGeometry(deselectAll_->x() - 10 - selectWidth, 403, selectWidth, 22);
  // The search line takes what the links leave: the label and the button as
  // wide as their texts, the box the rest (long captions in some languages).
  const int labelWidth = findLabel_->fontMetrics().horizontalAdvance(findLabel_->text()) + 4;
  const int buttonWidth = QFontMetrics(SkinFont(14, true)).horizontalAdvance(findCaption) + 28;  // as the button paints it
  findLabel_->setGeometry(10, 46, labelWidth, 26);
  const int editWidth = std::max(120, 790 - buttonWidth - 8 - (labelWidth + 18));
  findEdit_->setGeometry(labelWidth + 18, 46, editWidth, 26);
  findButton_->setGeometry(findEdit_->x() + editWidth + 8, 44, buttonWidth, 30);
  connect(selectAll_, &QAbstractButton::clicked, this, &Panel4::SelectAll);
  connect(deselectAll_, &QAbstractButton::clicked, this, &Panel4::DeselectAll);
  bar_ = new ProgressBar(this);
  bar_->setObjectName(QStringLiteral("Panel4ProgressBar"));
  bar_->move(133, 44);
  progressLabel_ = MakeLabel(this, "Panel4ProgressLabel", QRect(650, 46, 100, 26), QString(), 16, true);
  bar_->SetLabel(progressLabel_);
  bar_->hide();
  progressLabel_->hide();

  categories_ = new QTreeWidget(this);
  categories_->setObjectName(QStringLiteral("Panel4DList"));
  categories_->setGeometry(10, 84, 282, 316);
  categories_->setFont(SkinFont(12));
  categories_->setHeaderHidden(true);
  categories_->setIndentation(16);
  categories_->setIconSize(QSize(16, 16));
  categories_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  categories_->setAccessibleName(ctx.Text("Process", "ScanResults"));
  connect(categories_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    if (item && item->parent()) OpenCategory(item->data(0, kGroupRole).toInt(), item->data(0, kPositionRole).toInt());
  });
  connect(categories_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    if (item && item->parent()) OpenCategory(item->data(0, kGroupRole).toInt(), item->data(0, kPositionRole).toInt());
  });

  model_->SetCaptions({ctx.Text("File", "File"), ctx.Text("File", "Path"), ctx.Text("File", "Date"),
                       ctx.Text("File", "Size"), ctx.Text("File", "State")});
  fileList_ = new QTableView(this);
  fileList_->setObjectName(QStringLiteral("Panel4FList"));
  fileList_->setGeometry(298, 84, 492, 316);
  fileList_->setFont(SkinFont(12));
  fileList_->setModel(model_);
  fileList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  fileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  fileList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fileList_->setShowGrid(true);
  fileList_->setSortingEnabled(true);
  fileList_->horizontalHeader()->setSortIndicatorShown(true);
  fileList_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  fileList_->verticalHeader()->hide();
  fileList_->verticalHeader()->setDefaultSectionSize(20);
  fileList_->setIconSize(QSize(16, 16));
  // The state column is as wide as its longest text in this language, the
  // date as its format; the path gives up the room, so the columns and the
  // scroll bar fit the list.
  const QFontMetrics metrics(fileList_->font());
  int stateWidth = metrics.horizontalAdvance(ctx.Text("File", "State")) + 24;  // room for the sort mark
  for (const Recoverability& s : {GoodState(), Recoverability{RecoverState::Partial, 99},
                                  Recoverability{RecoverState::Overwritten, 0}, Recoverability{}})
    stateWidth = std::max(stateWidth, metrics.horizontalAdvance(RecoverStateText(ctx.Lang(), s)) + 10);
  // A date as wide as the user's short format makes it (a two-digit day, December).
  const int dateWidth = std::max(74, metrics.horizontalAdvance(ShortDate(QDateTime(QDate(2026, 12, 28), QTime(12, 0)))) + 10);
  fileList_->setColumnWidth(ResultsModel::FileColumn, 120);
  fileList_->setColumnWidth(ResultsModel::PathColumn, std::max(80, 218 - stateWidth - (dateWidth - 74)));
  fileList_->setColumnWidth(ResultsModel::DateColumn, dateWidth);
  fileList_->setColumnWidth(ResultsModel::SizeColumn, 64);
  fileList_->setColumnWidth(ResultsModel::StateColumn, stateWidth);
  fileList_->setAccessibleName(ctx.Text("File", "File"));
  connect(fileList_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!ctx_.state.Run.Busy()) UpdateSelectionLine(int(fileList_->selectionModel()->selectedRows().size()));
  });
  connect(fileList_, &QAbstractItemView::doubleClicked, this, &Panel4::Preview);

  hint_ = MakeLabel(this, "Panel4HintLabel", QRect(10, 404, selectAll_->x() - 20, 20), QString());
  const struct {
    ImageButton** button;
    const char* name;
    const char* key;
    ButtonStyle style;
    int x;
  } buttons[] = {
      {&preview_, "Panel4Button1", "Preview", ButtonStyle::Green, 28},
      {&recover_, "Panel4Button2", "Recover", ButtonStyle::Green, 200},
      {&cancel_, "Panel4Button3", "Cancel", ButtonStyle::Grey, 612},
  };
  for (const auto& b : buttons) {
    *b.button = new ImageButton(ctx.Text("Buttons", b.key), b.style, this);
    (*b.button)->setObjectName(QLatin1String(b.name));
    (*b.button)->setGeometry(b.x, 426, 160, 40);
    hover_->Add(*b.button);
  }
  connect(preview_, &QPushButton::clicked, this, &Panel4::Preview);
  connect(recover_, &QPushButton::clicked, this, &Panel4::Recover);
}

Panel4::~Panel4() = default;

void Panel4::Enter() {
  RunControl& run = ctx_.state.Run;
  if (!run.Begin()) return;
  model_->Clear();
  findEdit_->clear();
  icons_->Clear();
  categories_->setUpdatesEnabled(false);
  categories_->clear();
  const FoundState& found = ctx_.state.Scan.Found;
  const std::span<const CategoryGroup> groups = CategoryGroups();
  for (size_t g = 0; g < groups.size(); ++g) {
    auto* groupItem = new QTreeWidgetItem(categories_, {GroupCaption(ctx_.Lang(), groups[g], GroupCount(found, groups[g]))});
    QFont bold = groupItem->font(0);
    bold.setBold(true);
    groupItem->setFont(0, bold);
    groupItem->setFlags(Qt::ItemIsEnabled);
    for (size_t e = 0; e < groups[g].entries.size(); ++e) {
      const CategoryEntry& entry = groups[g].entries[e];
      auto* item = new QTreeWidgetItem(groupItem, {EntryCaption(ctx_.Lang(), entry, EntryCount(found, entry))});
      item->setIcon(0, QIcon(CategoryImage(entry.image)));
      item->setData(0, kGroupRole, int(g));
      item->setData(0, kPositionRole, int(e));
    }
    groupItem->setExpanded(true);
  }
  categories_->setUpdatesEnabled(true);
  total_->setText(QString::number(found.TotalOfCategories()));
  // The total at the right edge, its caption 10 pixels to its left.
  const int totalWidth = total_->fontMetrics().horizontalAdvance(total_->text()) + 2;
  total_->setGeometry(772 - totalWidth, 10, totalWidth, 26);
  const int captionWidth = totalCaption_->fontMetrics().horizontalAdvance(totalCaption_->text()) + 2;
  totalCaption_->setGeometry(total_->x() - 10 - captionWidth, 10, captionWidth, 26);
  UpdateSelectionLine(0);
  categories_->setFocus();
  run.End();
}

void Panel4::FillRows(const std::vector<FoundRow>& found) {
  ResultsRows rows;
  std::vector<QIcon> icons;
  std::vector<ResultsModel::RowState> states;
  std::map<QString, int> iconOf;  // one icon per extension, shared by its rows
  rows.DataArray.reserve(found.size());
  states.reserve(found.size());
  for (const FoundRow& row : found) {
    ctx_.state.Run.Pump();
    TDataItem item = MakeDataItem(row.name, row.value);
    const QString extension = ExtensionOf(row.name);
    auto it = iconOf.find(extension);
    if (it == iconOf.end()) {
      it = iconOf.emplace(extension, int(icons.size())).first;
      icons.push_back(icons_->IconFor(extension));
    }
    item.IconNumber = it->second;
    rows.DataArray.push_back(std::move(item));
    rows.ViewList.append(row.value);
    const Recoverability state = StateOf(ctx_.state.Scan.Found.States, row.value);
    states.push_back({state, RecoverStateText(ctx_.Lang(), state)});
  }
  fileList_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  model_->SetRows(std::move(rows), std::move(icons), std::move(states));
  UpdateSelectionLine(0);
}

void Panel4::OpenCategory(int group, int position) {
  RunControl& run = ctx_.state.Run;
  if (!run.Begin()) return;
  setCursor(Qt::WaitCursor);
  {
    UiPump pump(run, ctx_.pumpIntervalMs);
    const FoundState& found = ctx_.state.Scan.Found;
    const QString section = CategorySection(group, position);
    std::vector<FoundRow> rows;
    qsizetype total = 0;
    if (section == QLatin1String(kOtherFilesMarker)) {
      total = found.OtherFiles.size();
      for (qsizetype i = 0; i < total && i < kCategoryRowLimit; ++i)
        rows.push_back({OtherFilesName(found.OtherFiles[i]), section, OtherFilesValue(found.OtherFiles[i])});
    } else {
      QStringList keys;
      found.FoundFiles.ReadKeys(section, keys);
      total = keys.size();
      for (qsizetype i = 0; i < total && i < kCategoryRowLimit; ++i)
        if (const QString value = found.FoundFiles.Read(section, keys[i]); !value.isEmpty())
          rows.push_back({keys[i], section, value});
    }
    std::unique_ptr<TForm1c> wait;
    if (total > kPleaseWaitAbove) {
      wait = std::make_unique<TForm1c>(ctx_.Lang(), ctx_.ProgramFolder(), window());
      wait->show();
    }
    FillRows(rows);
    longestGapMs_ = pump.LongestGapMs();
  }
  unsetCursor();
  run.End();
}

void Panel4::Find() {
  RunControl& run = ctx_.state.Run;
  const QString text = findEdit_->text();
  if (run.Busy() || text.isEmpty()) return;
  run.Begin();
  setCursor(Qt::WaitCursor);
  {
    UiPump pump(run, ctx_.pumpIntervalMs);
    FillRows(SearchFoundRows(ctx_.state.Scan.Found, text, [&run] { run.Pump(); }));
    longestGapMs_ = pump.LongestGapMs();
  }
  unsetCursor();
  run.End();
  if (model_->rowCount() == 0) ctx_.prompter.Inform(window(), ctx_.Text("File", "Message15"));
}

void Panel4::SelectAll() {
  if (ctx_.state.Run.Busy() || model_->rowCount() == 0) return;
  fileList_->setFocus();
  fileList_->selectAll();
  UpdateSelectionLine(model_->rowCount());
}

void Panel4::DeselectAll() {
  if (ctx_.state.Run.Busy() || model_->rowCount() == 0) return;
  fileList_->setFocus();
  fileList_->clearSelection();
  UpdateSelectionLine(0);
}

void Panel4::UpdateSelectionLine(int selected) {
  hint_->setText(QStringLiteral("%1 %2 %3 %4")
                     .arg(selected)
                     .arg(ctx_.Text("File", "of"))
                     .arg(ctx_.state.Scan.Found.FoundCount)
                     .arg(ctx_.Text("File", "SelectedFiles")));
}

std::vector<bool> Panel4::SelectedRows() const {
  std::vector<bool> selected(size_t(model_->rowCount()), false);
  for (const QModelIndex& i : fileList_->selectionModel()->selectedRows()) selected[size_t(i.row())] = true;
  return selected;
}

void Panel4::Preview() {
  if (ctx_.state.Run.Busy() || model_->rowCount() == 0) return;
  const QModelIndexList selected = fileList_->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  int first = selected.first().row();
  for (const QModelIndex& i : selected) first = std::min(first, i.row());
  const ResultsRows& rows = model_->Rows();
  ShowPreview(ctx_, window(), rows.DataArray[size_t(first)].Str1, rows.ViewList.value(first));
}

void Panel4::SetRecovering(bool on) {
  recover_->setText(ctx_.Text("Buttons", on ? "Stop" : "Restore"));
  preview_->setEnabled(!on);
  cancel_->setEnabled(!on);
  for (QWidget* w : std::initializer_list<QWidget*>{findLabel_, findEdit_, findButton_, selectAll_, deselectAll_})
    w->setVisible(!on);
  bar_->setVisible(on);
  progressLabel_->setVisible(on);
  fileList_->setEnabled(!on);
  categories_->setEnabled(!on);
  emit runningChanged(on);
}

void Panel4::Recover() {
  UndelvoState& state = ctx_.state;
  if (model_->rowCount() == 0) return;
  if (state.Run.Busy()) {  // the button reads "Stop" while a recovery runs
    ctx_.AskToStop(window());
    return;
  }
  const ResultsRows& shown = model_->Rows();
  std::vector<FoundRow> rows;
  rows.reserve(shown.DataArray.size());
  for (size_t i = 0; i < shown.DataArray.size(); ++i)
    rows.push_back({shown.DataArray[i].Str1, QString(), shown.ViewList.value(qsizetype(i))});
  const std::vector<bool> selected = SelectedRows();
  if (auto refused = CheckRecoverSelection(state, rows, selected)) {
    if (!refused->message.isEmpty()) ctx_.prompter.Inform(window(), refused->message);
    return;
  }
  if (!ctx_.prompter.Confirm(window(), ctx_.Text("File", "Message7"))) return;
  RegistryStore& registry = state.Program.Registry;
  if (RegReadBool(registry, RegRoot::CurrentUser, kSettingsKey, QStringLiteral("ShowNote")) &&
      ctx_.prompter.SameDriveNote(window()))
    RegWriteBool(registry, RegRoot::CurrentUser, kSettingsKey, QStringLiteral("ShowNote"), false);

  RecoverRunResult result;
  SetRecovering(true);
  {
    UiPump pump(state.Run, ctx_.pumpIntervalMs);
    result = RecoverRun(state, *this, rows, selected);
    longestGapMs_ = pump.LongestGapMs();
  }
  SetRecovering(false);
  if (result.end != RecoverRunEnd::Ran) {
    if (!result.message.isEmpty()) ctx_.prompter.Inform(window(), result.message);
    return;
  }
  // Each file that could not be written, once, with the system's reason.
  QStringList failed;
  for (const RecoveredRow& row : result.rows)
    if (row.outcome.Failed()) failed << row.name + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(row.outcome.error));
  if (!failed.isEmpty()) ctx_.prompter.Inform(window(), failed.join(QLatin1Char('\n')));
  ctx_.prompter.Inform(window(), result.message);
  openFolder_(QUrl::fromLocalFile(state.Program.Config.SaveFolder));
}

bool Panel4::Leave() {
  if (ctx_.state.Run.Busy()) return false;
  if (!ctx_.prompter.ConfirmLeaveResults(window())) return false;
  model_->Clear();
  categories_->clear();
  icons_->Clear();
  ctx_.state.Scan.Found.ScannedCount = 0;  // the tabs lead to the scan panels again
  return true;
}

void Panel4::OnReset() { bar_->Reset(); }

void Panel4::OnPercent(int percent) { bar_->ShowPercent(percent); }

}  // namespace undelvo::ui
