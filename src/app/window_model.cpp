#include "app/window_model.h"

#include "platform/text.h"

namespace tarvelon {

WindowModel::WindowModel()
    : caption_("Form1"), boxServerCaption_("Connexion Serveur xxx : ") {
  imageServer_.folder = "www/pictlore";
}

void WindowModel::Changed() {
  if (observer_) observer_->WindowChanged();
}

void WindowModel::SetCaptions(const std::string& caption, const std::string& boxServerCaption) {
  caption_ = caption;
  boxServerCaption_ = boxServerCaption;
  Changed();
}

void WindowModel::SetStartControlsVisible(bool visible) {
  startControlsVisible_ = visible;
  Changed();
}

void WindowModel::SetImageServer(const ServerFields& fields) {
  imageServer_ = fields;
  Changed();
}

void WindowModel::SetTarget(const ServerFields& fields) {
  target_ = fields;
  Changed();
}

void WindowModel::SetLabel1(const std::string& text) {
  label1_ = text;
  if (observer_) observer_->LabelsChanged();
}

void WindowModel::SetLabel2(const std::string& text) {
  label2_ = text;
  if (observer_) observer_->LabelsChanged();
}

void WindowModel::AddMemoLine(std::string line) {
  memo_.push_back(std::move(line));
  if (observer_) observer_->MemoLineAdded(memo_.back());
}

void WindowModel::ClearMemo() {
  memo_.clear();
  if (observer_) observer_->MemoCleared();
}

void WindowModel::ShowMessage(const std::string& text) {
  if (observer_) observer_->ShowMessage(text);
}

void WindowModel::ProcessMessages() {
  if (observer_) observer_->ProcessMessages();
}

}  // namespace tarvelon
