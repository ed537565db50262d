// Selecting and saving coefficients, adding archive records, and the printable report.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include "TableTestUtil.h"
#include "balancing/core/BalRecords.h"
#include "balancing/core/BalReport.h"
#include "balancing/core/BalTableModel.h"
#include "balancing/core/BalancingState.h"
#include "measurement/MeasState.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "tests/support/TestFakes.h"

using namespace vintor;
using namespace tabletest;

Q_DECLARE_METATYPE(vintor::Planes)
Q_DECLARE_METATYPE(vintor::BalancingInput)
Q_DECLARE_METATYPE(vintor::TrialUnit)
Q_DECLARE_METATYPE(vintor::Coordinates)

namespace {

TableRecord Make(TableKind kind, const QVariantMap& fields) {
  TableRecord r(kind);
  for (auto it = fields.begin(); it != fields.end(); ++it) r.Set(it.key(), it.value());
  return r;
}

}  // namespace

class TestBalRecords : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void select_data();
  void select();
  void selectCopiesCoefficients();
  void saveRecord_data();
  void saveRecord();
  void saveCoefficients();
  void coefficientLabels();
  void roundForArchive_data();
  void roundForArchive();
  void addToArchive();
  void browseArchive();
  void tableFailureWarns();
  void reportFixtures_data();
  void reportFixtures();
  void reportDate_data();
  void reportDate();
  void reportSeparator();
  void reportReplacesUnencodable();
  void reportKeepsLongTexts();
  void reportOpenFails_data();
  void reportOpenFails();
  void reportNotWritten();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  test::RecordingDialogs dialogs_;
  test::FixedClock clock_{QDateTime(QDate(2024, 3, 5), QTime(14, 30, 0))};
  test::RecordingShell shell_;
  QString cwd_;
};

void TestBalRecords::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  cwd_ = QDir::currentPath();
  ResetBalancingState();
  ArchPos() = ArchivePositions{};
  Paths().WorkDir = dir_->path();
  dialogs_ = test::RecordingDialogs();
  shell_ = test::RecordingShell();
  Svc().dialogs = &dialogs_;
  Svc().clock = &clock_;
  Svc().shell = &shell_;
  SetDecimalSeparatorOverride(QLatin1Char('.'));
}

void TestBalRecords::cleanup() {
  CloseProgramTables();
  ResetServices();
  SetDecimalSeparatorOverride(QChar());
  QDir::setCurrent(cwd_);
  dir_.reset();
}

// ---- Select --------------------------------------------------------------------------------

void TestBalRecords::select_data() {
  QTest::addColumn<Planes>("planes");
  QTest::addColumn<QVariantMap>("fields");
  QTest::addColumn<TrialUnit>("trialBefore");
  QTest::addColumn<Coordinates>("coordsBefore");
  QTest::addColumn<QStringList>("texts");  // EditM1, EditM2, Edit2, EditD1, EditD2
  QTest::addColumn<TrialUnit>("trial");
  QTest::addColumn<Coordinates>("coords");
  const auto P = TrialUnit::Percent, G = TrialUnit::Gramm;
  const auto Po = Coordinates::Polar, B = Coordinates::Blades;
  const auto one = Planes::One, two = Planes::Two;

  QTest::newRow("1: percent record, percent and polar before")
      << one << QVariantMap{{"R11", 1.0}} << P << Po << QStringList{"e.f.", "", "e.f.", "e.f.", ""}
      << P << Po;
  // Choosing "Percent" and "Polar" clears the fields as the operator's choice would; the
  // radius is written after that.
  QTest::newRow("1: percent record, gramm and blades before")
      << one << QVariantMap{} << G << B << QStringList{"n.d.", "", "n.d.", "e.f.", ""} << P << Po;
  QTest::newRow("1: grams, radius, blades")
      << one << QVariantMap{{"M1", 10.0}, {"D1", 50.0}, {"L1", 6.0}} << P << Po
      << QStringList{"10", "", "6", "50", ""} << G << B;
  QTest::newRow("1: grams without radius") << one << QVariantMap{{"M1", 2.5}} << G << Po
                                           << QStringList{"2.5", "", "e.f.", "e.f.", ""} << G << Po;
  QTest::newRow("2: M1 filled, M2 empty: percent stays")
      << two << QVariantMap{{"M1", 10.0}, {"D1", 50.0}, {"D2", 60.0}} << P << Po
      << QStringList{"n.d.", "n.d.", "e.f.", "50", "60"} << P << Po;
  QTest::newRow("2: M1 filled, M2 empty, gramm before")
      << two << QVariantMap{{"M1", 10.0}} << G << B
      << QStringList{"n.d.", "n.d.", "n.d.", "e.f.", "e.f."} << P << Po;
  QTest::newRow("2: M1 empty, M2 filled: gramm stays")
      << two << QVariantMap{{"M2", 12.0}, {"L1", 8.0}} << G << Po
      << QStringList{"n.d.", "12", "8", "e.f.", "e.f."} << G << B;
  QTest::newRow("2: everything")
      << two << QVariantMap{{"M1", 10.0}, {"M2", 12.5}, {"D1", 40.0}, {"D2", 45.0}, {"L1", 3.0}}
      << P << Po << QStringList{"10", "12.5", "3", "40", "45"} << G << B;
  QTest::newRow("2: empty table") << two << QVariantMap{} << P << Po
                                  << QStringList{"e.f.", "e.f.", "e.f.", "e.f.", "e.f."} << P << Po;
}

void TestBalRecords::select() {
  QFETCH(Planes, planes);
  QFETCH(QVariantMap, fields);
  QFETCH(TrialUnit, trialBefore);
  QFETCH(Coordinates, coordsBefore);
  QFETCH(QStringList, texts);
  QFETCH(TrialUnit, trial);
  QFETCH(Coordinates, coords);
  const TableRecord record = Make(CoeffTableOf(planes), fields);
  const KftSelection s = SelectCoefficients(planes, record, {trialBefore, coordsBefore});
  QCOMPARE((QStringList{s.EditM1, s.EditM2, s.Edit2, s.EditD1, s.EditD2}), texts);
  QCOMPARE(s.choices.trial, trial);
  QCOMPARE(s.choices.coords, coords);
}

void TestBalRecords::selectCopiesCoefficients() {
  SetDecimalSeparatorOverride(QLatin1Char(','));
  const TableRecord two = Make(
      TableKind::Kft2,
      {{"R11", 0.02}, {"R12", -0.02}, {"R21", 1.5}, {"R32", -4.0}, {"R42", 7.25}, {"M1", 2.5}});
  const KftSelection s = SelectCoefficients(Planes::Two, two, {});
  QCOMPARE(s.EditM1, QStringLiteral("n.d."));  // M2 empty: "Percent" cleared it
  CopyCoefficients(Planes::Two, s);
  const BalancingInput& in = BalInput();
  QCOMPARE(in.R11, 0.02);
  QCOMPARE(in.R12, -0.02);
  QCOMPARE(in.R21, 1.5);
  QCOMPARE(in.R22, 0.0);  // empty reads 0
  QCOMPARE(in.R32, -4.0);
  QCOMPARE(in.R42, 7.25);

  // Single-plane copies its pair only; texts use the system separator.
  const TableRecord one = Make(TableKind::Kft1, {{"R11", 5.0}, {"M1", 2.5}, {"D1", 0.75}});
  const KftSelection s1 = SelectCoefficients(Planes::One, one, {});
  QCOMPARE(s1.EditM1, QStringLiteral("2,5"));
  QCOMPARE(s1.EditD1, QStringLiteral("0,75"));
  CopyCoefficients(Planes::One, s1);
  QCOMPARE(in.R11, 5.0);
  QCOMPARE(in.R12, 0.0);
  QCOMPARE(in.R21, 1.5);
}

// ---- Save ----------------------------------------------------------------------------------

void TestBalRecords::saveRecord_data() {
  QTest::addColumn<Planes>("planes");
  QTest::addColumn<BalancingInput>("input");
  QTest::addColumn<QVariantMap>("expected");  // every field not listed is empty
  BalancingInput percent;
  percent.R11 = 1.25;
  QTest::newRow("1: percent, polar")
      << Planes::One << percent << QVariantMap{{"R11", 1.25}, {"R12", 0.0}};
  BalancingInput grams = percent;
  grams.TrialM1 = 10;
  grams.PlaceRadius1 = 50;
  grams.BladeCount = 6;
  grams.R21 = 3;  // not a single-plane field
  QTest::newRow("1: grams, blades")
      << Planes::One << grams
      << QVariantMap{{"R11", 1.25}, {"R12", 0.0}, {"M1", 10.0}, {"D1", 50.0}, {"L1", 6.0}};
  BalancingInput two;
  two.R11 = 0.5;
  two.R22 = -0.25;
  two.R41 = 2;
  two.TrialM1 = 10;
  two.PlaceRadius2 = 45;
  QTest::newRow("2: one mass, other radius")
      << Planes::Two << two
      << QVariantMap{{"R11", 0.5}, {"R12", 0.0}, {"R21", 0.0}, {"R22", -0.25}, {"R31", 0.0},
                     {"R32", 0.0}, {"R41", 2.0}, {"R42", 0.0}, {"M1", 10.0},   {"D2", 45.0}};
  // After a failed computation: a record of zeros, coefficients written all the same.
  QTest::newRow("2: zeros") << Planes::Two << BalancingInput{}
                            << QVariantMap{{"R11", 0.0}, {"R12", 0.0}, {"R21", 0.0}, {"R22", 0.0},
                                           {"R31", 0.0}, {"R32", 0.0}, {"R41", 0.0}, {"R42", 0.0}};
}

void TestBalRecords::saveRecord() {
  QFETCH(Planes, planes);
  QFETCH(BalancingInput, input);
  QFETCH(QVariantMap, expected);
  BalInput() = input;
  const TableRecord r = CoefficientsRecord(planes);
  for (const FieldDef& f : r.Shape().fields) {
    if (f.type == FieldType::Key) continue;
    if (expected.contains(f.name)) {
      QVERIFY2(!r.IsEmpty(f.name), qPrintable(f.name));
      QCOMPARE(r.Num(f.name), expected[f.name].toDouble());
    } else {
      QVERIFY2(r.IsEmpty(f.name), qPrintable(f.name));
    }
  }
}

// Saving twice gives two records; the two-plane save works from WorkDir; the grid follows.
void TestBalRecords::saveCoefficients() {
  BalInput().R11 = -0.412;
  BalInput().TrialM1 = 10;
  QCOMPARE(SaveCoefficients(Planes::One), std::optional<int>(1));
  BalTable* table = OpenProgramTable(TableKind::Kft1);
  QVERIFY(table);
  BalTableModel* model = table->Model();
  QCOMPARE(model->rowCount(), 1);
  QCOMPARE(SaveCoefficients(Planes::One), std::optional<int>(2));
  QCOMPARE(model->rowCount(), 2);
  QCOMPARE(model->RecordAt(1).Num("R11"), -0.412);
  QCOMPARE(model->RecordAt(1).Text("M1"), QStringLiteral("10"));

  QDir::setCurrent(QDir::tempPath());
  QCOMPARE(SaveCoefficients(Planes::Two), std::optional<int>(1));
  QCOMPARE(QDir::currentPath(), QDir(dir_->path()).canonicalPath());
  QVERIFY(QFile::exists(dir_->filePath("KftTable2.db")));
  QVERIFY(dialogs_.warnings.isEmpty());
}

void TestBalRecords::coefficientLabels() {
  BalancingInput& in = BalInput();
  in.R11 = 0.0;
  in.R12 = -0.412;
  in.R21 = 12.34567;
  in.R42 = 1.0005;
  using Labels = std::vector<std::pair<QString, QString>>;
  QCOMPARE(CoefficientLabels(Planes::One),
           (Labels{{"LabelR11", "R11= 0.000"}, {"LabelR12", "R12= -0.412"}}));
  const Labels two = CoefficientLabels(Planes::Two);
  QCOMPARE(two.size(), size_t{8});
  QCOMPARE(two[2], (std::pair<QString, QString>{"LabelR21", "R21= 12.346"}));
  QCOMPARE(two[7], (std::pair<QString, QString>{"LabelR42", "R42= 1.001"}));
}

// ---- Archive -------------------------------------------------------------------------------

void TestBalRecords::roundForArchive_data() {
  QTest::addColumn<double>("value");
  QTest::addColumn<double>("stored");
  QTest::newRow("3.456") << 3.456 << 3.46;
  QTest::newRow("2.345") << 2.345 << 2.35;  // "0.00" works on 15 digits: a half goes up
  QTest::newRow("-0.005") << -0.005 << -0.01;
  QTest::newRow("0.001") << 0.001 << 0.0;
  QTest::newRow("1234.5") << 1234.5 << 1234.5;
}

void TestBalRecords::roundForArchive() {
  QFETCH(double, value);
  QFETCH(double, stored);
  QCOMPARE(RoundForArchive(value), std::optional<double>(stored));
}

void TestBalRecords::addToArchive() {
  RunRecords& runs = Runs();
  CorrectionRecords& corr = Corr();
  runs.StartV1o = 3.456;
  runs.EndV1o = 0.844;
  runs.StartV2o = 2.1049;
  runs.EndV2o = std::nan("");
  corr.StartD1 = 1520.254;
  corr.EndD1 = 95.5;
  corr.StartD2 = 810;
  corr.EndD2 = 40.036;

  QCOMPARE(AddToArchive(Planes::One), std::optional<int>(1));
  QCOMPARE(ArchPos().ArchRecNo1, 1);
  clock_.now = clock_.now.addSecs(61);
  QCOMPARE(AddToArchive(Planes::One), std::optional<int>(2));
  QCOMPARE(ArchPos().ArchRecNo1, 2);
  QCOMPARE(ArchPos().ArchRecNo2, 0);

  BalTable* one = OpenProgramTable(TableKind::Arch1);
  const auto r = one->Read(2);
  QVERIFY(r);
  QCOMPARE(r->Text("Date"), QStringLiteral("2024-03-05 14:31:01"));
  QCOMPARE(r->Num("VO1"), 3.46);
  QCOMPARE(r->Num("VO7"), 0.84);
  QCOMPARE(r->Num("D1"), 1520.25);
  QCOMPARE(r->Num("D7"), 95.5);
  QVERIFY(r->IsEmpty("NAME") && r->IsEmpty("Place") && r->IsEmpty("DOP_V"));
  // Three blanks before 3.5 in the VO1 place.
  QVERIFY(ReportLines(Planes::One, *r, QLatin1Char('.'), QLocale::c())[30].startsWith(
      "| 1.| Before balancing  |      3.5      |"));

  QDir::setCurrent(QDir::tempPath());
  QCOMPARE(AddToArchive(Planes::Two), std::optional<int>(1));
  QCOMPARE(ArchPos().ArchRecNo2, 1);
  QCOMPARE(QDir::currentPath(), QDir(dir_->path()).canonicalPath());
  const auto r2 = OpenProgramTable(TableKind::Arch2)->Read(1);
  QCOMPARE(r2->Num("VO2"), 2.1);
  QVERIFY(r2->IsEmpty("VO8"));  // not a number: nothing to store
  QCOMPARE(r2->Num("D2"), 810.0);
  QCOMPARE(r2->Num("D8"), 40.04);
  QVERIFY(dialogs_.warnings.isEmpty());
}

void TestBalRecords::browseArchive() {
  QVERIFY(OpenArchiveForBrowsing(Planes::Two));
  QCOMPARE(ArchPos().ArchRecNo2, 0);  // empty: no position
  QVERIFY(AddToArchive(Planes::Two));
  QVERIFY(AddToArchive(Planes::Two));
  QCOMPARE(ArchPos().ArchRecNo2, 2);
  CloseArchive(Planes::Two);
  QVERIFY(OpenArchiveForBrowsing(Planes::Two));
  QCOMPARE(ArchPos().ArchRecNo2, 1);
  QCOMPARE(ArchPos().ArchRecNo1, 0);
}

// A table that cannot be used: one warning naming the file, nothing written, the program goes on.
void TestBalRecords::tableFailureWarns() {
  const QString path = dir_->filePath("ArchTable1.db");
  const QByteArray junk = RandomBytes(4096, 3);
  QVERIFY(WriteBytes(path, junk));
  ArchPos().ArchRecNo1 = 5;
  QCOMPARE(AddToArchive(Planes::One), std::nullopt);
  QCOMPARE(dialogs_.warnings.size(), 1);
  QVERIFY(dialogs_.warnings[0].contains(QDir::toNativeSeparators(path)));
  QVERIFY(dialogs_.warnings[0].contains("damaged"));
  QCOMPARE(ArchPos().ArchRecNo1, 5);
  QVERIFY(!OpenArchiveForBrowsing(Planes::One));
  QCOMPARE(ReadBytes(path), junk);

  // The coefficient table of the other mode is unaffected.
  QCOMPARE(SaveCoefficients(Planes::One), std::optional<int>(1));
}

// ---- Report --------------------------------------------------------------------------------

void TestBalRecords::reportFixtures_data() {
  QTest::addColumn<QString>("fixture");
  QTest::addColumn<Planes>("planes");
  QTest::addColumn<QVariantMap>("fields");
  QTest::newRow("single, named") << "report1_named.txt" << Planes::One
                                 << QVariantMap{{"NAME", "Fan 3"},
                                                {"Place", "Shop 2, bay 4"},
                                                {"Date", "2024-03-05 14:30:00"},
                                                {"VO1", 3.46},
                                                {"VO7", 0.84},
                                                {"DOP_V", 2.8},
                                                {"D1", 1520.25},
                                                {"D7", 95.5},
                                                {"DOP_D", 300.0}};
  QTest::newRow("single, empty") << "report1_empty.txt" << Planes::One << QVariantMap{};
  QTest::newRow("single, wide") << "report1_wide.txt" << Planes::One
                                << QVariantMap{{"NAME", "Fan 3"},
                                               {"Date", "2023-11-20 08:05:00"},
                                               {"VO1", 1234.5},
                                               {"VO7", 12345.6}};
  QTest::newRow("two, named") << "report2_named.txt" << Planes::Two
                              << QVariantMap{{"NAME", QString::fromUtf8("Вентилятор №3")},
                                             {"Place", QString::fromUtf8("Цех 2")},
                                             {"Date", "2024-12-31 23:59:59"},
                                             {"VO1", 3.46},
                                             {"VO2", 2.1},
                                             {"VO7", 0.84},
                                             {"VO8", 0.5},
                                             {"DOP_V", 2.8},
                                             {"D1", 1520.25},
                                             {"D2", 810.0},
                                             {"D7", 95.5},
                                             {"D8", 40.04},
                                             {"DOP_D", 300.0}};
  QTest::newRow("two, empty") << "report2_empty.txt" << Planes::Two << QVariantMap{};
  QTest::newRow("two, wide") << "report2_wide.txt" << Planes::Two
                             << QVariantMap{{"Place", "Site 'A'"},
                                            {"Date", "2023-01-01 00:00:00"},
                                            {"VO1", 1234.5},
                                            {"D2", 123456.7},
                                            {"VO8", -1234.5}};
}

void TestBalRecords::reportFixtures() {
  QFETCH(QString, fixture);
  QFETCH(Planes, planes);
  QFETCH(QVariantMap, fields);
  const QByteArray expected = ReadBytes(QStringLiteral(FIXTURES "/") + fixture);
  QVERIFY(!expected.isEmpty());
  const TableRecord record = Make(ArchiveTableOf(planes), fields);
  const QString path = dir_->filePath("out.txt");
  const ReportOutcome out = WriteReport(path, planes, record, QLatin1Char('.'), QLocale::c());
  QVERIFY2(out.ok, qPrintable(out.error));
  QVERIFY(!out.replaced);
  QCOMPARE(ReadBytes(path), expected);

  // The archive window's action writes the same bytes to WorkDir and opens them.
  QVERIFY(ReportRecord(planes, record));
  const QString report = dir_->filePath("Protokol.txt");
  QCOMPARE(ReadBytes(report), expected);
  QCOMPARE(shell_.opened, QStringList{report});
  QVERIFY(dialogs_.warnings.isEmpty());
}

void TestBalRecords::reportDate_data() {
  QTest::addColumn<QString>("date");
  QTest::addColumn<QLocale>("locale");
  QTest::addColumn<QString>("expected");
  QTest::newRow("C") << "2024-03-05 14:30:00" << QLocale::c() << " < 05 > March 2024";
  QTest::newRow("Russian") << "2024-03-05 14:30:00" << QLocale(QLocale::Russian, QLocale::Russia)
                           << QString::fromUtf8(" < 05 > Март 2024");
  QTest::newRow("German") << "2023-12-24" << QLocale(QLocale::German, QLocale::Germany)
                          << " < 24 > Dezember 2023";
  QTest::newRow("empty") << "" << QLocale::c() << " < 30 > December 1899";
  QTest::newRow("unreadable") << "yesterday" << QLocale::c() << " < 30 > December 1899";
}

void TestBalRecords::reportDate() {
  QFETCH(QString, date);
  QFETCH(QLocale, locale);
  QFETCH(QString, expected);
  QCOMPARE(ReportDate(date, locale), expected);
}

void TestBalRecords::reportSeparator() {
  const TableRecord r = Make(TableKind::Arch1, {{"VO1", 3.46}, {"DOP_D", 12.25}});
  const QStringList lines = ReportLines(Planes::One, r, QLatin1Char(','), QLocale::c());
  QCOMPARE(lines.size(), 48);
  QCOMPARE(lines[30],
           QStringLiteral(
               "| 1.| Before balancing  |      3,5      |        |       0,0     |        |"));
  QVERIFY(lines[32].endsWith("|    0,0 |_______________|    12,2|"));
  QVERIFY(lines[11].endsWith(";\r"));
}

// Characters without a Windows-1251 byte become "?", and the operator is told once.
void TestBalRecords::reportReplacesUnencodable() {
  const TableRecord r =
      Make(TableKind::Arch2, {{"NAME", QString::fromUtf8("Fan 漢字 №")},
                              {"Place", QString::fromUtf8("Zone \U0001F600 ✓ €")}});
  QVERIFY(ReportRecord(Planes::Two, r));
  QCOMPARE(dialogs_.warnings, QStringList{kReportReplacedWarning});
  QCOMPARE(shell_.opened.size(), 1);
  const QList<QByteArray> lines = ReadBytes(dir_->filePath("Protokol.txt")).split('\n');
  QCOMPARE(lines.size(), 49);
  QCOMPARE(lines[1], QByteArray("\t\t\t\tbalancing  \"Fan ?? \xB9 \"\r"));
  QCOMPARE(lines[6], QByteArray("2. Place: Zone ? ? \x88 ;\r"));
}

// Long names, quotes and apostrophes go into the report as they are.
void TestBalRecords::reportKeepsLongTexts() {
  const QString name = QString(500, QChar(0x0416)) + QStringLiteral("\"'");
  const QString place = QStringLiteral("O'Neil \"North\" ") + QString(480, QLatin1Char('x'));
  const TableRecord r = Make(TableKind::Arch1, {{"NAME", name}, {"Place", place}, {"VO1", 1234.5}});
  const EncodedText text = EncodeLines(ReportLines(Planes::One, r, QLatin1Char('.'), QLocale::c()));
  QVERIFY(!text.replaced);
  const QList<QByteArray> lines = text.bytes.split('\n');
  QCOMPARE(lines[1], "\t\t\t\tbalancing  \"" + QByteArray(500, '\xC6') + "\"' \"\r");
  QCOMPARE(lines[6], "2. Place: " + place.toLatin1() + " ;\r");
  QCOMPARE(lines[30].size(), 76);  // 75 characters and the CR: 1234.5 fills its six places
}

void TestBalRecords::reportOpenFails_data() {
  QTest::addColumn<Planes>("planes");
  QTest::addColumn<QString>("warning");
  QTest::newRow("single") << Planes::One << "Requested document not found";
  QTest::newRow("two") << Planes::Two << "Requested document was not found";
}

void TestBalRecords::reportOpenFails() {
  QFETCH(Planes, planes);
  QFETCH(QString, warning);
  shell_.answer = false;
  QVERIFY(!ReportRecord(planes, TableRecord(ArchiveTableOf(planes))));
  QCOMPARE(dialogs_.warnings, QStringList{warning});
  QVERIFY(QFile::exists(dir_->filePath("Protokol.txt")));
}

// A report that cannot be written is not half written, and is not opened.
void TestBalRecords::reportNotWritten() {
  QVERIFY(QDir(dir_->path()).mkdir("Protokol.txt"));
  QVERIFY(!ReportRecord(Planes::One, TableRecord(TableKind::Arch1)));
  QCOMPARE(dialogs_.warnings.size(), 1);
  QVERIFY2(dialogs_.warnings[0].contains(QDir::toNativeSeparators(dir_->filePath("Protokol.txt"))),
           qPrintable(dialogs_.warnings[0]));
  QVERIFY(shell_.opened.isEmpty());
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
           QStringList{"Protokol.txt"});
}

QTEST_GUILESS_MAIN(TestBalRecords)
#include "test_balrecords.moc"
