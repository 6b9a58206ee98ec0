// The skin's painting, the image buttons' hover and keyboard behaviour, and
// the three small dialogs with the prompter over them.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestSupport.h"
#include "settings/LanguageFile.h"
#include "ui/DialogPrompter.h"
#include "ui/ImageButton.h"
#include "ui/Skin.h"
#include "ui/Unit1c.h"
#include "ui/Unit3a.h"
#include "ui/Unit3b.h"

using namespace undelvo;
using namespace undelvo::ui;
using undelvo::test::Child;
using undelvo::test::OnNextModal;

Q_DECLARE_METATYPE(ButtonStyle)

namespace {

using Paint = std::function<void(QPainter&)>;

// Paints into a W x H image first filled with a colour no painting uses, so
// a pixel left out shows.
QImage PaintImage(QSize size, const Paint& paint) {
  QImage img(size, QImage::Format_ARGB32);
  img.fill(QColor(1, 2, 3));
  QPainter p(&img);
  paint(p);
  p.end();
  return img;
}

QColor At(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

// What a widget shows, as an image in device pixels (1:1 offscreen).
QImage Look(QWidget* w) { return w->grab().toImage(); }

const QColor kWhite(255, 255, 255);

// With UNDELVO_SHOTS set to a folder, keeps what a widget shows there as a PNG to look at.
void Shot(QWidget* w, const QString& name) {
  const QString folder = qEnvironmentVariable("UNDELVO_SHOTS");
  if (!folder.isEmpty()) Look(w).save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
}

}  // namespace

class SkinTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogFrame_data();
  void dialogFrame();
  void closeGlyph();
  void buttonFace_data();
  void buttonFace();
  void imageButtonLooks();
  void textButtonLooks_data();
  void textButtonLooks();
  void hoverRules_data();
  void hoverRules();
  void keyboardReachesAndPresses();
  void accessibleButtons_data();
  void accessibleButtons();
  void dialogLayout_data();
  void dialogLayout();
  void textsReadOnEveryShow();
  void confirmationShownTwice();
  void keysEndDialogs_data();
  void keysEndDialogs();
  void centredAndDraggedByTitle();
  void pleaseWaitAnimation_data();
  void pleaseWaitAnimation();
  void prompterReusesDialogs();
  void messageDuringMessageGetsItsOwnDialog();

 private:
  LanguageFile english_;  // empty: every text its English default
};

// ---------------------------------------------------------------- painting

void SkinTest::dialogFrame_data() {
  QTest::addColumn<QSize>("size");
  QTest::newRow("dialog 350x200") << QSize(350, 200);
  QTest::newRow("other size 120x90") << QSize(120, 90);
}

void SkinTest::dialogFrame() {
  QFETCH(QSize, size);
  const int w = size.width(), h = size.height();
  const QImage img = PaintImage(size, [&](QPainter& p) { DrawDialogFrame(p, size); });
  struct Probe {
    int x, y;
    QColor colour;
  };
  const Probe probes[] = {
      // the 1-pixel outline on all four sides
      {0, 0, skin::kOutline}, {w - 1, 0, skin::kOutline}, {0, h - 1, skin::kOutline},
      {w - 1, h - 1, skin::kOutline}, {w / 2, 0, skin::kOutline}, {0, h / 2, skin::kOutline},
      // the frame just inside it, the title strip, the 10-pixel borders
      {1, 1, skin::kFrame}, {w - 2, h - 2, skin::kFrame}, {w / 2, 35, skin::kFrame},
      {9, 36, skin::kFrame}, {w - 10, 36, skin::kFrame}, {10, h - 10, skin::kFrame},
      // the content area's corners
      {10, 36, kWhite}, {w - 11, 36, kWhite}, {10, h - 11, kWhite}, {w - 11, h - 11, kWhite},
  };
  for (const Probe& pr : probes)
    QVERIFY2(At(img, pr.x, pr.y) == pr.colour,
             qPrintable(QStringLiteral("(%1, %2) is %3, not %4")
                            .arg(pr.x).arg(pr.y).arg(At(img, pr.x, pr.y).name(), pr.colour.name())));
}

void SkinTest::closeGlyph() {
  const QImage img = PaintImage({14, 14}, [](QPainter& p) { DrawCloseGlyph(p); });
  // The square outline one pixel in, the cross's middle and arms; the corners
  // and the gaps between the arms stay frame-coloured.
  for (QPoint white : {QPoint(1, 1), QPoint(13, 1), QPoint(13, 13), QPoint(1, 13), QPoint(7, 1), QPoint(1, 7),
                       QPoint(7, 7), QPoint(4, 4), QPoint(10, 10), QPoint(4, 10), QPoint(10, 4)})
    QVERIFY2(At(img, white.x(), white.y()) == kWhite, qPrintable(QStringLiteral("(%1, %2)").arg(white.x()).arg(white.y())));
  for (QPoint frame : {QPoint(0, 0), QPoint(0, 7), QPoint(7, 0), QPoint(7, 4), QPoint(4, 7), QPoint(2, 7)})
    QVERIFY2(At(img, frame.x(), frame.y()) == skin::kFrame, qPrintable(QStringLiteral("(%1, %2)").arg(frame.x()).arg(frame.y())));
}

void SkinTest::buttonFace_data() {
  QTest::addColumn<ButtonStyle>("style");
  QTest::addColumn<QColor>("normal");
  QTest::addColumn<QColor>("highlighted");
  QTest::newRow("grey") << ButtonStyle::Grey << QColor(139, 139, 139) << QColor(168, 168, 168);
  QTest::newRow("blue") << ButtonStyle::Blue << QColor(78, 124, 202) << QColor(31, 72, 124);
  QTest::newRow("green") << ButtonStyle::Green << QColor(72, 183, 50) << QColor(64, 169, 64);
  QTest::newRow("unknown paints as grey") << static_cast<ButtonStyle>(7) << QColor(139, 139, 139) << QColor(168, 168, 168);
}

void SkinTest::buttonFace() {
  QFETCH(ButtonStyle, style);
  QFETCH(QColor, normal);
  QFETCH(QColor, highlighted);
  const QSize size(100, 40);
  for (bool hot : {false, true}) {
    const QImage img = PaintImage(size, [&](QPainter& p) { DrawButtonFace(p, size, style, hot); });
    const QColor fill = hot ? highlighted : normal;
    // Filled to the edge, a white outline one pixel inside it, filled within.
    for (QPoint f : {QPoint(0, 0), QPoint(99, 39), QPoint(50, 0), QPoint(2, 2), QPoint(50, 20), QPoint(97, 37)})
      QCOMPARE(At(img, f.x(), f.y()), fill);
    for (QPoint o : {QPoint(1, 1), QPoint(98, 1), QPoint(98, 38), QPoint(1, 38), QPoint(50, 1), QPoint(1, 20), QPoint(98, 20), QPoint(50, 38)})
      QCOMPARE(At(img, o.x(), o.y()), kWhite);
  }
}

void SkinTest::imageButtonLooks() {
  QWidget window;
  auto* button = new ImageButton(QStringLiteral("Stop"), ButtonStyle::Grey, &window);
  button->setGeometry(0, 0, 100, 40);
  window.show();
  const QColor a = ButtonColorA(ButtonStyle::Grey), b = ButtonColorB(ButtonStyle::Grey);
  QCOMPARE(At(Look(button), 5, 5), a);
  button->SetHighlighted(true);
  QCOMPARE(At(Look(button), 5, 5), b);
  // A disabled button never looks hot.
  button->setEnabled(false);
  QCOMPARE(At(Look(button), 5, 5), a);
  button->setEnabled(true);
  button->SetHighlighted(false);
  button->setDown(true);
  QCOMPARE(At(Look(button), 5, 5), b);
  button->setDown(false);
  // The caption is white and centred: white pixels in the middle band, none near the ends.
  const QImage img = Look(button);
  int whiteMiddle = 0, whiteEnds = 0;
  for (int y = 8; y < 32; ++y)
    for (int x = 3; x < 97; ++x)
      if (At(img, x, y) == kWhite) (x > 25 && x < 75 ? whiteMiddle : whiteEnds)++;
  QVERIFY(whiteMiddle > 10);
  QCOMPARE(whiteEnds, 0);
  // Hidden on its own and shown again: back to normal.
  button->SetHighlighted(true);
  button->hide();
  button->show();
  QVERIFY(!button->Highlighted());
}

void SkinTest::textButtonLooks_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<bool>("selected");
  QTest::addColumn<QList<QPoint>>("white");
  QTest::addColumn<QList<QPoint>>("frame");
  using K = TextButton::Kind;
  // 140 x 36 tabs: the chosen one all white around its caption; the others
  // frame-coloured inside a white edge on the left, top and right only.
  QTest::newRow("tab chosen") << int(K::Tab) << true << QList<QPoint>{{0, 0}, {2, 2}, {70, 35}, {139, 18}, {5, 30}} << QList<QPoint>{};
  QTest::newRow("tab other") << int(K::Tab) << false << QList<QPoint>{{0, 0}, {0, 35}, {139, 35}, {70, 0}}
                             << QList<QPoint>{{1, 1}, {2, 30}, {70, 35}, {138, 35}};
  // 20 x 20 glyphs on the frame colour.
  QTest::newRow("close") << int(K::TopClose) << false << QList<QPoint>{{9, 9}, {10, 9}, {5, 5}, {14, 13}, {13, 5}, {5, 13}}
                         << QList<QPoint>{{1, 1}, {10, 5}, {5, 10}, {10, 17}, {10, 13}};
  QTest::newRow("minimise") << int(K::TopMinimise) << false << QList<QPoint>{{5, 13}, {10, 14}, {14, 14}}
                            << QList<QPoint>{{10, 10}, {4, 13}, {15, 13}, {10, 12}, {10, 15}};
  QTest::newRow("help") << int(K::TopHelp) << false << QList<QPoint>{{8, 5}, {6, 7}, {13, 8}, {9, 14}, {10, 15}}
                        << QList<QPoint>{{1, 1}, {10, 13}, {3, 15}, {17, 15}, {6, 9}};
}

void SkinTest::textButtonLooks() {
  QFETCH(int, kind);
  QFETCH(bool, selected);
  QFETCH(QList<QPoint>, white);
  QFETCH(QList<QPoint>, frame);
  QWidget window;
  auto* button = new TextButton(TextButton::Kind(kind), QStringLiteral("Quick Scan"), &window);
  button->SetSelected(selected);
  window.show();
  const QImage img = Look(button);
  QCOMPARE(img.size(), button->sizeHint());
  for (QPoint pt : white) QVERIFY2(At(img, pt.x(), pt.y()) == kWhite, qPrintable(QStringLiteral("white at (%1, %2)").arg(pt.x()).arg(pt.y())));
  for (QPoint pt : frame)
    QVERIFY2(At(img, pt.x(), pt.y()) == skin::kFrame, qPrintable(QStringLiteral("frame at (%1, %2)").arg(pt.x()).arg(pt.y())));
  if (TextButton::Kind(kind) == TextButton::Kind::Tab) {
    // The caption: the selected-tab blue on the chosen tab, white on the others.
    bool blue = false;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) blue = blue || At(img, x, y) == skin::kSelectedTab;
    QCOMPARE(blue, selected);
  }
}

// ---------------------------------------------------------------- hover rules

void SkinTest::hoverRules_data() {
  QTest::addColumn<QString>("moves");  // where the mouse goes, in turn: a, b, stop, label, info, bg, out
  QTest::addColumn<bool>("busy");
  QTest::addColumn<QString>("lit");  // the buttons highlighted afterwards
  QTest::newRow("onto a button") << "a" << false << "a";
  QTest::newRow("one button to another") << "a b" << false << "b";
  QTest::newRow("button to background") << "a bg" << false << "";
  QTest::newRow("button to a label that is not watched") << "b label" << false << "b";
  QTest::newRow("button to a label watched as background") << "b info" << false << "";
  QTest::newRow("straight off the window keeps it") << "a out" << false << "a";
  QTest::newRow("stop kept by the background while idle") << "stop bg" << false << "stop";
  QTest::newRow("stop put back by the background while busy") << "stop bg" << true << "";
  QTest::newRow("start to stop while busy") << "a stop" << true << "stop";
  QTest::newRow("stop to start while busy") << "stop a" << true << "a";
}

void SkinTest::hoverRules() {
  QFETCH(QString, moves);
  QFETCH(bool, busy);
  QFETCH(QString, lit);

  QWidget window;
  window.resize(400, 200);
  auto* panel = new QWidget(&window);
  panel->setGeometry(0, 0, 400, 150);
  auto* a = new ImageButton(QStringLiteral("Start"), ButtonStyle::Green, panel);
  auto* b = new ImageButton(QStringLiteral("Preview"), ButtonStyle::Green, panel);
  auto* stop = new ImageButton(QStringLiteral("Stop"), ButtonStyle::Grey, panel);
  auto* label = new QLabel(QStringLiteral("Files scanned:"), panel);
  a->setGeometry(10, 10, 100, 40);
  b->setGeometry(120, 10, 100, 40);
  stop->setGeometry(230, 10, 100, 40);
  auto* info = new QLabel(QStringLiteral("Are you sure?"), panel);
  label->setGeometry(10, 80, 200, 20);
  info->setGeometry(220, 80, 150, 20);
  HoverGroup group(panel);
  group.Add(a);
  group.Add(b);
  group.Add(stop);
  group.WatchBackground(panel);
  group.WatchBackground(info);
  group.SetResettable([&](const ImageButton* btn) { return btn != stop || busy; });
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  const QMap<QString, QPair<QWidget*, QPoint>> places{
      {"a", {a, {50, 20}}},     {"b", {b, {50, 20}}},           {"stop", {stop, {50, 20}}},
      {"label", {label, {20, 10}}}, {"info", {info, {20, 10}}}, {"bg", {panel, {380, 120}}},
      {"out", {&window, {200, 190}}}};
  for (const QString& m : moves.split(' ', Qt::SkipEmptyParts)) {
    const auto [w, pt] = places.value(m);
    QTest::mouseMove(w, pt);
    QTest::mouseMove(w, pt + QPoint(1, 1));
    if (m == "out") {
      // Leaving the window from a button: no move reaches the background on the way.
      QEvent leave(QEvent::Leave);
      QApplication::sendEvent(a, &leave);
    }
  }
  QStringList on;
  if (a->Highlighted()) on << "a";
  if (b->Highlighted()) on << "b";
  if (stop->Highlighted()) on << "stop";
  QCOMPARE(on.join(' '), lit);
}

void SkinTest::keyboardReachesAndPresses() {
  QWidget window;
  auto* edit = new QLineEdit(&window);
  edit->setGeometry(10, 10, 100, 24);
  auto* button = new ImageButton(QStringLiteral("Start Scan"), ButtonStyle::Green, &window);
  button->setGeometry(10, 50, 100, 40);
  QSignalSpy clicked(button, &QPushButton::clicked);
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  edit->setFocus();
  // Focus given by the program does not look hot; focus from Tab does.
  QVERIFY(!button->LooksHighlighted());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), button);
  QVERIFY(button->LooksHighlighted());
  QTest::keyClick(button, Qt::Key_Space);
  QCOMPARE(clicked.count(), 1);
  QTest::keyClick(button, Qt::Key_Tab);
  QVERIFY(!button->LooksHighlighted());
}

void SkinTest::accessibleButtons_data() {
  QTest::addColumn<int>("kind");  // -1 an image button, else a TextButton kind
  QTest::addColumn<QString>("caption");
  QTest::newRow("image button") << -1 << "Start Scan";
  QTest::newRow("tab") << int(TextButton::Kind::Tab) << "Advanced Scan";
  QTest::newRow("link") << int(TextButton::Kind::Link) << "Back";
  QTest::newRow("help glyph") << int(TextButton::Kind::TopHelp) << "Help";
  QTest::newRow("close glyph") << int(TextButton::Kind::TopClose) << "Close";
}

void SkinTest::accessibleButtons() {
  QFETCH(int, kind);
  QFETCH(QString, caption);
  QWidget window;
  QAbstractButton* button = kind < 0 ? static_cast<QAbstractButton*>(new ImageButton(caption, ButtonStyle::Green, &window))
                                     : new TextButton(TextButton::Kind(kind), caption, &window);
  window.show();
  QSignalSpy clicked(button, &QAbstractButton::clicked);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
  QVERIFY(iface);
  QCOMPARE(iface->role(), QAccessible::Button);
  QCOMPARE(iface->text(QAccessible::Name), caption);
  QAccessibleActionInterface* actions = iface->actionInterface();
  QVERIFY(actions);
  QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
  actions->doAction(QAccessibleActionInterface::pressAction());
  QTRY_COMPARE(clicked.count(), 1);

  // A new caption (another language) is the new name; a glyph's comes with its tooltip.
  auto* text = qobject_cast<TextButton*>(button);
  if (text && text->IsGlyph()) {
    button->setToolTip(QStringLiteral("Hilfe"));
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Hilfe"));
    QVERIFY(button->text().isEmpty());
  } else {
    if (text)
      text->SetCaption(QStringLiteral("Zurück"));
    else
      button->setText(QStringLiteral("Zurück"));
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Zurück"));
  }
}

// ---------------------------------------------------------------- dialogs

void SkinTest::dialogLayout_data() {
  QTest::addColumn<QString>("dialog");
  QTest::addColumn<QString>("title");
  // objectName=x,y,w,h[=text] for each child
  QTest::addColumn<QStringList>("children");
  QTest::newRow("information") << "TForm3a" << "Information"
                               << QStringList{"InfoLabel=28,50,300,60", "Button1=126,130,100,40=OK"};
  QTest::newRow("confirmation") << "TForm3b" << "Confirmation"
                                << QStringList{"InfoLabel=28,50,300,60", "Button1=56,130,100,40=Yes", "Button2=192,130,100,40=No"};
  QTest::newRow("please wait") << "TForm1c" << "Information"
                               << QStringList{"InfoLabel=68,66,213,20=Please wait...", "AnimationImage=152,104,48,48"};
}

void SkinTest::dialogLayout() {
  QFETCH(QString, dialog);
  QFETCH(QString, title);
  QFETCH(QStringList, children);
  std::unique_ptr<SkinDialog> d;
  if (dialog == "TForm3a") d = std::make_unique<TForm3a>(english_);
  if (dialog == "TForm3b") d = std::make_unique<TForm3b>(english_);
  if (dialog == "TForm1c") d = std::make_unique<TForm1c>(english_, test::BinDir());
  d->show();
  QCOMPARE(d->size(), QSize(350, 200));
  QVERIFY(d->windowFlags() & Qt::FramelessWindowHint);
  QCOMPARE(d->isModal(), dialog != "TForm1c");
  QCOMPARE(d->Title(), title);
  auto* actionLabel = Child<QLabel>(d.get(), "ActionLabel");
  QVERIFY(actionLabel);
  QCOMPARE(actionLabel->text(), title);
  QVERIFY(actionLabel->geometry().bottom() < 36);  // inside the title strip
  for (const QString& c : children) {
    const QStringList parts = c.split('=');
    QWidget* w = Child(d.get(), parts[0]);
    QVERIFY2(w, qPrintable(parts[0]));
    const QStringList g = parts[1].split(',');
    QCOMPARE(w->geometry(), QRect(g[0].toInt(), g[1].toInt(), g[2].toInt(), g[3].toInt()));
    if (parts.size() > 2) QCOMPARE(w->property("text").toString(), parts[2]);
  }
  // The frame is painted under everything: outline, title strip, content.
  const QImage img = Look(d.get());
  QCOMPARE(At(img, 0, 0), skin::kOutline);
  QCOMPARE(At(img, 5, 20), skin::kFrame);
  QCOMPARE(At(img, 15, 40), kWhite);
  Shot(d.get(), dialog);
}

void SkinTest::textsReadOnEveryShow() {
  LanguageFile lang;
  TForm3b form(lang);
  lang.LoadFromText("[Messages]\nConfirmation=Bestätigung\n[Buttons]\nYes=Ja\nNo=Nein\n");
  form.SetMessage(QStringLiteral("Wirklich?"));
  form.show();
  QCOMPARE(form.Title(), QStringLiteral("Bestätigung"));
  QCOMPARE(form.Button1()->text(), QStringLiteral("Ja"));
  QCOMPARE(form.Button2()->text(), QStringLiteral("Nein"));
  // The question is what a screen reader says for the label and the dialog.
  QAccessibleInterface* label = QAccessible::queryAccessibleInterface(form.InfoLabel());
  QCOMPARE(label->text(QAccessible::Name), QStringLiteral("Wirklich?"));
  QCOMPARE(form.InfoLabel()->accessibleDescription(), QStringLiteral("Wirklich?"));
  QCOMPARE(form.accessibleDescription(), QStringLiteral("Wirklich?"));
}

void SkinTest::confirmationShownTwice() {
  TForm3b form(english_);
  form.SetMessage(QStringLiteral("Are you sure you wish to cancel this operation?"));
  // First use: the mouse goes over Yes (highlighting it) and clicks it.
  OnNextModal([&](QWidget*) {
    QTest::mouseMove(form.Button1(), {50, 20});
    QTest::mouseMove(form.Button1(), {51, 21});
    QVERIFY(form.Button1()->Highlighted());
    QTest::mouseClick(form.Button1(), Qt::LeftButton);
  });
  form.exec();
  QCOMPARE(form.Answer(), 1);

  // Second use: starts at No with both buttons normal, and a close by other means answers No.
  int answerOnShow = 0;
  QImage look;
  OnNextModal([&](QWidget* modal) {
    answerOnShow = form.Answer();
    look = Look(&form);
    modal->close();
  });
  // The mouse still rests over Yes, lit as it was left: the dialog reopens under it.
  form.Button1()->SetHighlighted(true);
  form.exec();
  QCOMPARE(answerOnShow, 2);
  QCOMPARE(form.Answer(), 2);
  QVERIFY(!form.Button1()->Highlighted());
  QVERIFY(!form.Button2()->Highlighted());
  QCOMPARE(At(look, 56 + 5, 130 + 5), ButtonColorA(ButtonStyle::Grey));
  QCOMPARE(At(look, 192 + 5, 130 + 5), ButtonColorA(ButtonStyle::Blue));

  // The question's label is background: moving over it puts a lit button back.
  form.show();
  form.Button2()->SetHighlighted(true);
  QTest::mouseMove(form.InfoLabel(), {150, 30});
  QTest::mouseMove(form.InfoLabel(), {151, 31});
  QVERIFY(!form.Button2()->Highlighted());
  form.hide();
}

void SkinTest::keysEndDialogs_data() {
  QTest::addColumn<QString>("dialog");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("result");  // what exec() returns
  QTest::addColumn<int>("answer");  // TForm3b's Answer
  QTest::newRow("Esc closes the information") << "TForm3a" << int(Qt::Key_Escape) << int(QDialog::Rejected) << 0;
  QTest::newRow("Enter is OK") << "TForm3a" << int(Qt::Key_Return) << int(QDialog::Accepted) << 0;
  QTest::newRow("Esc answers No") << "TForm3b" << int(Qt::Key_Escape) << int(QDialog::Rejected) << 2;
  QTest::newRow("Enter is Yes") << "TForm3b" << int(Qt::Key_Return) << int(QDialog::Accepted) << 1;
  QTest::newRow("Tab to No, Space") << "TForm3b" << int(Qt::Key_Tab) << int(QDialog::Rejected) << 2;
}

void SkinTest::keysEndDialogs() {
  QFETCH(QString, dialog);
  QFETCH(int, key);
  QFETCH(int, result);
  QFETCH(int, answer);
  std::unique_ptr<SkinDialog> d;
  if (dialog == "TForm3a")
    d = std::make_unique<TForm3a>(english_);
  else
    d = std::make_unique<TForm3b>(english_);
  d->SetMessage(QStringLiteral("Save folder not found!"));
  OnNextModal([&](QWidget* modal) {
    QVERIFY(QTest::qWaitForWindowActive(modal));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    if (key == Qt::Key_Tab) {
      QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Button2"));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    }
  });
  QCOMPARE(d->exec(), result);
  QVERIFY(!d->isVisible());
  if (auto* b = dynamic_cast<TForm3b*>(d.get())) QCOMPARE(int(b->Answer()), answer);
}

void SkinTest::centredAndDraggedByTitle() {
  QWidget main;
  main.setWindowFlags(Qt::FramelessWindowHint);
  main.setGeometry(100, 80, 860, 632);
  main.show();
  QVERIFY(QTest::qWaitForWindowExposed(&main));
  TForm3a form(english_);
  form.SetAnchor(&main);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QVERIFY((form.frameGeometry().center() - main.frameGeometry().center()).manhattanLength() <= 2);

  // Presses carry screen positions so that the window's own moves do not shift them.
  auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(global - form.pos()), QPointF(global), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&form, &e);
  };
  auto drag = [&](QPoint from, QPoint by) {
    const QPoint start = form.pos() + from;
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + by / 2, Qt::LeftButton);
    send(QEvent::MouseMove, start + by, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + by, Qt::NoButton);
  };
  const QPoint before = form.pos();
  drag({200, 20}, {-40, 30});  // in the title strip (over the title label too)
  QCOMPARE(form.pos(), before + QPoint(-40, 30));
  drag({20, 39}, {10, 10});  // the band's last row
  QCOMPARE(form.pos(), before + QPoint(-30, 40));
  const QPoint moved = form.pos();
  drag({20, 40}, {25, 25});  // just below the band
  QCOMPARE(form.pos(), moved);
  drag({60, 70}, {25, 25});  // on the message
  QCOMPARE(form.pos(), moved);
}

void SkinTest::pleaseWaitAnimation_data() {
  QTest::addColumn<QString>("file");  // "real", "none" or "broken"
  QTest::newRow("the program's animation") << "real";
  QTest::newRow("no file") << "none";
  QTest::newRow("not a picture") << "broken";
}

void SkinTest::pleaseWaitAnimation() {
  QFETCH(QString, file);
  QTemporaryDir dir;
  QString folder = dir.path();
  if (file == "real") folder = test::BinDir();
  if (file == "broken") {
    QFile f(dir.filePath(QStringLiteral("Animation.gif")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("GIF89a, but nothing after it");
  }
  QWidget main;
  main.resize(860, 632);
  main.show();
  TForm1c wait(english_, folder, &main);
  wait.show();
  QVERIFY(QTest::qWaitForWindowExposed(&wait));
  QCOMPARE(wait.Message(), QStringLiteral("Please wait..."));
  QVERIFY(!wait.isModal());
  QVERIFY(!QApplication::activeModalWidget());
  if (file == "real") {
    QVERIFY(wait.Movie());
    QCOMPARE(wait.Movie()->state(), QMovie::Running);
    QVERIFY(wait.AnimationImage()->isVisible());
    QVERIFY(wait.Movie()->frameCount() >= 8);
    QCOMPARE(wait.Movie()->currentImage().size(), QSize(48, 48));
    // It turns while events run.
    const int first = wait.Movie()->currentFrameNumber();
    QTRY_VERIFY(wait.Movie()->currentFrameNumber() != first);
    Shot(&wait, QStringLiteral("TForm1c-animated"));
    wait.close();
    QCOMPARE(wait.Movie()->state(), QMovie::NotRunning);
  } else {
    QVERIFY(!wait.Movie());
    QVERIFY(!wait.AnimationImage()->isVisible());
    wait.close();
  }
}

void SkinTest::prompterReusesDialogs() {
  DialogPrompter prompter(english_);
  QWidget main;
  main.resize(860, 632);
  main.show();
  TForm3a* shownInfo = nullptr;
  QString shownText;
  OnNextModal([&](QWidget* modal) {
    shownInfo = qobject_cast<TForm3a*>(modal);
    shownText = shownInfo ? shownInfo->Message() : QString();
    QTest::mouseClick(Child(modal, "Button1"), Qt::LeftButton);
  });
  prompter.Inform(&main, QStringLiteral("Please select a drive."));
  QCOMPARE(shownInfo, &prompter.InformationDialog());
  QCOMPARE(shownText, QStringLiteral("Please select a drive."));
  QVERIFY(!shownInfo->isVisible());

  // Yes, then an Esc, then Yes again, on the one confirmation dialog.
  const QList<QPair<QString, bool>> rounds{{"Button1", true}, {"Esc", false}, {"Button1", true}};
  QList<TForm3b*> seen;
  for (const auto& [how, expected] : rounds) {
    OnNextModal([&, how = how](QWidget* modal) {
      seen << qobject_cast<TForm3b*>(modal);
      if (how == "Esc")
        QTest::keyClick(modal, Qt::Key_Escape);
      else
        QTest::mouseClick(Child(modal, how), Qt::LeftButton);
    });
    QCOMPARE(prompter.Confirm(&main, QStringLiteral("Recover the selected files?")), expected);
  }
  QCOMPARE(seen, (QList<TForm3b*>{&prompter.ConfirmationDialog(), &prompter.ConfirmationDialog(), &prompter.ConfirmationDialog()}));
}

void SkinTest::messageDuringMessageGetsItsOwnDialog() {
  DialogPrompter prompter(english_);
  QString innerText, keptTextMeanwhile;
  OnNextModal([&](QWidget* outer) {
    OnNextModal(
        [&](QWidget* inner) {
          innerText = qobject_cast<SkinDialog*>(inner)->Message();
          keptTextMeanwhile = prompter.InformationDialog().Message();
          QTest::mouseClick(Child(inner, "Button1"), Qt::LeftButton);
        },
        outer);
    prompter.Inform(nullptr, QStringLiteral("second"));
    QTest::mouseClick(Child(outer, "Button1"), Qt::LeftButton);
  });
  prompter.Inform(nullptr, QStringLiteral("first"));
  QCOMPARE(innerText, QStringLiteral("second"));
  QCOMPARE(keptTextMeanwhile, QStringLiteral("first"));
  QVERIFY(!prompter.InformationDialog().isVisible());
}

QTEST_MAIN(SkinTest)
#include "test_skin.moc"
