#pragma once

#include <memory>

#include "analysis/UnitIzm2.h"
#include "app/ui/Unit0.h"
#include "balancing/UnitArch1.h"
#include "balancing/UnitArch2.h"
#include "balancing/UnitB10.h"
#include "balancing/UnitB11.h"
#include "balancing/UnitB12.h"
#include "balancing/UnitB20.h"
#include "balancing/UnitB21.h"
#include "balancing/UnitB22.h"
#include "balancing/UnitKft1.h"
#include "balancing/UnitKft1L.h"
#include "balancing/UnitKft2.h"
#include "balancing/UnitKft2L.h"
#include "kit/NSOUnit.h"
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
  FormB10& B10() { return *formB10_; }
  FormB11& B11() { return *formB11_; }
  FormB12& B12() { return *formB12_; }
  FormB20& B20() { return *formB20_; }
  FormB21& B21() { return *formB21_; }
  FormB22& B22() { return *formB22_; }
  FormKft1& Kft1() { return *formKft1_; }
  FormKft1L& Kft1L() { return *formKft1L_; }
  FormArch1& Arch1() { return *formArch1_; }
  FormKft2& Kft2() { return *formKft2_; }
  FormKft2L& Kft2L() { return *formKft2L_; }
  FormArch2& Arch2() { return *formArch2_; }
  FormRig* Rig() { return formRig_.get(); }  // null with a real module

 private:
  // Device log of the main window, as one of the observer's views.
  class MainLogView;

  std::unique_ptr<Form0> form0_;
  std::unique_ptr<FormB11> formB11_;
  std::unique_ptr<FormB10> formB10_;
  std::unique_ptr<NSOForm> nsoForm_;
  std::unique_ptr<FormB12> formB12_;
  std::unique_ptr<FormKft1> formKft1_;
  std::unique_ptr<FormKft1L> formKft1L_;
  std::unique_ptr<FormArch1> formArch1_;
  std::unique_ptr<FormIzm1> formIzm1_;
  std::unique_ptr<FormB20> formB20_;
  std::unique_ptr<FormB21> formB21_;
  std::unique_ptr<FormB22> formB22_;
  std::unique_ptr<FormKft2> formKft2_;
  std::unique_ptr<FormKft2L> formKft2L_;
  std::unique_ptr<FormArch2> formArch2_;
  std::unique_ptr<FormAbout> formAbout_;
  std::unique_ptr<FormIzm2> formIzm2_;
  std::unique_ptr<MainLogView> logView_;
  WindowObserver observer_;
  std::unique_ptr<WidgetDialogs> dialogs_;
  DesktopShell shell_;
  // The simulated rig window, only while the simulated module is in use.
  std::unique_ptr<FormRig> formRig_;
};

}  // namespace vintor
