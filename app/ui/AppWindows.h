#pragma once

#include <memory>

#include "kit/NSOUnit.h"
#include "app/ui/Unit0.h"
#include "kit/UnitAbout.h"
#include "kit/WidgetDialogs.h"
#include "kit/WindowObserver.h"
#include "meter/UnitIzm1.h"
#include "platform/DesktopShell.h"
#include "rig/UnitRig.h"

namespace vintor {

// The composition root: every window of the program, created once in the fixed order, and the
// real seams wired to them. Destroyed in reverse order when the program ends.
class AppWindows {
 public:
  AppWindows();
  ~AppWindows();
  Form0& Main() { return *form0_; }

 private:
  // Device log of the main window, as one of the observer's views.
  class MainLogView;

  std::unique_ptr<Form0> form0_;
  std::unique_ptr<NSOForm> nsoForm_;
  std::unique_ptr<FormIzm1> formIzm1_;
  std::unique_ptr<FormAbout> formAbout_;
  std::unique_ptr<MainLogView> logView_;
  WindowObserver observer_;
  std::unique_ptr<WidgetDialogs> dialogs_;
  DesktopShell shell_;
  // The simulated rig window, only while the simulated module is in use.
  std::unique_ptr<FormRig> formRig_;
};

}  // namespace vintor
