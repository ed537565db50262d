// The coefficient-table and archive windows, driven by keys and clicks on real tables.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThisClickedEvent>
#include <QtTest>
#include <functional>
#include <memory>

#include "GridTestUtil.h"
#include "TableTestUtil.h"
#include "balancing/TableWidgets.h"
#include "balancing/UnitArch1.h"
#include "balancing/UnitArch2.h"
#include "balancing/UnitKft1.h"
#include "balancing/UnitKft1L.h"
#include "balancing/UnitKft2.h"
#include "balancing/UnitKft2L.h"
#include "balancing/core/BalReport.h"
#include "balancing/core/BalancingAids.h"
#include "balancing/core/BalancingState.h"
#include "measurement/MeasState.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "tests/support/TestFakes.h"

using namespace vintor;
using namespace tabletest;

Q_DECLARE_METATYPE(vintor::Planes)

namespace {

class AnsweringDialogs final : public test::RecordingDialogs {
 public:
  bool confirmAnswer = true;
  QStringList confirms;
  bool Confirm(const QString& text) override {
    confirms << text;
    return confirmAnswer;
  }
};

// Stand-in for the initial-data window's fields, with its choice rules: "Gramm" enables the
// mass and radius fields, "Percent" writes "n.d." into them and disables them; "Blades" enables
// the blade count, "Polar" writes "n.d." into it and disables it.
class InitialDataStandIn : public QWidget {
 public:
  explicit InitialDataStandIn(bool two) {
    RadioGroup1 = new RadioGroup(this, "RadioGroup1", "Trial mass weight", {"Percent", "Gramm"}, 0);
    RadioGroup2 = new RadioGroup(this, "RadioGroup2", "Coordinate system", {"Polar", "Blades"}, 0);
    EditM1 = MakeEdit(this, "EditM1");
    EditM2 = two ? MakeEdit(this, "EditM2") : nullptr;
    Edit2 = MakeEdit(this, "Edit2");
    EditD1 = MakeEdit(this, "EditD1");
    EditD2 = two ? MakeEdit(this, "EditD2") : nullptr;
    connect(RadioGroup1, &RadioGroup::itemChosen, this, [this](int) { Rules(); });
    connect(RadioGroup2, &RadioGroup::itemChosen, this, [this](int) { Rules(); });
    Rules();
  }
  InitialDataFields Fields() const { return {RadioGroup1, RadioGroup2, EditM1, EditM2, Edit2, EditD1, EditD2}; }
  QStringList Texts() const {
    return {EditM1->text(), EditM2 ? EditM2->text() : "", Edit2->text(), EditD1->text(),
            EditD2 ? EditD2->text() : ""};
  }
  RadioGroup* RadioGroup1;
  RadioGroup* RadioGroup2;
  QLineEdit *EditM1, *EditM2, *Edit2, *EditD1, *EditD2;

 private:
  void Rules() {
    const bool gramm = RadioGroup1->ItemIndex() == 1;
    for (QLineEdit* e : {EditM1, EditM2, EditD1, EditD2}) {
      if (!e) continue;
      e->setEnabled(gramm);
      if (!gramm) e->setText("n.d.");
    }
    const bool blades = RadioGroup2->ItemIndex() == 1;
    Edit2->setEnabled(blades);
    if (!blades) Edit2->setText("n.d.");
  }
};

// Runs `step` with the modal window that is up once the event loop runs again.
void WhenModal(std::function<void(QWidget*)> step) {
  QTimer::singleShot(0, [step] { step(QApplication::activeModalWidget()); });
}

QStringList GridTitles(const RecordGrid* grid) {
  QStringList titles;
  const QHeaderView* header = grid->horizontalHeader();
  for (int v = 0; v < header->count(); ++v) {
    const int c = header->logicalIndex(v);
    if (!grid->isColumnHidden(c)) titles << grid->model()->headerData(c, Qt::Horizontal).toString();
  }
  return titles;
}

void Click(RecordNavigator* nav, NavAction action) {
  QToolButton* b = nav->Button(action);
  QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
  b->click();
  QCoreApplication::processEvents();
}

int AddRecord(TableKind kind, const QVariantMap& fields) {
  BalTable* table = OpenProgramTable(kind);
  if (!table) return 0;
  TableRecord r(kind);
  for (auto it = fields.begin(); it != fields.end(); ++it) r.Set(it.key(), it.value());
  return table->Insert(r).value_or(0);
}

QString Canonical(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

}  // namespace

class TestTablesWin : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void captionsAndTitles();
  void navigatorActions();
  void navigatorFailedPostKeepsEdits();
  void selectIntoInitialData_data();
  void selectIntoInitialData();
  void exitCopiesNothing();
  void saveThenSelectNewRecord_data();
  void saveThenSelectNewRecord();
  void archivePositions_data();
  void archivePositions();
  void archiveFields_data();
  void archiveFields();
  void toleranceMendedOnLeaving();
  void hintOnHelpRequest();
  void reportThroughShell_data();
  void reportThroughShell();
  void unbalanceToleranceFromGrade();
  void damagedTableKeepsWindowsUsable();
  void lockedTableOnSave();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  AnsweringDialogs dialogs_;
  test::FixedClock clock_{QDateTime(QDate(2024, 3, 5), QTime(14, 30, 0))};
  test::RecordingShell shell_;
  QString cwd_;
};

void TestTablesWin::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  cwd_ = QDir::currentPath();
  ResetProgramState();
  ResetBalancingState();
  ResetAidsInput();
  ArchPos() = ArchivePositions{};
  Paths().WorkDir = dir_->path();
  Paths().ArcRootDir = dir_->filePath("Arc");
  Paths().ArcDir = dir_->filePath("Arc/Arc1");
  QVERIFY(QDir().mkpath(Paths().ArcDir));
  dialogs_ = AnsweringDialogs();
  shell_ = test::RecordingShell();
  Svc().dialogs = &dialogs_;
  Svc().clock = &clock_;
  Svc().shell = &shell_;
  SetDecimalSeparatorOverride(QLatin1Char('.'));
}

void TestTablesWin::cleanup() {
  while (QWidget* w = QApplication::activeModalWidget()) w->close();
  CloseProgramTables();
  ResetServices();
  SetDecimalSeparatorOverride(QChar());
  QDir::setCurrent(cwd_);
  dir_.reset();
}

// ---- Looks ---------------------------------------------------------------------------------

void TestTablesWin::captionsAndTitles() {
  FormKft1 kft1;
  FormKft2 kft2;
  FormKft1L kft1l(nullptr, &kft1);
  FormKft2L kft2l(nullptr, &kft2);
  FormArch1 arch1;
  FormArch2 arch2;
  const QList<QPair<QWidget*, QStringList>> windows = {
      {&kft1, {"Influence coeff. Single plane.", "F2 - Select", "F10 - Exit"}},
      {&kft2, {"Interference ratio archive (2 planes) ", "F2 - OK", "F10 - Cancel"}},
      {&kft1l, {"Interference ratio (single plane)", "F9 - Save", "F10 - Cancel"}},
      {&kft2l, {"Correction plane interference ratio (two planes)", "F9 - Save", "F10 - Cancel"}},
      {&arch1, {"Single Plane balancing archive", "F9 - Report", "F10 - Exit"}},
      {&arch2, {"Two-Plane balancing archive", "F9 - Report", "F10 - Exit"}}};
  for (const auto& [w, texts] : windows) {
    QCOMPARE(w->windowTitle(), texts[0]);
    const bool archive = w == &arch1 || w == &arch2;
    QCOMPARE(Control<QPushButton>(w, archive ? "Button3" : "Button1")->text(), texts[1]);
    QCOMPARE(Control<QPushButton>(w, "Button2")->text(), texts[2]);
  }
  QVERIFY(kft2.DBGrid1->toolTip().startsWith("Rotor - rotor name; Nblades - number of blades;"));
  QVERIFY(kft1.DBGrid1->toolTip().isEmpty());
  QVERIFY(Control<QLabel>(&kft2l, "LabelR42"));
  QVERIFY(!Control<QLabel>(&kft1l, "LabelR21"));

  // The grids as the windows show them, from the files they open.
  kft1.show();
  kft2.show();
  arch1.show();
  arch2.show();
  QCOMPARE(GridTitles(kft1.DBGrid1), (QStringList{"NN", "Rotor", "Nbld", "Mtw", "Rtw", "R11", "R12"}));
  QCOMPARE(GridTitles(kft2.DBGrid1),
           (QStringList{"NN", "Rotor", "Nblades", "Mtw.1", "Rtw.1", "Mtw.2", "Rtw.2", "R11", "R12",
                        "R21", "R22", "R31", "R32", "R41", "R42"}));
  QCOMPARE(GridTitles(arch1.DBGrid1),
           (QStringList{"Rotor name", "Date", "Place", "Vo - initial", "Vo - finite", "Tolerance V",
                        "D- initial", "D- finite", "Tolerance.D"}));
  QCOMPARE(GridTitles(arch2.DBGrid1),
           (QStringList{"Rotor name", "Date", "Place", "Vo1-ini", "Vo2-ini", "Vo1-fin", "Vo2-fin",
                        "Toler.V", "D1-ini", "D2-ini", "D1-fin", "D2-fin", "Toler.D"}));
  // The panel's groups and headings.
  const QStringList groups = {"GroupBox1=Vibration, mm/sec", "GroupBox2=Unbalance, g*mm",
                              "GroupBox3=Plane 1", "GroupBox4=Plane 2", "GroupBox5=Plane 1",
                              "GroupBox6=Plane 2", "GroupBox7=Tolerance", "GroupBox8=Tolerance"};
  for (const QString& g : groups) {
    const QString name = g.section('=', 0, 0);
    QCOMPARE(Control<QGroupBox>(&arch2, name)->title(), g.section('=', 1));
    const bool planeTwo = name == "GroupBox4" || name == "GroupBox6";
    QCOMPARE(Control<QGroupBox>(&arch1, name) != nullptr, !planeTwo);
  }
  QStringList labels;
  for (const char* n : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7"})
    labels << Control<QLabel>(&arch1, n)->text();
  QCOMPARE(labels, (QStringList{"Rotor name", "Date and time", "Place", "Before", "After", "Before",
                                "After"}));
  QVERIFY(!Control<QLineEdit>(&arch1, "DBEdit6"));
  QVERIFY(Control<QLineEdit>(&arch2, "DBEdit11"));
  QCOMPARE(kft1.DBNavigator1->findChildren<QToolButton*>().size(), 10);
  arch1.close();
  arch2.close();
}

// ---- Navigator -----------------------------------------------------------------------------

void TestTablesWin::navigatorActions() {
  for (int i = 1; i <= 3; ++i) AddRecord(TableKind::Kft1, {{"Name", QString("r%1").arg(i)}, {"R11", i}});
  const QString path = dir_->filePath("KftTable1.db");
  FormKft1 w;
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  RecordNavigator* nav = w.DBNavigator1;
  auto enabled = [&] {
    QString s;
    for (int a = 0; a < 10; ++a) s += nav->Button(NavAction(a))->isEnabled() ? '1' : '0';
    return s;
  };
  QCOMPARE(w.Browser()->CurrentRecord(), 1);
  QCOMPARE(enabled(), QString("0011111001"));  // first, prior off; post, cancel off
  Click(nav, NavAction::Last);
  QCOMPARE(w.DBGrid1->currentIndex().row(), 2);
  QCOMPARE(enabled(), QString("1100111001"));
  Click(nav, NavAction::Prior);
  QCOMPARE(w.Browser()->CurrentRecord(), 2);

  // A click in the grid moves the record too.
  w.DBGrid1->setCurrentIndex(Cell(w.DBGrid1, 0, "Name"));
  QTRY_COMPARE(w.Browser()->CurrentRecord(), 1);

  // Insert, type a name, post: on disk at once.
  Click(nav, NavAction::Last);
  Click(nav, NavAction::Insert);
  QCOMPARE(w.DBGrid1->model()->rowCount(), 4);
  QCOMPARE(enabled().mid(7, 2), QString("11"));
  QVERIFY(TypeInCell(w.DBGrid1, w.DBGrid1->currentIndex().row(), "Name", "Fan 3"));
  Click(nav, NavAction::Post);
  QCOMPARE(QueryOne(path, "SELECT COUNT(*) FROM KftTable1").toInt(), 4);
  QCOMPARE(QueryOne(path, "SELECT Name FROM KftTable1 ORDER BY Thr DESC").toString(), QString("Fan 3"));
  QCOMPARE(w.Browser()->CurrentRecord(), 4);

  // Edit and cancel: nothing changes.
  QVERIFY(TypeInCell(w.DBGrid1, 0, "Name", "changed"));
  QTRY_COMPARE(w.Browser()->CurrentRecord(), 1);
  Click(nav, NavAction::Cancel);
  QCOMPARE(w.DBGrid1->model()->data(Cell(w.DBGrid1, 0, "Name")).toString(), QString("r1"));
  QCOMPARE(QueryOne(path, "SELECT Name FROM KftTable1 WHERE Thr = 1").toString(), QString("r1"));

  // A number the table cannot take is reported, and the cell keeps its value.
  QVERIFY(TypeInCell(w.DBGrid1, 0, "R11", "abc"));
  QTRY_COMPARE(dialogs_.errors.size(), 1);
  QVERIFY2(dialogs_.errors[0].contains("'abc' is not a valid number for R11"),
           qPrintable(dialogs_.errors[0]));
  QCOMPARE(w.DBGrid1->model()->data(Cell(w.DBGrid1, 0, "R11")).toString(), QString("1"));

  // Deleting asks first; "no" keeps the record.
  dialogs_.confirmAnswer = false;
  Click(nav, NavAction::Delete);
  QCOMPARE(dialogs_.confirms, QStringList{"Delete record?"});
  QCOMPARE(QueryOne(path, "SELECT COUNT(*) FROM KftTable1").toInt(), 4);
  dialogs_.confirmAnswer = true;
  Click(nav, NavAction::Delete);
  QCOMPARE(QueryOne(path, "SELECT COUNT(*) FROM KftTable1").toInt(), 3);
  QCOMPARE(w.DBGrid1->model()->data(Cell(w.DBGrid1, 0, "Name")).toString(), QString("r2"));

  // Refresh shows what another program added.
  RunSql(path, {"INSERT INTO KftTable1 (Name) VALUES ('outside')"});
  QCOMPARE(w.DBGrid1->model()->rowCount(), 3);
  Click(nav, NavAction::Refresh);
  QCOMPARE(w.DBGrid1->model()->rowCount(), 4);
  QVERIFY(dialogs_.warnings.isEmpty());
  w.close();
}

void TestTablesWin::navigatorFailedPostKeepsEdits() {
  AddRecord(TableKind::Kft1, {{"Name", "before"}});
  const QString path = dir_->filePath("KftTable1.db");
  FormKft1 w;
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  {
    Locker locker(TABLE_WRITER, dir_->path(), "KftTable1.db");
    QVERIFY(locker.Locked());
    QVERIFY(TypeInCell(w.DBGrid1, 0, "Name", "after"));
    Click(w.DBNavigator1, NavAction::Post);
    QCOMPARE(dialogs_.warnings.size(), 1);
    QVERIFY2(dialogs_.warnings[0].contains(QDir::toNativeSeparators(path)) &&
                 dialogs_.warnings[0].contains("locked by another program"),
             qPrintable(dialogs_.warnings[0]));
    // The edit is still there to post again; leaving is refused while it cannot be saved.
    QVERIFY(w.DBNavigator1->Button(NavAction::Post)->isEnabled());
    QCOMPARE(w.DBGrid1->model()->data(Cell(w.DBGrid1, 0, "Name")).toString(), QString("after"));
    QTest::keyClick(&w, Qt::Key_F10);
    QVERIFY(w.isVisible());
    QCOMPARE(dialogs_.warnings.size(), 2);
  }
  QTest::keyClick(&w, Qt::Key_F10);
  QVERIFY(!w.isVisible());
  QCOMPARE(QueryOne(path, "SELECT Name FROM KftTable1").toString(), QString("after"));
}

// ---- Select --------------------------------------------------------------------------------

void TestTablesWin::selectIntoInitialData_data() {
  QTest::addColumn<Planes>("planes");
  QTest::addColumn<QVariantMap>("fields");
  QTest::addColumn<int>("trialBefore");
  QTest::addColumn<int>("coordsBefore");
  QTest::addColumn<QStringList>("texts");  // EditM1, EditM2, Edit2, EditD1, EditD2
  QTest::addColumn<int>("trial");
  QTest::addColumn<int>("coords");
  const auto one = Planes::One, two = Planes::Two;
  QTest::newRow("1: grams, radius, blades")
      << one << QVariantMap{{"M1", 10.0}, {"D1", 50.0}, {"L1", 6.0}, {"R11", 0.5}, {"R12", -0.25}}
      << 0 << 0 << QStringList{"10", "", "6", "50", ""} << 1 << 1;
  QTest::newRow("1: saved in percent and polar")
      << one << QVariantMap{{"R11", 0.5}} << 1 << 1 << QStringList{"n.d.", "", "n.d.", "e.f.", ""}
      << 0 << 0;
  QTest::newRow("1: percent before: e.f. stays")
      << one << QVariantMap{{"R11", 0.5}} << 0 << 0 << QStringList{"e.f.", "", "e.f.", "e.f.", ""}
      << 0 << 0;
  QTest::newRow("2: M1 filled, M2 empty: percent stays")
      << two << QVariantMap{{"M1", 10.0}, {"D1", 50.0}, {"D2", 60.0}} << 0 << 0
      << QStringList{"n.d.", "n.d.", "e.f.", "50", "60"} << 0 << 0;
  QTest::newRow("2: M1 empty, M2 filled: gramm stays")
      << two << QVariantMap{{"M2", 12.0}, {"L1", 8.0}} << 1 << 0
      << QStringList{"n.d.", "12", "8", "e.f.", "e.f."} << 1 << 1;
  QTest::newRow("2: everything")
      << two << QVariantMap{{"M1", 10.0}, {"M2", 12.5}, {"D1", 40.0}, {"D2", 45.0}, {"L1", 3.0},
                            {"R11", 0.02}, {"R42", -7.5}}
      << 0 << 0 << QStringList{"10", "12.5", "3", "40", "45"} << 1 << 1;
}

void TestTablesWin::selectIntoInitialData() {
  QFETCH(Planes, planes);
  QFETCH(QVariantMap, fields);
  QFETCH(int, trialBefore);
  QFETCH(int, coordsBefore);
  QFETCH(QStringList, texts);
  QFETCH(int, trial);
  QFETCH(int, coords);
  const bool two = planes == Planes::Two;
  AddRecord(CoeffTableOf(planes), {{"Name", "other"}, {"R11", 9.0}, {"M1", 1.0}});
  AddRecord(CoeffTableOf(planes), fields);
  InitialDataStandIn initial(two);
  initial.RadioGroup1->SetItemIndex(trialBefore);
  initial.RadioGroup2->SetItemIndex(coordsBefore);
  std::unique_ptr<CoeffTableForm> w;
  if (two) {
    w = std::make_unique<FormKft2>();
  } else {
    w = std::make_unique<FormKft1>();
  }
  w->SelectInto(initial.Fields());
  QString title;
  WhenModal([&](QWidget* modal) {
    title = modal->windowTitle();
    // In the grid: the last record.
    QTest::keyClick(Control<RecordGrid>(modal, "DBGrid1"), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(modal, Qt::Key_F2);
  });
  w->ShowForSelection();
  QCOMPARE(title, w->windowTitle());
  QVERIFY(!w->isVisible());
  QCOMPARE(initial.Texts(), texts);
  QCOMPARE(initial.RadioGroup1->ItemIndex(), trial);
  QCOMPARE(initial.RadioGroup2->ItemIndex(), coords);
  // The choices had their effects on the fields.
  QCOMPARE(initial.EditM1->isEnabled(), trial == 1);
  QCOMPARE(initial.Edit2->isEnabled(), coords == 1);
  const BalancingInput& in = BalInput();
  QCOMPARE(in.R11, fields.value("R11", 0.0).toDouble());
  QCOMPARE(in.R12, fields.value("R12", 0.0).toDouble());
  QCOMPARE(in.R42, two ? fields.value("R42", 0.0).toDouble() : 0.0);
}

void TestTablesWin::exitCopiesNothing() {
  AddRecord(TableKind::Kft2, {{"R11", 3.0}, {"M1", 5.0}});
  InitialDataStandIn initial(true);
  FormKft2 w;
  w.SelectInto(initial.Fields());
  WhenModal([](QWidget* modal) {
    QTest::keyClick(modal, Qt::Key_Escape);  // does nothing
    QTest::keyClick(modal, Qt::Key_F10);
  });
  w.ShowForSelection();
  QVERIFY(!w.isVisible());
  QCOMPARE(BalInput().R11, 0.0);
  QCOMPARE(initial.Texts(), (QStringList{"n.d.", "n.d.", "n.d.", "n.d.", "n.d."}));
}

// ---- Save ----------------------------------------------------------------------------------

void TestTablesWin::saveThenSelectNewRecord_data() {
  QTest::addColumn<Planes>("planes");
  QTest::addColumn<QStringList>("labels");
  QTest::newRow("single-plane") << Planes::One << QStringList{"R11= 1.234", "R12= -0.412"};
  QTest::newRow("two-plane") << Planes::Two
                             << QStringList{"R11= 1.234", "R12= -0.412", "R21= 0.000", "R22= 0.000",
                                            "R31= 0.000", "R32= 0.000", "R41= 2.500", "R42= 0.000"};
}

void TestTablesWin::saveThenSelectNewRecord() {
  QFETCH(Planes, planes);
  QFETCH(QStringList, labels);
  const bool two = planes == Planes::Two;
  const TableKind kind = CoeffTableOf(planes);
  AddRecord(kind, {{"Name", "older"}});
  BalancingInput& in = BalInput();
  in.R11 = 1.234;
  in.R12 = -0.412;
  in.R41 = 2.5;
  in.TrialM1 = 10.0;
  in.PlaceRadius1 = 0.0;
  in.BladeCount = 6;
  FormKft1 kft1;
  FormKft2 kft2;
  FormKft1L kft1l(nullptr, &kft1);
  FormKft2L kft2l(nullptr, &kft2);
  CoeffEntryForm& entry = two ? static_cast<CoeffEntryForm&>(kft2l) : kft1l;
  CoeffTableForm& table = two ? static_cast<CoeffTableForm&>(kft2) : kft1;
  QDir::setCurrent(QDir::tempPath());

  QStringList shown;
  int recordShown = 0;
  QString cwdAfterSave;
  bool entryOpenUnderneath = false;
  WhenModal([&](QWidget* modal) {
    for (const QLabel* l : modal->findChildren<QLabel*>()) shown << l->text();
    WhenModal([&](QWidget* selection) {
      recordShown = table.Browser()->CurrentRecord();
      cwdAfterSave = QDir::currentPath();
      entryOpenUnderneath = entry.isVisible();
      // The operator names the rotor, then leaves with F10.
      QVERIFY(TypeInCell(table.DBGrid1, recordShown - 1, "Name", "Fan 3"));
      QTest::keyClick(selection, Qt::Key_F10);
      QTest::keyClick(modal, Qt::Key_F10);
    });
    QTest::keyClick(modal, Qt::Key_F9);
  });
  entry.ShowForEntry();
  shown.sort();
  QCOMPARE(shown, labels);
  QCOMPARE(recordShown, 2);
  QVERIFY(entryOpenUnderneath);
  const QString file = dir_->filePath(ShapeOf(kind).fileName);
  const QString sql = QString("SELECT Name, R11, R12, M1, D1, L1 FROM %1 WHERE Thr = 2").arg(ShapeOf(kind).tableName);
  QCOMPARE(QueryOne(file, sql).toString(), QString("Fan 3"));
  QCOMPARE(QueryOne(file, QString("SELECT R12 FROM %1 WHERE Thr = 2").arg(ShapeOf(kind).tableName)).toDouble(), -0.412);
  QCOMPARE(QueryOne(file, QString("SELECT M1 FROM %1 WHERE Thr = 2").arg(ShapeOf(kind).tableName)).toDouble(), 10.0);
  QVERIFY(QueryOne(file, QString("SELECT D1 FROM %1 WHERE Thr = 2").arg(ShapeOf(kind).tableName)).isNull());
  QCOMPARE(QueryOne(file, QString("SELECT L1 FROM %1 WHERE Thr = 2").arg(ShapeOf(kind).tableName)).toDouble(), 6.0);
  if (two) {
    // Saving works in the working directory; "F10 - Cancel" returns to the measurement archive.
    QCOMPARE(Canonical(cwdAfterSave), Canonical(Paths().WorkDir));
    QCOMPARE(Canonical(QDir::currentPath()), Canonical(Paths().ArcDir));
  } else {
    QCOMPARE(Canonical(QDir::currentPath()), Canonical(QDir::tempPath()));
  }
}

// ---- Archive -------------------------------------------------------------------------------

void TestTablesWin::archivePositions_data() {
  QTest::addColumn<Planes>("planes");
  QTest::newRow("single-plane") << Planes::One;
  QTest::newRow("two-plane") << Planes::Two;
}

void TestTablesWin::archivePositions() {
  QFETCH(Planes, planes);
  const bool two = planes == Planes::Two;
  const TableKind kind = ArchiveTableOf(planes);
  for (const char* name : {"first", "second", "third"}) AddRecord(kind, {{"NAME", name}});
  CloseArchive(planes);
  FormArch1 arch1;
  FormArch2 arch2;
  ArchiveForm& w = two ? static_cast<ArchiveForm&>(arch2) : arch1;

  // Browsing stands on record 1, whatever the position was.
  ArchRecNo(planes) = 3;
  QString name;
  WhenModal([&](QWidget* modal) {
    name = Control<QLineEdit>(modal, "DBEdit1")->text();
    QTest::keyClick(modal, Qt::Key_F10);
  });
  w.ShowForBrowsing(true, nullptr);
  QCOMPARE(name, QString("first"));
  QCOMPARE(ArchRecNo(planes), 1);
  // Closing closes the table, and the grid lets go of it first.
  QVERIFY(!w.DBGrid1->model() || w.DBGrid1->model()->rowCount() == 0);
  QVERIFY(!w.Browser()->Model());

  // After adding, the new record, with its values rounded; single-plane stays usable over the
  // modal correction window, two-plane is modal itself.
  Runs().StartV1o = 3.456;
  Runs().EndV2o = 0.004;
  Corr().EndD1 = 12.346;
  KitDialog correction(nullptr, "FormB12", "correction");
  int record = 0;
  QString vo1, d7;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    if (two) {
      WhenModal([&](QWidget* m) {
        modal = m == &w;
        record = w.Browser()->CurrentRecord();
        vo1 = w.DBEdit4->text();
        d7 = w.DBEdit9->text();
        QTest::keyClick(m, Qt::Key_F10);
        correction.close();
      });
      w.ShowAfterAdding(&correction);
    } else {
      w.ShowAfterAdding(&correction);
      modal = w.isModal();
      record = w.Browser()->CurrentRecord();
      vo1 = w.DBEdit4->text();
      d7 = w.DBEdit9->text();
      // Its keys work while the correction window is still modal.
      QTest::keyClick(&w, Qt::Key_F10);
      QVERIFY(!w.isVisible());
      correction.close();
    }
  });
  correction.ShowModal();
  QCOMPARE(modal, two);
  QCOMPARE(record, 4);
  QCOMPARE(ArchRecNo(planes), 4);
  QCOMPARE(vo1, QString("3.46"));
  QCOMPARE(d7, QString("12.35"));
  const QString file = dir_->filePath(ShapeOf(kind).fileName);
  const QString table = ShapeOf(kind).tableName;
  QCOMPARE(QueryOne(file, "SELECT Date FROM " + table + " WHERE Thr = 4").toString(),
           QString("2024-03-05 14:30:00"));
  if (two) QCOMPARE(QueryOne(file, "SELECT VO8 FROM " + table + " WHERE Thr = 4").toDouble(), 0.0);
}

void TestTablesWin::archiveFields_data() {
  QTest::addColumn<Planes>("planes");
  QTest::newRow("single-plane") << Planes::One;
  QTest::newRow("two-plane") << Planes::Two;
}

void TestTablesWin::archiveFields() {
  QFETCH(Planes, planes);
  const bool two = planes == Planes::Two;
  const TableKind kind = ArchiveTableOf(planes);
  AddRecord(kind, {{"NAME", "Fan"}, {"Date", "2024-01-02 03:04:05"}, {"VO1", 3.5}, {"D7", 7.0}});
  FormArch1 arch1;
  FormArch2 arch2;
  ArchiveForm& w = two ? static_cast<ArchiveForm&>(arch2) : arch1;
  ArchRecNo(planes) = 1;
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  QCOMPARE(w.DBEdit4->text(), QString("3.5"));
  QCOMPARE(w.DBEdit2->text(), QString("2024-01-02 03:04:05"));
  // Measured values are read-only in the fields and in the grid; the date only in single-plane.
  QStringList readOnly;
  for (QLineEdit* e : w.findChildren<QLineEdit*>(QRegularExpression("^DBEdit\\d+$")))
    if (e->isReadOnly()) readOnly << e->objectName();
  readOnly.sort();
  QStringList expected = two ? QStringList{"DBEdit10", "DBEdit11", "DBEdit4", "DBEdit5",
                                           "DBEdit6", "DBEdit7", "DBEdit8", "DBEdit9"}
                             : QStringList{"DBEdit2", "DBEdit4", "DBEdit5", "DBEdit8", "DBEdit9"};
  QCOMPARE(readOnly, expected);
  QVERIFY(w.DBGrid1->IsReadOnlyColumn(Cell(w.DBGrid1, 0, "VO1").column()));
  QCOMPARE(w.DBGrid1->IsReadOnlyColumn(Cell(w.DBGrid1, 0, "Date").column()), !two);
  QVERIFY(!w.DBGrid1->IsReadOnlyColumn(Cell(w.DBGrid1, 0, "DOP_D").column()));
  w.DBGrid1->edit(Cell(w.DBGrid1, 0, "D7"));
  QVERIFY(!w.DBGrid1->indexWidget(Cell(w.DBGrid1, 0, "D7")));

  // Typed values are posted when the window closes, not lost.
  w.DBEdit1->setFocus();
  w.DBEdit1->selectAll();
  QTest::keyClicks(w.DBEdit1, "Pump 7");
  w.DBEdit14->setFocus();
  QTest::keyClicks(w.DBEdit14, "12.5");
  if (two) {
    w.DBEdit2->setFocus();
    w.DBEdit2->selectAll();
    QTest::keyClicks(w.DBEdit2, "2024-02-03 04:05:06");
  }
  QCOMPARE(w.DBGrid1->model()->data(Cell(w.DBGrid1, 0, "NAME")).toString(), QString("Pump 7"));
  QTest::keyClick(&w, Qt::Key_F10);
  QVERIFY(!w.isVisible());
  const QString file = dir_->filePath(ShapeOf(kind).fileName);
  const QString table = ShapeOf(kind).tableName;
  QCOMPARE(QueryOne(file, "SELECT NAME FROM " + table).toString(), QString("Pump 7"));
  QCOMPARE(QueryOne(file, "SELECT DOP_D FROM " + table).toDouble(), 12.5);
  QCOMPARE(QueryOne(file, "SELECT Date FROM " + table).toString(),
           QString(two ? "2024-02-03 04:05:06" : "2024-01-02 03:04:05"));
  QVERIFY(dialogs_.warnings.isEmpty());
  QVERIFY(dialogs_.errors.isEmpty());
}

void TestTablesWin::toleranceMendedOnLeaving() {
  SetDecimalSeparatorOverride(QLatin1Char(','));
  AddRecord(TableKind::Arch1, {{"NAME", "Fan"}});
  FormArch1 w;
  ArchRecNo(Planes::One) = 1;
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  w.DBEdit12->setFocus();
  QTest::keyClicks(w.DBEdit12, "2.5");
  w.DBEdit1->setFocus();
  QCOMPARE(w.DBEdit12->text(), QString("2,5"));
  QTest::keyClick(&w, Qt::Key_F10);
  QCOMPARE(QueryOne(dir_->filePath("ArchTable1.db"), "SELECT DOP_V FROM ArchTable1").toDouble(), 2.5);
}

void TestTablesWin::hintOnHelpRequest() {
  FormArch1 arch1;
  FormArch2 arch2;
  arch1.show();
  arch2.show();
  QVERIFY(QTest::qWaitForWindowExposed(&arch2));
  // What's This on a control of the window, and the Help key.
  QHelpEvent onField(QEvent::WhatsThis, QPoint(1, 1), QPoint(1, 1));
  QApplication::sendEvent(arch1.DBEdit3, &onField);
  arch1.activateWindow();
  QTest::keyClick(&arch1, Qt::Key_Help);
  QHelpEvent elsewhere(QEvent::WhatsThis, QPoint(1, 1), QPoint(1, 1));
  QApplication::sendEvent(arch2.DBEdit3, &elsewhere);
  QTest::keyClick(&arch2, Qt::Key_Help);
  QCOMPARE(dialogs_.messages.size(), size_t(2));
  QCOMPARE(dialogs_.messages[0].text, QString("Hint!"));
  QCOMPARE(dialogs_.messages[1].text, QString("Hint!"));
  arch1.close();
  arch2.close();
}

void TestTablesWin::reportThroughShell_data() {
  QTest::addColumn<Planes>("planes");
  QTest::addColumn<bool>("opens");
  QTest::addColumn<QString>("warning");
  QTest::addColumn<QChar>("separator");
  QTest::newRow("single-plane") << Planes::One << true << QString() << QChar('.');
  QTest::newRow("single-plane, no viewer") << Planes::One << false << "Requested document not found"
                                           << QChar('.');
  QTest::newRow("two-plane") << Planes::Two << true << QString() << QChar('.');
  QTest::newRow("two-plane, no viewer") << Planes::Two << false << "Requested document was not found"
                                        << QChar('.');
  // The record being edited keeps its measured values in the report, whatever the separator.
  QTest::newRow("single-plane, comma") << Planes::One << true << QString() << QChar(',');
  QTest::newRow("two-plane, comma") << Planes::Two << true << QString() << QChar(',');
}

void TestTablesWin::reportThroughShell() {
  QFETCH(Planes, planes);
  QFETCH(bool, opens);
  QFETCH(QString, warning);
  QFETCH(QChar, separator);
  SetDecimalSeparatorOverride(separator);
  const TableKind kind = ArchiveTableOf(planes);
  AddRecord(kind, {{"NAME", "one"}});
  AddRecord(kind, {{"NAME", "Fan 3"}, {"VO1", 3.46}, {"D7", 12.25}, {"Date", "2024-03-05 14:30:00"}});
  shell_.answer = opens;
  FormArch1 arch1;
  FormArch2 arch2;
  ArchiveForm& w = planes == Planes::Two ? static_cast<ArchiveForm&>(arch2) : arch1;
  ArchRecNo(planes) = 2;
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  // A place typed but not posted is in the report: it shows what is on screen.
  w.DBEdit3->setFocus();
  QTest::keyClicks(w.DBEdit3, "Shop 2");
  QTest::keyClick(&w, Qt::Key_F9);
  const QString path = QDir(Paths().WorkDir).filePath(kReportFileName);
  QCOMPARE(shell_.opened, QStringList{path});
  TableRecord expected(kind);
  expected.Set("NAME", "Fan 3");
  expected.Set("Place", "Shop 2");
  expected.Set("VO1", 3.46);
  expected.Set("D7", 12.25);
  expected.Set("Date", "2024-03-05 14:30:00");
  QCOMPARE(ReadBytes(path), EncodeLines(ReportLines(planes, expected)).bytes);
  QCOMPARE(dialogs_.warnings, warning.isEmpty() ? QStringList() : QStringList{warning});
  QVERIFY(w.isVisible());
  w.close();
}

void TestTablesWin::unbalanceToleranceFromGrade() {
  Meas().RPM = 3000.0;
  FormArch2 w;
  auto add = [&] {
    WhenModal([](QWidget* m) { QTest::keyClick(m, Qt::Key_F10); });
    w.ShowAfterAdding(nullptr);
  };
  add();  // no grade: DOP_D stays empty
  Aids().Grade = 2.5;
  Aids().RotorMass = 100.0;
  add();  // 9549 x 2.5 x 100 / 3000 g*mm
  Aids().RotorMass = 0.0;
  add();  // no rotor mass: no tolerance
  const QString file = dir_->filePath("ArchTable2.db");
  QVERIFY(QueryOne(file, "SELECT DOP_D FROM ArchTable2 WHERE Thr = 1").isNull());
  QCOMPARE(QueryOne(file, "SELECT DOP_D FROM ArchTable2 WHERE Thr = 2").toDouble(), 795.75);
  QVERIFY(QueryOne(file, "SELECT DOP_D FROM ArchTable2 WHERE Thr = 3").isNull());
}

// ---- Table failures ------------------------------------------------------------------------

void TestTablesWin::damagedTableKeepsWindowsUsable() {
  const QByteArray junk = RandomBytes(6000, 3);
  const QString kft = dir_->filePath("KftTable1.db");
  const QString arch = dir_->filePath("ArchTable2.db");
  QVERIFY(WriteBytes(kft, junk));
  QVERIFY(WriteBytes(arch, junk));

  // The selection window still comes up, empty; F2 selects nothing and says why again, F10
  // leaves.
  FormKft1 kft1;
  InitialDataStandIn initial(false);
  kft1.SelectInto(initial.Fields());
  bool shown = false, navigatorOff = true, stayed = false;
  WhenModal([&](QWidget* m) {
    shown = m == &kft1;
    for (QToolButton* b : kft1.DBNavigator1->findChildren<QToolButton*>())
      navigatorOff = navigatorOff && !b->isEnabled();
    QTest::keyClick(m, Qt::Key_F2);
    stayed = m->isVisible();
    QTest::keyClick(m, Qt::Key_F10);
  });
  kft1.ShowForSelection();
  QVERIFY(shown);
  QVERIFY(navigatorOff);
  QVERIFY(stayed);
  QCOMPARE(initial.Texts(), (QStringList{"n.d.", "", "n.d.", "n.d.", ""}));
  QCOMPARE(dialogs_.warnings.size(), 2);
  QVERIFY2(dialogs_.warnings[0].contains(QDir::toNativeSeparators(kft)) &&
               dialogs_.warnings[0].contains("damaged or is not a table file"),
           qPrintable(dialogs_.warnings[0]));

  // The archive is not shown at all; the file is left as it was.
  FormArch2 arch2;
  arch2.ShowForBrowsing(true, nullptr);
  QVERIFY(!arch2.isVisible());
  QCOMPARE(dialogs_.warnings.size(), 3);
  QVERIFY(dialogs_.warnings[2].contains(QDir::toNativeSeparators(arch)));
  arch2.ShowAfterAdding(nullptr);
  QVERIFY(!arch2.isVisible());
  QCOMPARE(dialogs_.warnings.size(), 4);
  QCOMPARE(ReadBytes(kft), junk);
  QCOMPARE(ReadBytes(arch), junk);
}

void TestTablesWin::lockedTableOnSave() {
  AddRecord(TableKind::Kft1, {{"Name", "kept"}});
  const QString path = dir_->filePath("KftTable1.db");
  const QByteArray before = ReadBytes(path);
  FormKft1 kft1;
  FormKft1L entry(nullptr, &kft1);
  bool selectionShown = false, entryStillOpen = false;
  Locker locker(TABLE_WRITER, dir_->path(), "KftTable1.db");
  QVERIFY(locker.Locked());
  WhenModal([&](QWidget* m) {
    QTest::keyClick(m, Qt::Key_F9);
    selectionShown = kft1.isVisible();
    entryStillOpen = m->isVisible();
    QTest::keyClick(m, Qt::Key_F10);
  });
  entry.ShowForEntry();
  QVERIFY(!selectionShown);
  QVERIFY(entryStillOpen);
  QCOMPARE(dialogs_.warnings.size(), 1);
  QVERIFY2(dialogs_.warnings[0].contains("locked by another program"), qPrintable(dialogs_.warnings[0]));
  QCOMPARE(ReadBytes(path), before);
}

QTEST_MAIN(TestTablesWin)
#include "test_tableswin.moc"
