// The operator window against the run model: start-up decision, captions and
// start controls, the operator's buttons, the message box, the auto-close.
// Runs under QT_QPA_PLATFORM=offscreen.
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/dispatch.h"
#include "app/run_state.h"
#include "app/version.h"
#include "gui/command_line.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/screenshot.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "support/http_recorder.h"
#include "support/temp_folder.h"
#include "transfer/http_post.h"

using namespace tarvelon;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// A window over its own run state, as the program builds it.
struct Fixture {
  explicit Fixture(const ExporterRegistry& exporters) : window(state, exporters) {}
  RunState state;
  MainWindow window;

  template <class T>
  T* Get(const char* name) {
    T* widget = window.findChild<T*>(U(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  QStringList MemoLines() {
    QString text = Get<QPlainTextEdit>("Memo")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
  }
  QList<QMessageBox*> Boxes() { return window.findChildren<QMessageBox*>(); }
  QString FormLabel(const char* boxName, const char* editName) {
    auto* form = qobject_cast<QFormLayout*>(Get<QGroupBox>(boxName)->layout());
    auto* label = qobject_cast<QLabel*>(form->labelForField(Get<QLineEdit>(editName)));
    return label ? label->text() : QString();
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir work_;
  ExporterRegistry exporters_;
  ExporterRegistry none_;
  bool windowVisibleDuringRun_ = true;
  bool eventsHandledDuringRun_ = false;
  MainWindow* running_ = nullptr;

  bool LogExists(const char* option) {
    return QFile::exists(work_.path() + U("/MarqueUpdate") + U(option) + U(".log"));
  }

 private slots:
  void initTestCase() {
    QVERIFY(work_.isValid());
    // Log files and the (absent) settings file live in the test's own folder.
    qputenv("SharedTemp", work_.path().toUtf8());
    qputenv("TARVELON_HOME", work_.path().toUtf8());

    // A target that behaves like an exporter: fills the edits and labels,
    // reports, lets the window breathe, raises the flag.
    exporters_.Register("LEBONCOIN", [this](RunState& state, const std::string&) {
      windowVisibleDuringRun_ = running_ && running_->isVisible();
      state.window.SetImageServer({"images.example", "photo", "secret", "www/pictlore"});
      state.window.SetTarget({"ftp.example:2121", "lbc", "motdepasse", Ansi("/entrée")});
      state.window.SetLabel1(Ansi("Connecté"));
      state.window.SetLabel2("3/10");
      eventsHandledDuringRun_ = false;
      QTimer::singleShot(0, [this] { eventsHandledDuringRun_ = true; });
      state.ProcessMessages();
      state.LogLine(Ansi("Export terminé"));
      state.finishedFlag = true;
    });
    // A target whose extract cannot be read.
    exporters_.Register("PVO", [](RunState& state, const std::string&) {
      state.window.AddMemoLine("avant");
      throw Error(Ansi("Le fichier n'a pas pu être chargé : c:\\projects\\kord\\data\\Tarvelon\\ExpDatasPVO.xml"));
    });
    // A target that tells the operator something and goes on.
    exporters_.Register("VPN", [](RunState& state, const std::string&) {
      state.window.ShowMessage(Ansi("Le système ne trouve pas le fichier spécifié."));
      state.window.AddMemoLine(Ansi("après le message"));
      state.finishedFlag = true;
    });
  }

  void noArgumentShowsOnlyTheSyntaxLine() {
    for (const QStringList& args : {QStringList(), QStringList{U("a"), U("b")}}) {
      Fixture f(exporters_);
      f.window.Start(args);
      QCOMPARE(f.MemoLines(), QStringList{U("Syntax : Tarvelon \"option\"")});
      QCOMPARE(f.window.windowTitle(), U("Form1"));
      QCOMPARE(f.Get<QGroupBox>("BoxServer")->title(), U("Connexion Serveur xxx : "));
      QVERIFY(!f.Get<QPushButton>("Button1")->isHidden());
      QVERIFY(!f.Get<QComboBox>("CBExport")->isHidden());
      QVERIFY(f.Boxes().isEmpty());
    }
    QVERIFY(!LogExists(""));
  }

  void designTimeControls() {
    Fixture f(exporters_);
    QCOMPARE(f.Get<QGroupBox>("GroupBox1")->title(), U("Connexion Serveur Pictlore : "));
    QCOMPARE(f.FormLabel("GroupBox1", "paramServeurPictlore"), U("Serveur FTP :"));
    QCOMPARE(f.FormLabel("GroupBox1", "paramUserPictlore"), U("Utilisateur :"));
    QCOMPARE(f.FormLabel("GroupBox1", "paramPasswordPictlore"), U("Mot de passe : "));
    QCOMPARE(f.FormLabel("GroupBox1", "paramRepertPictlore"), U("Répertoire : "));
    QCOMPARE(f.FormLabel("BoxServer", "paramServeur"), U("Serveur FTP :"));
    QCOMPARE(f.FormLabel("BoxServer", "paramUser"), U("Utilisateur :"));
    QCOMPARE(f.FormLabel("BoxServer", "paramPassword"), U("Mot de passe : "));
    QCOMPARE(f.FormLabel("BoxServer", "paramRepert"), U("Répertoire :"));
    QCOMPARE(f.Get<QLineEdit>("paramRepertPictlore")->text(), U("www/pictlore"));
    QCOMPARE(f.Get<QLineEdit>("paramPasswordPictlore")->echoMode(), QLineEdit::Password);
    QCOMPARE(f.Get<QLineEdit>("paramPassword")->echoMode(), QLineEdit::Password);
    QCOMPARE(f.Get<QLineEdit>("paramServeur")->echoMode(), QLineEdit::Normal);
    QCOMPARE(f.Get<QLabel>("Label1")->text(), U("Label1"));
    QCOMPARE(f.Get<QLabel>("Label2")->text(), U("Label2"));
    QCOMPARE(f.Get<QLabel>("LbDateFormat")->text(), QLocale::system().dateFormat(QLocale::ShortFormat));
    QCOMPARE(f.Get<QLabel>("LbTimeFormat")->text(), QLocale::system().timeFormat(QLocale::ShortFormat));
    QCOMPARE(f.Get<QPushButton>("Button1")->text(), U("Démarrer"));
    QCOMPARE(f.Get<QPushButton>("Button2")->text(), U("Version"));
    QCOMPARE(f.Get<QPushButton>("Button3")->text(), U("Envoi VIVACAR"));
    QCOMPARE(f.Get<QGroupBox>("BoxMemo")->title(), U("Etat : "));
    QVERIFY(f.Get<QPlainTextEdit>("Memo")->isReadOnly());
    QVERIFY(f.MemoLines().isEmpty());
    auto* timer = f.Get<QTimer>("Timer1");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
  }

  void comboListsTheTargetsInOrder() {
    Fixture f(exporters_);
    auto* combo = f.Get<QComboBox>("CBExport");
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->maxVisibleItems(), 30);
    QCOMPARE(combo->currentText(), QString());
    QStringList expected = {"ParuVendu", "AutoScout24", "SitAutoPro", "TopAnnonces", "LeBonCoin",
                            "InfoPress", "AnnoncesJaunes", "AutoReflex", "LArgus", "AxeCibles",
                            "NeoWebCar", "Rad1", "VPN", "PVO", "Vivacar", "FVA",
                            "BusinessAptitude", "BRELO", "Heycar"};
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    QCOMPARE(shown, expected);
    QCOMPARE(combo->findText(U("GMBFI")), -1);
  }

  void knownOptionRunsBeforeTheWindowShows() {
    Fixture f(exporters_);
    running_ = &f.window;
    f.window.Start({U("leboncoin")});
    running_ = nullptr;
    QVERIFY(!windowVisibleDuringRun_);
    QVERIFY(eventsHandledDuringRun_);  // the run's message processing reaches Qt
    QVERIFY(f.state.finishedFlag);
    QCOMPARE(f.state.referencePrefix, std::string("LBC"));
    QCOMPARE(f.window.windowTitle(), U("Export des données pour LEBONCOIN"));
    QCOMPARE(f.Get<QGroupBox>("BoxServer")->title(), U("Connexion FTP pour LEBONCOIN : "));
    QVERIFY(f.Get<QPushButton>("Button1")->isHidden());
    QVERIFY(f.Get<QComboBox>("CBExport")->isHidden());
    QCOMPARE(f.Get<QLineEdit>("paramServeurPictlore")->text(), U("images.example"));
    QCOMPARE(f.Get<QLineEdit>("paramServeur")->text(), U("ftp.example:2121"));
    QCOMPARE(f.Get<QLineEdit>("paramRepert")->text(), U("/entrée"));
    QCOMPARE(f.Get<QLabel>("Label1")->text(), U("Connecté"));
    QCOMPARE(f.Get<QLabel>("Label2")->text(), U("3/10"));
    QStringList memo = f.MemoLines();
    QVERIFY(memo.contains(U("-> ")));
    QVERIFY(memo.last().startsWith(U("-> ")) && memo.last().endsWith(U(" - Export terminé")));
    QCOMPARE(memo.size(), int(f.state.window.memo().size()));
    QVERIFY(LogExists("LEBONCOIN"));
    QVERIFY(f.Boxes().isEmpty());
  }

  void unknownOptionLeavesTheStartControls() {
    Fixture f(exporters_);
    f.window.Start({U("foo")});
    QCOMPARE(f.window.windowTitle(), U("Export des données pour FOO"));
    QCOMPARE(f.Get<QGroupBox>("BoxServer")->title(), U("Connexion FTP pour FOO : "));
    QVERIFY(!f.Get<QPushButton>("Button1")->isHidden());
    QVERIFY(!f.Get<QComboBox>("CBExport")->isHidden());
    QVERIFY(!f.state.finishedFlag);
    QVERIFY(!LogExists("FOO"));
    QVERIFY(f.Boxes().isEmpty());
  }

  void startButtonRunsTheComboText() {
    Fixture f(exporters_);
    f.window.Start({});
    f.window.show();
    auto* combo = f.Get<QComboBox>("CBExport");
    auto* start = f.Get<QPushButton>("Button1");
    QTest::mouseClick(start, Qt::LeftButton);  // empty choice: nothing happens
    QCOMPARE(f.window.windowTitle(), U("Form1"));
    QCOMPARE(f.MemoLines().size(), 1);

    QTest::keyClicks(combo, U("Foo"));  // typed, not in the list
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(f.window.windowTitle(), U("Export des données pour FOO"));
    QVERIFY(start->isVisible());

    combo->setCurrentIndex(combo->findText(U("LeBonCoin")));
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(f.window.windowTitle(), U("Export des données pour LEBONCOIN"));
    QVERIFY(!start->isVisible());
    QVERIFY(!combo->isVisible());
    QVERIFY(f.state.finishedFlag);
  }

  void escapingErrorOpensAMessageBoxAndTheWindowStays() {
    Fixture f(exporters_);
    f.window.Start({U("pvo")});
    f.window.show();
    const QList<QMessageBox*> boxes = f.Boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0]->text(),
             U("Le fichier n'a pas pu être chargé : c:\\projects\\kord\\data\\Tarvelon\\ExpDatasPVO.xml"));
    QCOMPARE(boxes[0]->icon(), QMessageBox::Critical);
    QVERIFY(boxes[0]->isVisible());
    QVERIFY(f.MemoLines().contains(U("avant")));
    QVERIFY(!f.state.finishedFlag);
    for (int i = 0; i < 40; ++i) f.window.Timer1Timer();
    QVERIFY(f.window.isVisible());
  }

  void exporterNotYetAvailableIsAnError() {
    Fixture f(none_);
    f.window.Start({U("leboncoin")});
    const QList<QMessageBox*> boxes = f.Boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0]->text(), U("Export non disponible dans cette version : LEBONCOIN"));
    QVERIFY(f.Get<QPushButton>("Button1")->isHidden());
    QCOMPARE(f.window.windowTitle(), U("Export des données pour LEBONCOIN"));
  }

  void messageDuringARunDoesNotStopIt() {
    Fixture f(exporters_);
    f.window.Start({U("vpn")});
    const QList<QMessageBox*> boxes = f.Boxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0]->text(), U("Le système ne trouve pas le fichier spécifié."));
    QVERIFY(f.MemoLines().contains(U("après le message")));
    QVERIFY(f.state.finishedFlag);
  }

  void versionButtonListsTheVersionBlock() {
    Fixture f(exporters_);
    f.window.Start({});
    QTest::mouseClick(f.Get<QPushButton>("Button2"), Qt::LeftButton);
    QStringList expected;
    for (const auto& line : VersionLines()) expected << ToQString(line);
    QCOMPARE(f.MemoLines(), expected);
    QVERIFY(expected.contains(U("FileVersion : 1.15.7.30")));
    QVERIFY(expected.contains(U("ProductVersion : 1.0.0.0")));
  }

  void vivacarButton() {
    Fixture f(exporters_);
    QTest::mouseClick(f.Get<QPushButton>("Button3"), Qt::LeftButton);
    QCOMPARE(f.MemoLines(), QStringList{U("Envoi VIVACAR non disponible dans cette version")});

    int calls = 0;
    f.window.SetVivacarSender([&](RunState&) {
      ++calls;
      throw Error(Ansi("Accès refusé"));
    });
    QTest::mouseClick(f.Get<QPushButton>("Button3"), Qt::LeftButton);
    QCOMPARE(calls, 1);
    QCOMPARE(f.Boxes().size(), 1);
    QCOMPARE(f.Boxes()[0]->text(), U("Accès refusé"));
  }

  // "Envoi VIVACAR" posts the drop folder to the configured service, here a loopback recorder.
  void vivacarButtonPostsTheDropFolder() {
    testing::TempFolder root;
    testing::MakeHostFolders(root / "c/projects/kord/data/Tarvelon/Vivacar");
    testing::MakeHostFolders(root / "program");
    testing::WriteHostFile(root / "c/projects/kord/data/Tarvelon/Vivacar/mirvane_ostamel-vo.txt", "{}");
    testing::HttpRecorder service;
    service.Start();
    testing::WriteHostFile(root / "program/Tarvelon.ini",
                           "[VIVACAR]\r\nUrlImport=http://" + service.address() + "/import\r\n");
    testing::ScopedEnv drive("TARVELON_DRIVE_C", (root / "c").c_str());
    testing::ScopedEnv home("TARVELON_HOME", (root / "program").c_str());

    Fixture f(exporters_);
    f.window.SetVivacarSender(SendVivacarFiles);
    QTest::mouseClick(f.Get<QPushButton>("Button3"), Qt::LeftButton);
    QCOMPARE(f.MemoLines(), QStringList{U("-> mirvane_ostamel-vo.txt")});
    QCOMPARE(f.Get<QLabel>("Label1")->text(), U("try"));
    QCOMPARE(service.Requests().size(), size_t(1));
    QCOMPARE(QString::fromStdString(testing::ReadHostFile(root / "c/projects/kord/data/Tarvelon/Vivacar/mirvane_ostamel-vo.xml")),
             U("<reponse>ok mirvane_ostamel-vo</reponse>"));
  }

  void closesAtTheThirtiethTickAfterTheFlag() {
    Fixture f(exporters_);
    f.window.show();
    for (int i = 0; i < 50; ++i) f.window.Timer1Timer();  // flag down: not counted
    QVERIFY(f.window.isVisible());
    f.state.finishedFlag = true;
    for (int i = 0; i < 29; ++i) f.window.Timer1Timer();
    QVERIFY(f.window.isVisible());
    f.window.Timer1Timer();
    QVERIFY(!f.window.isVisible());
  }

  void operatorEditsReachTheModel() {
    Fixture f(exporters_);
    f.window.show();
    auto* user = f.Get<QLineEdit>("paramUser");
    QTest::keyClicks(user, U("op"));
    QInputMethodEvent accented;  // keyClicks takes Latin-1 keys only
    accented.setCommitString(U("érateur"));
    QCoreApplication::sendEvent(user, &accented);
    QCOMPARE(user->text(), U("opérateur"));
    QCOMPARE(f.state.window.target().user, Ansi("opérateur"));
    QTest::keyClicks(f.Get<QLineEdit>("paramServeurPictlore"), U("images.local"));
    QCOMPARE(user->text(), U("opérateur"));
    QCOMPARE(f.state.window.imageServer().server, std::string("images.local"));
    QCOMPARE(f.state.window.imageServer().folder, std::string("www/pictlore"));
  }

  void commandLine() {
    GuiCommandLine plain = ParseGuiCommandLine({U("leboncoin")});
    QVERIFY(plain.screenshotPath.isEmpty());
    QCOMPARE(plain.exportArguments, QStringList{U("leboncoin")});
    GuiCommandLine shot = ParseGuiCommandLine({U("--screenshot"), U("/tmp/w.png"), U("vpn")});
    QCOMPARE(shot.screenshotPath, U("/tmp/w.png"));
    QCOMPARE(shot.exportArguments, QStringList{U("vpn")});
    GuiCommandLine noOption = ParseGuiCommandLine({U("--screenshot"), U("/tmp/w.png")});
    QVERIFY(noOption.exportArguments.isEmpty());
  }

  void pictureOfTheWindow() {
    Fixture f(exporters_);
    f.window.Start({U("leboncoin")});
    f.window.show();
    const QString path = work_.path() + U("/window.png");
    QVERIFY(SaveWindowPicture(f.window, path));
    QImage picture(path);
    QCOMPARE(picture.size(), f.window.size());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
