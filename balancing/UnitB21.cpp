#include "balancing/UnitB21.h"

namespace vintor {
namespace {

const QString kRepeatRun0 = QStringLiteral("Repeate Run#0 once more.");
const QString kRepeatRun1 = QStringLiteral("Repeate Run#1 once more.");
const QString kRepeatRun2 = QStringLiteral("Repeate Run#2 once more.");
const QString kPrevStep = QStringLiteral("F8-Prev.step");

RunFormTable Table() {
  RunFormTable t;
  t.mode = BalancingMode::TwoPlane;
  t.name = QStringLiteral("FormB21");
  t.caption = QStringLiteral("Two plane balance");
  t.groupCaption = {QString(), QStringLiteral("Run#0 (initial, no trial mass)"),
                    QStringLiteral("Run#1(Trial mass Plane 1)"),
                    QStringLiteral("Run#2(Trial mass Plane 2)"),
                    QStringLiteral("RunC (Check balance quality)")};
  t.leaveCaption = {QString(), QStringLiteral("F8 - Escape "), kPrevStep, kPrevStep, kPrevStep};
  t.leaveHint = {QString(), QString(), kRepeatRun0, kRepeatRun1, kRepeatRun2};
  t.runHint = {QString(), QString(), kRepeatRun0, QString(), QString()};
  return t;
}

}  // namespace

FormB21::FormB21(QWidget* parent) : RunForm(parent, Table()) {}

}  // namespace vintor
