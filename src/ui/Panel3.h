#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QWidget>
#include <functional>

#include "ui/ImageButton.h"
#include "ui/UiContext.h"

namespace undelvo::ui {

// The About tab: the product's name and version, the way to the support web
// site, and the one user setting, the folder restored files are written to.
// A folder picked here is kept in the edit box only; "Save changes" makes it
// the program's SaveFolder and stores it as SaveDir.
class Panel3 : public QWidget {
  Q_OBJECT
 public:
  // Asks the user for a folder: the dialog's owner, its title, the folder it
  // opens at. Empty text when the user cancelled.
  using FolderPicker = std::function<QString(QWidget* owner, const QString& title, const QString& start)>;
  // Hands an address to the desktop's browser.
  using UrlOpener = std::function<void(const QUrl& url)>;

  Panel3(UiContext& ctx, QWidget* parent);

  // The tab was chosen: the edit box shows the program's SaveFolder again.
  void Enter();

  // The folder dialog (QFileDialog by default) and the browser (QDesktopServices).
  void SetFolderPicker(FolderPicker picker) { picker_ = std::move(picker); }
  void SetUrlOpener(UrlOpener opener) { opener_ = std::move(opener); }

  // The support site the link opens; the build's UNDELVO_SUPPORT_URL at first.
  // Without a usable address the link and the line that points to it are hidden.
  void SetSupportUrl(const QString& address);
  const QUrl& SupportUrl() const { return supportUrl_; }
  // The build's support site (empty unless configured).
  static QString DefaultSupportUrl();
  // The version shown under the product name.
  static QString ProgramVersion();

 public slots:
  void Browse();           // the "..." button
  void SaveChanges();      // "Save changes"
  void OpenSupportSite();  // the web link

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  UiContext& ctx_;
  HoverGroup* hover_;
  QLabel* folderHint_;   // Panel3Label5
  QLineEdit* folder_;    // Panel3Edit1
  QPushButton* browse_;  // Panel3Button2
  ImageButton* save_;    // Panel3Button3
  QLabel* supportLine_;  // Panel3Label4A
  TextButton* supportLink_;  // Panel3Label4B
  QUrl supportUrl_;
  FolderPicker picker_;
  UrlOpener opener_;
};

}  // namespace undelvo::ui
