#pragma once

#include "platform/Seams.h"

namespace vintor {

class NSOForm;

// Dialogs shown as real modal windows: the warning window and message boxes.
class WidgetDialogs final : public Dialogs {
 public:
  explicit WidgetDialogs(NSOForm* warning) : warning_(warning) {}
  void Warning(const QString& message) override;
  void Message(const QString& caption, const QString& text) override;
  void Error(const QString& text) override;
  QString AskSaveFileName() override;
  bool Confirm(const QString& text) override;
  bool GoOnOrRepeat(const QString& text) override;

 private:
  NSOForm* warning_;
};

}  // namespace vintor
