#include "app/ui/AppWindows.h"

#include <QDir>
#include <QLineEdit>

#include "acquisition/AdcAcquire.h"
#include "balancing/BalancingLinks.h"
#include "balancing/core/BalancingState.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "platform/TextFile.h"

namespace vintor {

class AppWindows::MainLogView final : public MeasObserver {
 public:
  explicit MainLogView(Form0* form) : form_(form) {}
  void LogLine(const QString& line) override { form_->AppendLog(line); }

 private:
  Form0* form_;
};

AppWindows::AppWindows() {
  ResetProgramState();
  ResetBalancingState();
  // In the program's creation order.
  form0_ = std::make_unique<Form0>();
  formB11_ = std::make_unique<FormB11>(form0_.get());
  formB10_ = std::make_unique<FormB10>(form0_.get());
  nsoForm_ = std::make_unique<NSOForm>(form0_.get());
  formB12_ = std::make_unique<FormB12>(form0_.get());
  formKft1_ = std::make_unique<FormKft1>(form0_.get());
  formKft1L_ = std::make_unique<FormKft1L>(form0_.get(), formKft1_.get());
  formArch1_ = std::make_unique<FormArch1>(form0_.get());
  formIzm1_ = std::make_unique<FormIzm1>(form0_.get());
  formB20_ = std::make_unique<FormB20>(form0_.get());
  formB21_ = std::make_unique<FormB21>(form0_.get());
  formB22_ = std::make_unique<FormB22>(form0_.get());
  formKft2_ = std::make_unique<FormKft2>(form0_.get());
  formKft2L_ = std::make_unique<FormKft2L>(form0_.get(), formKft2_.get());
  formArch2_ = std::make_unique<FormArch2>(form0_.get());
  formAbout_ = std::make_unique<FormAbout>(form0_.get());
  formIzm2_ = std::make_unique<FormIzm2>(form0_.get());

  dialogs_ = std::make_unique<WidgetDialogs>(nsoForm_.get());
  Svc().dialogs = dialogs_.get();
  Svc().shell = &shell_;
  logView_ = std::make_unique<MainLogView>(form0_.get());
  observer_.Add(logView_.get());
  observer_.Add(formIzm1_.get());
  observer_.Add(formB11_.get());
  observer_.Add(formB21_.get());
  observer_.Add(formIzm2_.get());
  LinkBalancingWindows(*formB10_, *formB11_, *formB12_);
  LinkBalancingWindows(*formB20_, *formB21_, *formB22_);
  // The coefficient-table and archive windows behind the balancing windows' buttons.
  formKft1_->SelectInto({formB10_->RadioGroup1, formB10_->RadioGroup2, formB10_->EditM1, nullptr,
                         formB10_->Edit2, formB10_->EditD1, nullptr});
  formKft2_->SelectInto({formB20_->RadioGroup1, formB20_->RadioGroup2, formB20_->EditM1,
                         formB20_->EditM2, formB20_->Edit2, formB20_->EditD1, formB20_->EditD2});
  formB10_->selectRotor = [this] { formKft1_->ShowForSelection(); };
  formB20_->selectRotor = [this] { formKft2_->ShowForSelection(); };
  formB12_->showIntRatio = [this] { formKft1L_->ShowForEntry(); };
  formB22_->showIntRatio = [this] { formKft2L_->ShowForEntry(); };
  formB12_->addArchiveRecord = [this] { formArch1_->ShowAfterAdding(formB12_.get()); };
  formB22_->addArchiveRecord = [this] { formArch2_->ShowAfterAdding(formB22_.get()); };
  formB11_->viewArchives = [this] { formArch1_->ShowForBrowsing(false, formB11_.get()); };
  formB21_->viewArchives = [this] { formArch2_->ShowForBrowsing(false, formB21_.get()); };
  SetObserver(&observer_);

  BindCycleAcquisition([] { AdcAcquire(); });
  // The simulated module reads its parameters from the working directory (the current one at
  // start); the two-plane windows later make the archive directory current.
  DefaultSimAdc().SetConfigFile(
      JoinPath(QDir::currentPath(), QString::fromLatin1(SimAdcLibrary::kDefaultFile)));
  Kit().showAbout = [this] { formAbout_->ShowModal(); };
  Form0::Actions actions;
  actions.about = [] { ShowAbout(); };
  actions.vibrationMeter = [this](bool twoPlane) {
    Meas().StopRequested = false;
    Meas().NeedSighting = true;
    formIzm1_->SetPlaneTwoShown(twoPlane);
    formIzm1_->ShowModal();
  };
  actions.reports = [this](bool twoPlane) {
    if (twoPlane) {
      formArch2_->ShowForBrowsing(true, form0_.get());
    } else {
      formArch1_->ShowForBrowsing(true, form0_.get());
    }
  };
  actions.balancing = [this](bool twoPlane) {
    Meas().NeedSighting = true;
    if (twoPlane)
      formB20_->ShowModal();
    else
      formB10_->ShowModal();
  };
  actions.charts = [this] { formIzm2_->ShowModeless(); };
  form0_->SetActions(actions);

  // Last of the windows: shown beside the main window after its first showing.
  if (SimulatedModuleInUse()) {
    formRig_ = std::make_unique<FormRig>(form0_.get());
    formRig_->Accompany(form0_.get());
  }
}

AppWindows::~AppWindows() {
  Kit().showAbout = nullptr;
  BindCycleAcquisition(nullptr);
  DefaultSimAdc().SetConfigFile(QString());
  SetObserver(nullptr);
  ResetServices();
}

}  // namespace vintor
