#include "balancing/UnitB11.h"

namespace vintor {
namespace {

const QString kRepeatRun0 = QStringLiteral("Repeate Run#0 once more.");
const QString kRepeatRun1 = QStringLiteral("Repeate Run#1 once more.");
const QString kPrevStep = QStringLiteral("F8-Prev.step");

RunFormTable Table() {
  RunFormTable t;
  t.mode = BalancingMode::SinglePlane;
  t.name = QStringLiteral("FormB11");
  t.caption = QStringLiteral("Single-Plane balancing");
  t.groupCaption = {QString(), QStringLiteral("Run#0 (initial, no trial mass)"),
                    QStringLiteral("Run#1(Trial mass Plane 1)"), QString(),
                    QStringLiteral("RunC (Check balance quality)")};
  t.leaveCaption = {QString(), QStringLiteral("F8 - Escape "), kPrevStep, QString(), kPrevStep};
  t.leaveHint = {QString(), QString(), kRepeatRun0, QString(), kRepeatRun1};
  t.runHint = {};
  return t;
}

}  // namespace

FormB11::FormB11(QWidget* parent) : RunForm(parent, Table()) {}

}  // namespace vintor
