#pragma once
// The operator window: renders the run's WindowModel and turns the operator's
// clicks into RunExport, the version list and the Vivacar posting. Controls
// carry the names the rest of the system knows them by (objectName).
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>

#include "app/dispatch.h"
#include "app/run_state.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tarvelon {

class MainWindow : public QWidget, public WindowObserver {
  Q_OBJECT

 public:
  // Shows the host's short date and time formats as they are before the
  // process sets its own, so build the window first.
  MainWindow(RunState& state, const ExporterRegistry& exporters, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up decision: one argument runs that export now (before the
  // window is shown); anything else shows the syntax line and waits.
  void Start(const QStringList& arguments);

  // The posting of the Vivacar files behind "Envoi VIVACAR".
  using VivacarSender = std::function<void(RunState&)>;
  void SetVivacarSender(VivacarSender sender) { vivacarSender_ = std::move(sender); }

  // WindowObserver
  void MemoLineAdded(const std::string& line) override;
  void MemoCleared() override;
  void LabelsChanged() override;
  void WindowChanged() override;
  void ProcessMessages() override;
  void ShowMessage(const std::string& text) override;

 public slots:
  void Button1Click();  // "Démarrer"
  void Button2Click();  // "Version"
  void Button3Click();  // "Envoi VIVACAR"
  void Timer1Timer();   // one auto-close tick

 private:
  void BuildControls();
  QGroupBox* BuildServerBox(const char* boxName, const char* prefix, const QString& folderLabel,
                            QLineEdit* edits[4]);
  void StoreOperatorEdits(QLineEdit* const edits[4]);
  void PresentMessage(const std::string& ansiText, QMessageBox::Icon icon);
  // Runs one operator or start-up action; an error that escapes it reaches
  // the operator whole, and the window stays open.
  void Guarded(const std::function<void()>& action);

  RunState& state_;
  const ExporterRegistry& exporters_;
  VivacarSender vivacarSender_;

  QGroupBox* groupBox1_ = nullptr;
  QGroupBox* boxServer_ = nullptr;
  QLineEdit* imageServerEdits_[4] = {};
  QLineEdit* targetEdits_[4] = {};
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QLabel* lbDateFormat_ = nullptr;
  QLabel* lbTimeFormat_ = nullptr;
  QComboBox* cbExport_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* button2_ = nullptr;
  QPushButton* button3_ = nullptr;
  QPlainTextEdit* memo_ = nullptr;
  QTimer* timer1_ = nullptr;
};

}  // namespace tarvelon
