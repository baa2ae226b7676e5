#pragma once
// The operator window as plain data: captions, the eight server edits, the two
// progress labels, the memo and the visibility of the start controls. The
// exporters write here; a front end renders it and feeds events back through
// the observer. Texts are Windows-1252.
#include <string>
#include <vector>

namespace tarvelon {

class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  virtual void MemoLineAdded(const std::string& line) { (void)line; }
  virtual void MemoCleared() {}
  virtual void LabelsChanged() {}
  virtual void WindowChanged() {}  // captions, edits, visibility
  // Lets the front end handle its pending events during long calls.
  virtual void ProcessMessages() {}
  // The window's message box (an error the operator must see, the run goes on).
  virtual void ShowMessage(const std::string& text) { (void)text; }
};

struct ServerFields {
  std::string server;
  std::string user;
  std::string password;
  std::string folder;
};

class WindowModel {
 public:
  WindowModel();

  void SetObserver(WindowObserver* observer) { observer_ = observer; }

  const std::string& caption() const { return caption_; }
  const std::string& boxServerCaption() const { return boxServerCaption_; }
  void SetCaptions(const std::string& caption, const std::string& boxServerCaption);

  bool startControlsVisible() const { return startControlsVisible_; }
  void SetStartControlsVisible(bool visible);

  // paramServeurPictlore, paramUserPictlore, paramPasswordPictlore, paramRepertPictlore
  const ServerFields& imageServer() const { return imageServer_; }
  void SetImageServer(const ServerFields& fields);
  // paramServeur, paramUser, paramPassword, paramRepert
  const ServerFields& target() const { return target_; }
  void SetTarget(const ServerFields& fields);

  const std::string& label1() const { return label1_; }
  const std::string& label2() const { return label2_; }
  void SetLabel1(const std::string& text);
  void SetLabel2(const std::string& text);

  const std::vector<std::string>& memo() const { return memo_; }
  void AddMemoLine(std::string line);
  void ClearMemo();

  void ProcessMessages();
  void ShowMessage(const std::string& text);

 private:
  void Changed();

  WindowObserver* observer_ = nullptr;
  std::string caption_;
  std::string boxServerCaption_;
  bool startControlsVisible_ = true;
  ServerFields imageServer_;
  ServerFields target_;
  std::string label1_ = "Label1";
  std::string label2_ = "Label2";
  std::vector<std::string> memo_;
};

}  // namespace tarvelon
