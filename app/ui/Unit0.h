#pragma once

#include <QWidget>
#include <functional>

#include "app/core/ConfigFile.h"
#include "kit/WindowKit.h"

class QTabWidget;
class QPushButton;
class QLineEdit;
class QLabel;
class QGroupBox;
class QPlainTextEdit;

namespace vintor {

// The main window: tabs for single-plane and two-plane work and the settings, the function-key
// menu and the device log.
class Form0 : public QWidget {
  Q_OBJECT
 public:
  // What the main window's actions open; set by the composition root as the windows exist.
  struct Actions {
    std::function<void()> about;
    std::function<void(bool twoPlane)> vibrationMeter;
    std::function<void(bool twoPlane)> reports;
    std::function<void(bool twoPlane)> balancing;
    std::function<void()> charts;
  };

  explicit Form0(QWidget* parent = nullptr);
  void SetActions(Actions actions) { actions_ = std::move(actions); }

  QTabWidget* PageControl1;
  // Single-plane tab.
  QLabel* Image1;
  QPushButton* Button13;
  QPushButton* Button11;
  QPushButton* Button6;
  QPushButton* Button7;
  QPushButton* Button8;
  // Two-plane tab.
  QLabel* Image2;
  QPushButton* Button14;
  QPushButton* Button12;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button4;
  // Settings tab.
  QGroupBox* GroupBox1;
  QGroupBox* GroupBox2;
  QLineEdit* EditKPR1;
  QLineEdit* EditKPR2;
  QLineEdit* EditVs1;
  QLineEdit* EditVs2;
  QLineEdit* EditMaxV;
  QPushButton* Button9;   // Cancel
  QPushButton* Button10;  // OK
  QPlainTextEdit* Memo1;  // device log
  QPushButton* Button5;   // Exit

  void FormShow();
  void Button9Click();
  void Button10Click();
  void AppendLog(const QString& line);

  SettingsTexts FieldTexts() const;
  void SetFieldTexts(const SettingsTexts& texts);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void LoadSettings();
  // Clicks the button of the active tab (nothing on the settings tab).
  void ClickOnTab(QPushButton* single, QPushButton* two);
  bool shown_ = false;
  Actions actions_;
  KeyTable keys_{this};
};

}  // namespace vintor
