#include "gui/main_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/version.h"
#include "gui/qt_text.h"
#include "platform/errors.h"

namespace tarvelon {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// A progress text may be long (a full path, a server reply): it must not widen the window.
QLabel* ProgressLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(Text(name));
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  label->setTextFormat(Qt::PlainText);
  return label;
}

void ShowIfChanged(QLineEdit* edit, const std::string& ansi) {
  const QString text = ToQString(ansi);
  if (edit->text() != text) edit->setText(text);
}

}  // namespace

MainWindow::MainWindow(RunState& state, const ExporterRegistry& exporters, QWidget* parent)
    : QWidget(parent), state_(state), exporters_(exporters) {
  setObjectName(Text("Form1"));
  BuildControls();
  // The host's own short formats, shown as found before the process sets its own.
  lbDateFormat_->setText(QLocale::system().dateFormat(QLocale::ShortFormat));
  lbTimeFormat_->setText(QLocale::system().timeFormat(QLocale::ShortFormat));

  state_.window.SetObserver(this);
  WindowChanged();
  LabelsChanged();
  for (const auto& line : state_.window.memo()) MemoLineAdded(line);

  timer1_ = new QTimer(this);
  timer1_->setObjectName(Text("Timer1"));
  timer1_->setInterval(1000);
  connect(timer1_, &QTimer::timeout, this, &MainWindow::Timer1Timer);
  timer1_->start();
}

MainWindow::~MainWindow() { state_.window.SetObserver(nullptr); }

QGroupBox* MainWindow::BuildServerBox(const char* boxName, const char* suffix, const QString& folderLabel,
                                      QLineEdit* edits[4]) {
  auto* box = new QGroupBox(this);
  box->setObjectName(Text(boxName));
  auto* form = new QFormLayout(box);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  const char* names[4] = {"paramServeur", "paramUser", "paramPassword", "paramRepert"};
  const QString labels[4] = {Text("Serveur FTP :"), Text("Utilisateur :"), Text("Mot de passe : "), folderLabel};
  for (int i = 0; i < 4; ++i) {
    edits[i] = new QLineEdit(box);
    edits[i]->setObjectName(Text(names[i]) + Text(suffix));
    form->addRow(labels[i], edits[i]);
    connect(edits[i], &QLineEdit::textEdited, this, [this, edits] { StoreOperatorEdits(edits); });
  }
  edits[2]->setEchoMode(QLineEdit::Password);
  return box;
}

void MainWindow::BuildControls() {
  groupBox1_ = BuildServerBox("GroupBox1", "Pictlore", Text("Répertoire : "), imageServerEdits_);
  groupBox1_->setTitle(Text("Connexion Serveur Pictlore : "));
  boxServer_ = BuildServerBox("BoxServer", "", Text("Répertoire :"), targetEdits_);

  auto* servers = new QHBoxLayout;
  servers->addWidget(groupBox1_);
  servers->addWidget(boxServer_);

  cbExport_ = new QComboBox(this);
  cbExport_->setObjectName(Text("CBExport"));
  cbExport_->setEditable(true);
  cbExport_->setInsertPolicy(QComboBox::NoInsert);
  cbExport_->setMaxVisibleItems(30);
  cbExport_->setMinimumContentsLength(18);
  for (const auto& target : DropDownTargets()) cbExport_->addItem(ToQString(target));
  cbExport_->setCurrentIndex(-1);
  cbExport_->clearEditText();

  button1_ = new QPushButton(Text("Démarrer"), this);
  button1_->setObjectName(Text("Button1"));
  button2_ = new QPushButton(Text("Version"), this);
  button2_->setObjectName(Text("Button2"));
  button3_ = new QPushButton(Text("Envoi VIVACAR"), this);
  button3_->setObjectName(Text("Button3"));
  for (QPushButton* button : {button1_, button2_, button3_}) button->setMinimumWidth(120);
  connect(button1_, &QPushButton::clicked, this, &MainWindow::Button1Click);
  connect(button2_, &QPushButton::clicked, this, &MainWindow::Button2Click);
  connect(button3_, &QPushButton::clicked, this, &MainWindow::Button3Click);

  lbDateFormat_ = new QLabel(this);
  lbDateFormat_->setObjectName(Text("LbDateFormat"));
  lbTimeFormat_ = new QLabel(this);
  lbTimeFormat_->setObjectName(Text("LbTimeFormat"));

  auto* actions = new QHBoxLayout;
  actions->addWidget(cbExport_);
  actions->addWidget(button1_);
  actions->addWidget(button2_);
  actions->addWidget(button3_);
  actions->addStretch(1);
  actions->addWidget(lbDateFormat_);
  actions->addSpacing(12);
  actions->addWidget(lbTimeFormat_);

  label1_ = ProgressLabel("Label1", this);
  label2_ = ProgressLabel("Label2", this);

  auto* boxMemo = new QGroupBox(Text("Etat : "), this);
  boxMemo->setObjectName(Text("BoxMemo"));
  memo_ = new QPlainTextEdit(boxMemo);
  memo_->setObjectName(Text("Memo"));
  memo_->setReadOnly(true);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* memoLayout = new QVBoxLayout(boxMemo);
  memoLayout->addWidget(memo_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(servers);
  layout->addLayout(actions);
  layout->addWidget(label1_);
  layout->addWidget(label2_);
  layout->addWidget(boxMemo, 1);
  resize(980, 640);
  cbExport_->setFocus();
}

void MainWindow::Start(const QStringList& arguments) {
  if (arguments.size() == 1) {
    const std::string option = FromQString(arguments.front());
    Guarded([&] { RunExport(state_, option, exporters_); });
  } else {
    state_.window.AddMemoLine(SyntaxLine());
  }
}

void MainWindow::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    PresentMessage(error.text(), QMessageBox::Critical);
  } catch (const std::exception& error) {
    PresentMessage(error.what(), QMessageBox::Critical);
  } catch (...) {
    PresentMessage(Ansi("Erreur inattendue"), QMessageBox::Critical);
  }
}

void MainWindow::Button1Click() {
  const QString choice = cbExport_->currentText();
  if (choice.isEmpty()) return;
  const std::string option = FromQString(choice);
  Guarded([&] { RunExport(state_, option, exporters_); });
}

void MainWindow::Button2Click() {
  state_.window.ClearMemo();
  for (const auto& line : VersionLines()) state_.window.AddMemoLine(line);
}

void MainWindow::Button3Click() {
  if (!vivacarSender_) {
    state_.window.AddMemoLine(Ansi("Envoi VIVACAR non disponible dans cette version"));
    return;
  }
  Guarded([&] { vivacarSender_(state_); });
}

void MainWindow::Timer1Timer() {
  if (state_.Tick()) close();
}

// Only the box being typed in is stored: re-rendering the other one from the
// model must not undo what the operator typed there.
void MainWindow::StoreOperatorEdits(QLineEdit* const edits[4]) {
  const ServerFields fields{FromQString(edits[0]->text()), FromQString(edits[1]->text()),
                            FromQString(edits[2]->text()), FromQString(edits[3]->text())};
  if (edits == imageServerEdits_)
    state_.window.SetImageServer(fields);
  else
    state_.window.SetTarget(fields);
}

void MainWindow::MemoLineAdded(const std::string& line) { memo_->appendPlainText(ToQString(line)); }

void MainWindow::MemoCleared() { memo_->clear(); }

void MainWindow::LabelsChanged() {
  label1_->setText(ToQString(state_.window.label1()));
  label2_->setText(ToQString(state_.window.label2()));
}

void MainWindow::WindowChanged() {
  const WindowModel& model = state_.window;
  setWindowTitle(ToQString(model.caption()));
  boxServer_->setTitle(ToQString(model.boxServerCaption()));
  const ServerFields* sources[2] = {&model.imageServer(), &model.target()};
  QLineEdit* const* targets[2] = {imageServerEdits_, targetEdits_};
  for (int box = 0; box < 2; ++box) {
    ShowIfChanged(targets[box][0], sources[box]->server);
    ShowIfChanged(targets[box][1], sources[box]->user);
    ShowIfChanged(targets[box][2], sources[box]->password);
    ShowIfChanged(targets[box][3], sources[box]->folder);
  }
  button1_->setVisible(model.startControlsVisible());
  cbExport_->setVisible(model.startControlsVisible());
}

// Long calls of the core come back here: the window repaints, the timer ticks
// and the buttons that stay usable during a run answer.
void MainWindow::ProcessMessages() { QCoreApplication::processEvents(); }

void MainWindow::ShowMessage(const std::string& text) { PresentMessage(text, QMessageBox::Information); }

// Non-blocking: the run that reported it goes on, and an unattended start is
// not held up by a box nobody closes.
void MainWindow::PresentMessage(const std::string& text, QMessageBox::Icon icon) {
  auto* box = new QMessageBox(icon, windowTitle(), ToQString(text), QMessageBox::Ok, this);
  box->setObjectName(Text("MessageBox"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace tarvelon
