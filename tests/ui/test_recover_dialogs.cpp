// The two dialogs of the recover and leave commands: the same-drive note and
// the question before the results are left, and the prompter that shows them.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <memory>

#include "UiTestSupport.h"
#include "settings/LanguageFile.h"
#include "ui/DialogPrompter.h"
#include "ui/Unit3c.h"
#include "ui/Unit3d.h"

using namespace undelvo;
using namespace undelvo::ui;
using undelvo::test::Child;
using undelvo::test::OnNextModal;

namespace {

// With UNDELVO_SHOTS set to a folder, keeps what a widget shows there as a PNG to look at.
void Shot(QWidget* w, const QString& name) {
  const QString folder = qEnvironmentVariable("UNDELVO_SHOTS");
  if (!folder.isEmpty()) w->grab().save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
}

QString AccessibleName(QObject* o) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
  return iface ? iface->text(QAccessible::Name) : QString();
}

}  // namespace

class RecoverDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void layoutAndTexts_data();
  void layoutAndTexts();
  void noteReportsTheBox_data();
  void noteReportsTheBox();
  void questionShownTwice();
  void questionKeys_data();
  void questionKeys();
  void draggedByTheBandAboveTheText_data();
  void draggedByTheBandAboveTheText();

 private:
  std::unique_ptr<SkinDialog> Make(const QString& dialog, const QString& language);

  LanguageFile english_;  // empty: every text its English default
  LanguageFile german_;
};

void RecoverDialogsTest::initTestCase() {
  german_.LoadFromFile(test::BinDir() + QStringLiteral("/German.ini"));
  QVERIFY(!german_.IsEmpty());
}

std::unique_ptr<SkinDialog> RecoverDialogsTest::Make(const QString& dialog, const QString& language) {
  const LanguageFile& lang = language == "de" ? german_ : english_;
  if (dialog == "TForm3c") return std::make_unique<TForm3c>(lang);
  return std::make_unique<TForm3d>(lang);
}

void RecoverDialogsTest::layoutAndTexts_data() {
  QTest::addColumn<QString>("dialog");
  QTest::addColumn<QString>("language");
  QTest::addColumn<QSize>("size");
  QTest::addColumn<QString>("title");
  // objectName=x,y,w,h=text for each child
  QTest::addColumn<QStringList>("children");
  const QString message2 =
      "Saving recovered files onto the same drive where the original files were located can damage the chances "
      "of a full recovery. We recommend saving recovered files onto a different drive.";
  QTest::newRow("note") << "TForm3c" << "en" << QSize(414, 258) << "Important!"
                        << QStringList{"InfoLabel=27,58,360,96=" + message2,
                                       "Check1=27,162,360,22=Do not show message again", "Button1=157,196,100,40=OK"};
  QTest::newRow("note in German") << "TForm3c" << "de" << QSize(414, 258) << "Wichtig!"
                                  << QStringList{"Check1=27,162,360,22=Diese Meldung nicht mehr anzeigen",
                                                 "Button1=157,196,100,40=OK"};
  QTest::newRow("question") << "TForm3d" << "en" << QSize(421, 271) << "Information"
                            << QStringList{"Label1=27,58,367,80=Scan results are not saved. If you close this screen "
                                           "you will have to run a new scan to access the scan results again.",
                                           "Label2=27,146,367,36=Do you still wish to close this screen?",
                                           "Button1=92,200,100,40=Yes", "Button2=228,200,100,40=No"};
  QTest::newRow("question in German") << "TForm3d" << "de" << QSize(421, 271) << "Hinweis"
                                      << QStringList{"Label2=27,146,367,36=Möchten Sie dieses Fenster trotzdem schließen?",
                                                     "Button1=92,200,100,40=Ja", "Button2=228,200,100,40=Nein"};
}

void RecoverDialogsTest::layoutAndTexts() {
  QFETCH(QString, dialog);
  QFETCH(QString, language);
  QFETCH(QSize, size);
  QFETCH(QString, title);
  QFETCH(QStringList, children);
  const auto d = Make(dialog, language);
  d->show();
  QVERIFY(QTest::qWaitForWindowExposed(d.get()));
  Shot(d.get(), dialog + "-" + language);
  QCOMPARE(d->size(), size);
  QVERIFY(d->windowFlags() & Qt::FramelessWindowHint);
  QVERIFY(d->isModal());
  QCOMPARE(d->Title(), title);
  QCOMPARE(AccessibleName(d.get()), title);
  for (const QString& c : children) {
    const QStringList parts = c.split('=');
    QWidget* w = Child(d.get(), parts[0]);
    QVERIFY2(w, qPrintable(parts[0]));
    const QStringList g = parts[1].split(',');
    QCOMPARE(w->geometry(), QRect(g[0].toInt(), g[1].toInt(), g[2].toInt(), g[3].toInt()));
    QCOMPARE(w->property("text").toString(), parts[2]);
  }
  // Every text fits its place in both languages (wrapped labels in their
  // height), and a screen reader says each caption.
  for (QWidget* w : d->findChildren<QWidget*>()) {
    if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap())
      QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->objectName() + QString(" needs %1").arg(label->heightForWidth(label->width()))));
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
      QCOMPARE(AccessibleName(button), button->text());
    }
    if (auto* label = qobject_cast<QLabel*>(w); label && label->objectName() != "ActionLabel")
      QCOMPARE(AccessibleName(label), label->text());
  }
}

void RecoverDialogsTest::noteReportsTheBox_data() {
  QTest::addColumn<bool>("tick");
  QTest::addColumn<QString>("close");  // "OK", "Enter" or "Esc"
  QTest::newRow("ticked, OK") << true << "OK";
  QTest::newRow("left clear, OK") << false << "OK";
  QTest::newRow("ticked, Enter") << true << "Enter";
  QTest::newRow("ticked, Esc leaves it the same way") << true << "Esc";
}

void RecoverDialogsTest::noteReportsTheBox() {
  QFETCH(bool, tick);
  QFETCH(QString, close);
  DialogPrompter prompter(english_);
  QWidget main;
  main.resize(860, 632);
  main.show();
  bool clearOnShow = false;
  QString shown;
  OnNextModal([&](QWidget* modal) {
    auto* note = qobject_cast<TForm3c*>(modal);
    QVERIFY(note);
    QVERIFY(QTest::qWaitForWindowActive(modal));
    shown = note->Title();
    clearOnShow = !note->Check1()->isChecked();
    if (tick) QTest::mouseClick(note->Check1(), Qt::LeftButton, {}, {5, 11});
    if (close == "OK")
      QTest::mouseClick(note->Button1(), Qt::LeftButton);
    else
      QTest::keyClick(QApplication::focusWidget(), close == "Esc" ? Qt::Key_Escape : Qt::Key_Return);
  });
  QCOMPARE(prompter.SameDriveNote(&main), tick);
  QCOMPARE(shown, QStringLiteral("Important!"));
  QVERIFY(clearOnShow);
  QVERIFY(!QApplication::activeModalWidget());

  // A note shown again starts with the box clear.
  TForm3c note(english_);
  note.Check1()->setChecked(true);
  note.show();
  QVERIFY(!note.DoNotShowAgain());
}

void RecoverDialogsTest::questionShownTwice() {
  TForm3d form(english_);
  OnNextModal([&](QWidget*) {
    QTest::mouseMove(form.Button1(), {50, 20});
    QTest::mouseMove(form.Button1(), {51, 21});
    QVERIFY(form.Button1()->Highlighted());
    QTest::mouseClick(form.Button1(), Qt::LeftButton);
  });
  form.exec();
  QCOMPARE(form.Answer(), 1);

  // The next show starts at No with both buttons normal; a close by other means answers No.
  int answerOnShow = 0;
  QImage look;
  OnNextModal([&](QWidget* modal) {
    answerOnShow = form.Answer();
    look = form.grab().toImage();
    modal->close();
  });
  form.Button1()->SetHighlighted(true);
  form.exec();
  QCOMPARE(answerOnShow, 2);
  QCOMPARE(form.Answer(), 2);
  QVERIFY(!form.Button1()->Highlighted());
  QVERIFY(!form.Button2()->Highlighted());
  QCOMPARE(look.pixelColor(92 + 5, 200 + 5), ButtonColorA(ButtonStyle::Grey));
  QCOMPARE(look.pixelColor(228 + 5, 200 + 5), ButtonColorA(ButtonStyle::Green));
}

void RecoverDialogsTest::questionKeys_data() {
  QTest::addColumn<QString>("how");  // Yes, No, Esc, Enter
  QTest::addColumn<bool>("leave");
  QTest::newRow("Yes leaves") << "Yes" << true;
  QTest::newRow("No stays") << "No" << false;
  QTest::newRow("Esc answers No") << "Esc" << false;
  QTest::newRow("Enter is No") << "Enter" << false;
  QTest::newRow("Shift+Tab to Yes, Space") << "Tab" << true;
}

void RecoverDialogsTest::questionKeys() {
  QFETCH(QString, how);
  QFETCH(bool, leave);
  DialogPrompter prompter(german_);
  QWidget main;
  main.resize(860, 632);
  main.show();
  QString asked;
  OnNextModal([&](QWidget* modal) {
    auto* question = qobject_cast<TForm3d*>(modal);
    QVERIFY(question);
    QVERIFY(QTest::qWaitForWindowActive(modal));
    asked = question->Label2()->text();
    if (how == "Yes" || how == "No")
      QTest::mouseClick(how == "Yes" ? question->Button1() : question->Button2(), Qt::LeftButton);
    else if (how == "Tab") {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
      QCOMPARE(QApplication::focusWidget(), question->Button1());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    } else
      QTest::keyClick(QApplication::focusWidget(), how == "Esc" ? Qt::Key_Escape : Qt::Key_Return);
  });
  QCOMPARE(prompter.ConfirmLeaveResults(&main), leave);
  QCOMPARE(asked, QStringLiteral("Möchten Sie dieses Fenster trotzdem schließen?"));
  QVERIFY(!QApplication::activeModalWidget());
}

void RecoverDialogsTest::draggedByTheBandAboveTheText_data() {
  QTest::addColumn<QString>("dialog");
  QTest::newRow("note") << "TForm3c";
  QTest::newRow("question") << "TForm3d";
}

void RecoverDialogsTest::draggedByTheBandAboveTheText() {
  QFETCH(QString, dialog);
  QWidget main;
  main.setWindowFlags(Qt::FramelessWindowHint);
  main.setGeometry(100, 80, 860, 632);
  main.show();
  QVERIFY(QTest::qWaitForWindowExposed(&main));
  const auto form = Make(dialog, "en");
  form->SetAnchor(&main);
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  QVERIFY((form->frameGeometry().center() - main.frameGeometry().center()).manhattanLength() <= 2);
  QCOMPARE(form->DragBand(), 58);

  auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(global - form->pos()), QPointF(global), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &e);
  };
  auto drag = [&](QPoint from, QPoint by) {
    const QPoint start = form->pos() + from;
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + by, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + by, Qt::NoButton);
  };
  const QPoint before = form->pos();
  drag({8, 57}, {-20, 15});  // the band's last row, below the title strip
  QCOMPARE(form->pos(), before + QPoint(-20, 15));
  drag({8, 58}, {30, 30});  // level with the first text line
  QCOMPARE(form->pos(), before + QPoint(-20, 15));
}

QTEST_MAIN(RecoverDialogsTest)
#include "test_recover_dialogs.moc"
