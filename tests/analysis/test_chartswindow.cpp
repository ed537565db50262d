// The charts window on the simulated module at its fast pace: layout and keys, the four runs,
// their lists and diagram files, and the refusals.
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <functional>
#include <memory>

#include "acquisition/AdcAcquire.h"
#include "analysis/UnitIzm2.h"
#include "app/core/ProgramStart.h"
#include "charts/SignalCharts.h"
#include "kit/WindowObserver.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "platform/AdcLibrary.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "tests/support/TestFakes.h"
#include "tests/support/TestFiles.h"

using namespace vintor;

namespace {

// A message counts as a warning here: a run that should stay quiet shows neither.
class FakeDialogs final : public test::RecordingDialogs {
 public:
  int asked = 0;
  void Message(const QString& c, const QString& t) override { warnings << c + "|" + t; }
  QString AskSaveFileName() override {
    ++asked;
    return saveName;
  }
};

// The device log, and a hook that runs once while a recording waits for its blocks.
class Probe final : public MeasObserver {
 public:
  QStringList log;
  std::function<void()> duringRecording;
  void LogLine(const QString& line) override { log << line; }
  void GaugesStep() override {
    if (duringRecording) std::exchange(duringRecording, nullptr)();
  }
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QList<QByteArray> Lines(const QString& path) {
  QList<QByteArray> lines = ReadAll(path).split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  for (QByteArray& l : lines) l.chop(l.endsWith('\r') ? 1 : 0);
  return lines;
}

}  // namespace

class TestChartsWindow : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void showsTheWindowAsDescribed();
  void tabChangeAppliesLayoutAndEmpties_data();
  void tabChangeAppliesLayoutAndEmpties();
  void keysActOnlyWhereAndWhileTheyMay();
  void closingSetsTheRateBack();
  void cornerLabelsStayInPlace();
  void broadbandRunAndLimits();
  void broadbandRefusesBadDuration_data();
  void broadbandRefusesBadDuration();
  void rotationalRunShowsTheRevolution();
  void rotationalRunOverLimitAndWithoutTacho();
  void harmonicsListsAndBars_data();
  void harmonicsListsAndBars();
  void harmonicsRefusals();
  void failedRecordingLeavesResultsAlone_data();
  void failedRecordingLeavesResultsAlone();
  void spectrumLabelsPerBandwidth_data();
  void spectrumLabelsPerBandwidth();
  void spectrumRefusesEmptyBandwidth();
  void zeroSensitivityIsRefused_data();
  void zeroSensitivityIsRefused();
  void runsNeverNest();
  void savesTwoJpegDiagrams();
  void savesOneChartAndReportsFailures();

 private:
  void WriteSim(const QByteArray& extra = QByteArray());
  void Press(Qt::Key key) { QTest::keyClick(form_, key); }
  QString Path(const QString& name) const { return dir_->filePath(name); }
  void RunBroadband(const QString& duration);
  void RunHarmonics(const QString& revs);

  std::unique_ptr<test::CurrentTempDir> dir_;
  FormIzm2* form_ = nullptr;
  FakeDialogs dialogs_;
  test::RecordingShell shell_;
  SimAdcLibrary sim_;
  WindowObserver* observer_ = nullptr;
  Probe probe_;
  int abouts_ = 0;
  int attempts0_ = 0;
  // Module openings since the test began.
  int Attempts() const { return sim_.OpenAttempts() - attempts0_; }
};

void TestChartsWindow::WriteSim(const QByteArray& extra) {
  QFile f(Path("SimE154.cfg"));
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(
      "pace = 0\nrpm = 1500\nrpm_wander = 0\n"
      "ch1_1x = 4.5\nch1_2x = 0\nch1_3x = 0\nch1_noise = 0.05\n"
      "ch2_1x = 2.0\nch2_1x_phase = 200\nch2_2x = 0\nch2_3x = 0\nch2_noise = 0.05\n" +
      extra);
}

void TestChartsWindow::init() {
  ResetProgramState();
  ResetServices();
  BindCycleAcquisition([] { AdcAcquire(); });
  dialogs_ = FakeDialogs();
  shell_ = test::RecordingShell();
  Svc().dialogs = &dialogs_;
  Svc().shell = &shell_;
  SetDecimalSeparatorOverride(QChar(','));
  dir_ = std::make_unique<test::CurrentTempDir>();
  InitProgramPaths(dir_->path());
  Meas().AdcRate = 100.0;
  Settings() = SensorSettings{20, 20, 0, 0, 100};
  WriteSim();
  sim_.UseConfigFile();
  SetAdcLibrary(&sim_);
  attempts0_ = sim_.OpenAttempts();
  abouts_ = 0;
  Kit().showAbout = [this] { ++abouts_; };
  form_ = new FormIzm2;
  probe_ = Probe();
  observer_ = new WindowObserver;
  observer_->Add(&probe_);
  observer_->Add(form_);
  SetObserver(observer_);
  form_->ShowModeless();
  QVERIFY(QTest::qWaitForWindowActive(form_));
}

void TestChartsWindow::cleanup() {
  SetObserver(nullptr);
  delete observer_;
  delete form_;
  Kit().showAbout = nullptr;
  SetAdcLibrary(nullptr);
  dir_.reset();
  SetDecimalSeparatorOverride(QChar());
  ResetServices();
}

void TestChartsWindow::RunBroadband(const QString& duration) {
  form_->ComboBox1->setCurrentText(duration);
  Press(Qt::Key_F9);
}

void TestChartsWindow::RunHarmonics(const QString& revs) {
  Press(Qt::Key_F4);
  form_->ComboBox2->setCurrentText(revs);
  Press(Qt::Key_F9);
}

void TestChartsWindow::showsTheWindowAsDescribed() {
  QCOMPARE(form_->windowTitle(), QString("Charts - 2 channels "));
  QVERIFY(!form_->isModal());
  const QStringList tabs{"Broadband vibration", "Rotational frequency vibration",
                         "Harmonics (1\\rev)", "Spectrum (Hz)"};
  for (int i = 0; i < 4; ++i) QCOMPARE(form_->PageControl1->tabText(i), tabs[i]);
  QCOMPARE(form_->PageControl1->toolTip(),
           QString("Vibration on the rotation frequency (1x vibration)"));
  QCOMPARE(form_->Chart1->Title(), QString("Vibration  - channel 1 & 2 (mm/sec) "));
  QCOMPARE(form_->Chart1->ValueAxisTitle(), QString("mm/s"));
  QCOMPARE(form_->Chart1->CornerLabel()->text(), QString("# point"));
  const QStringList series1{"Ch1", "Ch2", "Rev mark", "Zero"};
  for (int i = 0; i < 4; ++i) QCOMPARE(form_->Chart1->SeriesName(i), series1[i]);
  QCOMPARE(form_->Chart1->SeriesColour(2), QColor(193, 192, 255));
  QCOMPARE(form_->Chart2->Title(), QString("Vibration spectrum  - channel 1 & 2 (mm/sec) "));
  QCOMPARE(form_->Chart2->ValueAxisTitle(), QString("mm/sec"));
  const QStringList series2{"Ch1", "Ch2", "Zero"};
  for (int i = 0; i < 3; ++i) QCOMPARE(form_->Chart2->SeriesName(i), series2[i]);
  QCOMPARE(form_->Chart2->SeriesColour(2), QColor(171, 205, 243));
  // Show: tab 0 with its layout, lists at their first items, nothing to save or list.
  QCOMPARE(form_->PageControl1->currentIndex(), 0);
  QCOMPARE(form_->PageControl1->height(), 73);
  QVERIFY(form_->Panel2->isVisible());
  QVERIFY(!form_->Panel2->isEnabled());
  QCOMPARE(form_->Panel2->height(), 60);
  QCOMPARE(form_->TrackBar1->width(), form_->Panel2->width() - 77);
  QCOMPARE(form_->TrackBar2->value(), 15000);
  QCOMPARE(form_->TrackBar1->maximum(), 25000);
  QCOMPARE(form_->ComboBox1->currentText(), QString("2"));
  QCOMPARE(form_->ComboBox2->currentText(), QString("1"));
  QCOMPARE(form_->ComboBox3->currentText(), QString("32"));
  QVERIFY(!form_->ComboBox3->isEnabled());
  QCOMPARE(form_->ComboBox4->currentText(), QString("64"));
  QCOMPARE(form_->ComboBox4->count(), 5);
  QVERIFY(!form_->Button13->isVisible());
  for (QPushButton* b : {form_->Button13, form_->Button12, form_->Button11, form_->Button10,
                         form_->Button3, form_->Button9})
    QVERIFY(!b->isEnabled());
  const QStringList captions{"F9 - Run", "F7 - Save Diagram", "F8 - List"};
  QCOMPARE(form_->Button8->text(), captions[0]);
  QCOMPARE(form_->Button10->text(), captions[1]);
  QCOMPARE(form_->Button9->text(), captions[2]);
  // A second showing resets what the first left.
  form_->ComboBox2->setCurrentText("8");
  Press(Qt::Key_F5);
  form_->hide();
  form_->ShowModeless();
  QCOMPARE(form_->PageControl1->currentIndex(), 0);
  QCOMPARE(form_->ComboBox2->currentText(), QString("1"));
  QCOMPARE(form_->Chart2Height(), 0);
}

void TestChartsWindow::tabChangeAppliesLayoutAndEmpties_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("tab");
  QTest::addColumn<int>("strip");
  QTest::addColumn<bool>("panel");
  QTest::addColumn<int>("chart2");
  QTest::addColumn<QString>("label8");
  QTest::newRow("F2") << int(Qt::Key_F2) << 0 << 73 << true << 0 << "x.z.";
  QTest::newRow("F3") << int(Qt::Key_F3) << 1 << 83 << false << 0 << "x.z.";
  QTest::newRow("F4") << int(Qt::Key_F4) << 2 << 73 << false << 200 << "# Harmonic";
  QTest::newRow("F5") << int(Qt::Key_F5) << 3 << 73 << false << 200 << "Freq, Hz";
}

void TestChartsWindow::tabChangeAppliesLayoutAndEmpties() {
  QFETCH(int, key);
  QFETCH(int, tab);
  QFETCH(int, strip);
  QFETCH(bool, panel);
  QFETCH(int, chart2);
  QFETCH(QString, label8);
  // Start from another tab with results on show.
  const int from = tab == 1 ? 2 : 1;
  form_->PageControl1->setCurrentIndex(from);
  form_->Chart1->SetSignals({1, 2, 3}, {3, 2, 1}, 0.1);
  form_->Chart2->SetBars({"0", "1"}, {1, 2}, {2, 1});
  form_->LabelV11->setText("V1o= 4,50 mm/sec");
  form_->Button11->setEnabled(true);
  form_->Button3->setEnabled(true);
  form_->Button10->setEnabled(true);
  form_->Button9->setEnabled(true);
  form_->Button12->setEnabled(true);
  form_->Panel2->setEnabled(true);
  QFile out(Path("Output.txt"));
  QVERIFY(out.open(QIODevice::WriteOnly));
  out.write("1\t2\t0\r\n");
  out.close();

  Press(Qt::Key(key));
  QCOMPARE(form_->PageControl1->currentIndex(), tab);
  QCOMPARE(form_->PageControl1->height(), strip);
  QCOMPARE(form_->Panel2->isVisible(), panel);
  QVERIFY(!form_->Panel2->isEnabled());
  QCOMPARE(form_->Chart2Height(), chart2);
  QCOMPARE(form_->Chart2->height(), chart2);
  QCOMPARE(form_->Splitter1->isVisible(), chart2 > 0);
  QCOMPARE(form_->Label8->text(), label8);
  QCOMPARE(ReadAll(Path("Output.txt")), QByteArray());
  QCOMPARE(form_->Chart1->PointCount(), 0);
  QCOMPARE(form_->Chart2->BarCount(), 0);
  QCOMPARE(form_->LabelV11->text(), QString("V1o= n.d."));
  QCOMPARE(form_->LabelN1->text(), QString("Nrev= n.d."));
  QCOMPARE(QApplication::focusWidget(),
           static_cast<QWidget*>(QList<QPushButton*>{form_->Button1, form_->Button2, form_->Button5,
                                                     form_->Button8}[tab]));
  // The new tab's save and list buttons are off; the others keep their state.
  const QList<QList<QPushButton*>> own{{form_->Button13},
                                       {form_->Button12},
                                       {form_->Button11, form_->Button3},
                                       {form_->Button10, form_->Button9}};
  for (int t = 0; t < 4; ++t)
    for (QPushButton* b : own[t])
      if (t == tab)
        QVERIFY(!b->isEnabled());
      else if (t != 0)
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
  // Choosing the tab already active changes nothing.
  Press(Qt::Key(key));
  QVERIFY(!QFile::exists(Path("Output.txt")) || ReadAll(Path("Output.txt")).isEmpty());
}

void TestChartsWindow::keysActOnlyWhereAndWhileTheyMay() {
  // F1: About.
  Press(Qt::Key_F1);
  QCOMPARE(abouts_, 1);
  // F8 opens the list only on the spectrum tab, and only while its button is enabled.
  Press(Qt::Key_F4);
  form_->Button3->setEnabled(true);
  Press(Qt::Key_F8);
  QVERIFY(shell_.opened.isEmpty());
  Press(Qt::Key_F5);
  Press(Qt::Key_F8);
  QVERIFY(shell_.opened.isEmpty());
  form_->Button9->setEnabled(true);
  shell_.answer = false;
  Press(Qt::Key_F8);
  QCOMPARE(shell_.opened, QStringList{Path("Garmoniki.txt")});
  QCOMPARE(dialogs_.warnings, QStringList{Path("Garmoniki.txt") + " file not found"});
  // The harmonics list by mouse.
  Press(Qt::Key_F4);
  form_->Button3->setEnabled(true);
  form_->Button3->click();
  QCOMPARE(shell_.opened.size(), 2);
  // F9 only while the run button is enabled; F6 and F7 do nothing.
  Press(Qt::Key_F2);
  form_->Button1->setEnabled(false);
  Press(Qt::Key_F9);
  Press(Qt::Key_F6);
  Press(Qt::Key_F7);
  QCOMPARE(Attempts(), 0);
  QVERIFY(!QFile::exists(Path("Test.dat")));
  QCOMPARE(form_->PageControl1->currentIndex(), 0);
  QVERIFY(form_->isVisible());
}

void TestChartsWindow::closingSetsTheRateBack() {
  Meas().AdcRate = 102.6;
  Press(Qt::Key_F10);
  QVERIFY(!form_->isVisible());
  QCOMPARE(Meas().AdcRate, 100.0);
  form_->ShowModeless();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
  Meas().AdcRate = 100.5;
  form_->close();  // the title-bar close
  QVERIFY(!form_->isVisible());
  QCOMPARE(Meas().AdcRate, 100.0);
}

void TestChartsWindow::cornerLabelsStayInPlace() {
  Press(Qt::Key_F4);
  for (QSize size : {QSize(956, 685), QSize(1100, 760), QSize(800, 600)}) {
    form_->resize(size);
    QApplication::processEvents();
    for (ChartWidget* chart : std::initializer_list<ChartWidget*>{form_->Chart1, form_->Chart2}) {
      const QLabel* corner = chart->CornerLabel();
      QCOMPARE(corner->pos(), QPoint(chart->width() - 77, chart->height() - 15));
    }
    QCOMPARE(form_->Chart2->height(), 200);
    QCOMPARE(form_->TrackBar2->width(), form_->Panel2->width() - 77);
  }
  // Dragging the splitter up by 50 pixels gives Chart2 50 more; the corner texts follow.
  const QPointF at(form_->Splitter1->width() / 2.0, 1);
  auto send = [&](QEvent::Type type, QPointF local, Qt::MouseButtons buttons) {
    QMouseEvent e(type, local, form_->Splitter1->mapToGlobal(local), Qt::LeftButton, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(form_->Splitter1, &e);
  };
  send(QEvent::MouseButtonPress, at, Qt::LeftButton);
  send(QEvent::MouseMove, at - QPointF(0, 50), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, at - QPointF(0, 50), Qt::NoButton);
  QCOMPARE(form_->Chart2->height(), 250);
  for (ChartWidget* chart : std::initializer_list<ChartWidget*>{form_->Chart1, form_->Chart2})
    QCOMPARE(chart->CornerLabel()->pos(), QPoint(chart->width() - 77, chart->height() - 15));
}

void TestChartsWindow::broadbandRunAndLimits() {
  RunBroadband("2");
  QVERIFY(dialogs_.errors.isEmpty());
  QCOMPARE(Meas().Dlit, int16_t{4});
  QCOMPARE(Meas().GainCode, int16_t{0});
  QCOMPARE(form_->Gauge1->maximum(), 4);
  // 2 x 2 blocks of 16384 frames: one line per frame.
  const QList<QByteArray> lines = Lines(Path("Output.txt"));
  QCOMPARE(lines.size(), 65536);
  QCOMPARE(ReadAll(Path("Output.txt")).count("\r\n"), 65536);
  QCOMPARE(form_->TrackBar1->maximum(), 65536);
  QCOMPARE(form_->TrackBar2->maximum(), 65536);
  QCOMPARE(form_->TrackBar2->value(), 6554);
  QCOMPARE(form_->TrackBar1->value(), 1);
  QVERIFY(form_->Panel2->isEnabled());
  QVERIFY(form_->Button13->isEnabled());
  QCOMPARE(form_->Chart1->PointCount(), 409);
  QCOMPARE(form_->Chart1->PointLabel(0), QString("16"));
  QCOMPARE(form_->Chart1->PointLabel(408), QString("6544"));

  // Points are group averages of the file, scaled at gain 0; marks sum the running peak.
  const double k = 5000.0 / (2047 * 20);
  auto column = [&](int line, int c) { return lines[line].split('\t')[c].toInt(); };
  int marks = 0;
  for (int i = 0; i < 409; ++i) {
    const int g = i + 1;
    int s1 = 0, s3 = 0;
    for (int l = 16 * g; l < 16 * g + 16; ++l) {
      s1 += column(l, 0);
      s3 += column(l, 2);
    }
    QCOMPARE(form_->Chart1->PointValue(0, i), k * std::nearbyint(s1 / 16.0));
    QCOMPARE(form_->Chart1->PointValue(2, i), k * s3);
    QCOMPARE(form_->Chart1->PointValue(3, i), 0.0);
    if (s3 > 0) ++marks;
  }
  // 1500 rev/min at 25 000 frames/s: a revolution every 1000 frames.
  QVERIFY2(marks >= 5 && marks <= 7, qPrintable(QString::number(marks)));
  QVERIFY(form_->Chart1->DrawnPointCount(0) > 0);

  form_->TrackBar1->setValue(100);
  form_->TrackBar2->setValue(200);
  QCOMPARE(form_->Chart1->PointCount(), 6);
  QCOMPARE(form_->Chart1->PointLabel(0), QString("112"));
  QCOMPARE(form_->Chart1->PointLabel(5), QString("192"));

  // A tab change empties Output.txt: moving a limit afterwards draws nothing.
  Press(Qt::Key_F3);
  Press(Qt::Key_F2);
  form_->TrackBar2->setValue(6000);
  QCOMPARE(form_->Chart1->PointCount(), 0);
  QVERIFY(dialogs_.errors.isEmpty());
  // Another program leaves something else there: said once per redraw, nothing drawn.
  QFile junk(Path("Output.txt"));
  QVERIFY(junk.open(QIODevice::WriteOnly));
  junk.write("1\t2\t0\r\nnot numbers\r\n");
  junk.close();
  form_->TrackBar2->setValue(6100);
  QCOMPARE(form_->Chart1->PointCount(), 0);
  QCOMPARE(dialogs_.errors.size(), 1);
  QVERIFY(dialogs_.errors[0].contains("line 2"));
}

void TestChartsWindow::broadbandRefusesBadDuration_data() {
  QTest::addColumn<QString>("text");
  QTest::newRow("n.d.") << "n.d.";
  QTest::newRow("zero") << "0";
  QTest::newRow("negative") << "-2";
  QTest::newRow("fraction") << "2,5";
  QTest::newRow("word") << "two";
  QTest::newRow("empty") << "";
  QTest::newRow("beyond the block count") << "16384";
}

void TestChartsWindow::broadbandRefusesBadDuration() {
  QFETCH(QString, text);
  RunBroadband(text);
  QCOMPARE(dialogs_.warnings, QStringList{"Set duration!!"});
  QCOMPARE(Attempts(), 0);
  QVERIFY(!QFile::exists(Path("Test.dat")));
  QVERIFY(form_->Button1->isEnabled());
}

void TestChartsWindow::rotationalRunShowsTheRevolution() {
  Press(Qt::Key_F3);
  Meas().NeedSighting = false;
  Press(Qt::Key_F9);
  QVERIFY(dialogs_.errors.isEmpty());
  QVERIFY(dialogs_.warnings.isEmpty());
  QVERIFY(probe_.log.contains(QString::fromUtf8("\"Пристрелочний\" цикл - измерение")));
  QCOMPARE(form_->LabelN1->text(), QString("Nrev= 1497 rpm"));
  QVERIFY2(form_->LabelV11->text().startsWith("V1o= 4,"), qPrintable(form_->LabelV11->text()));
  const QRegularExpression twoDecimals("^V[12][so]= \\d+,\\d\\d mm/sec$");
  for (QLabel* l : {form_->LabelS11, form_->LabelV11, form_->LabelS21, form_->LabelV21}) {
    QVERIFY2(twoDecimals.match(l->text()).hasMatch(), qPrintable(l->text()));
    QCOMPARE(l->palette().color(QPalette::Window), QColor(255, 255, 166));
  }
  QVERIFY(QRegularExpression("^F1= \\d+ degree$").match(form_->LabelF11->text()).hasMatch());
  // One point per sample of the averaged revolution, labelled with its angle.
  const QList<QByteArray> lines = Lines(Path("Output.txt"));
  QVERIFY(lines.size() >= 990 && lines.size() <= 1010);
  QCOMPARE(form_->Chart1->PointCount(), lines.size());
  QCOMPARE(form_->Chart1->PointLabel(0), QString("0"));
  const double step = 360.0 / Meas().RevPeriod;
  QCOMPARE(form_->Chart1->PointLabel(500), QString::number(std::lround(500 * step)));
  const double last = form_->Chart1->PointLabel(lines.size() - 1).toDouble();
  QVERIFY(last >= 355 && last <= 360);
  QCOMPARE(form_->Chart1->PointValue(1, 7), ChanScale(2) * lines[7].split('\t')[1].toInt());
  QCOMPARE(form_->Chart1->PointValue(2, 7), 0.0);
  QVERIFY(form_->Button12->isEnabled());
}

void TestChartsWindow::rotationalRunOverLimitAndWithoutTacho() {
  Settings().MaxV = 3;
  Press(Qt::Key_F3);
  Press(Qt::Key_F9);
  QCOMPARE(dialogs_.warnings,
           QStringList{"Vibration level is too high to measure! Place vibration sensors in other "
                       "place! "});
  const QColor red(255, 0, 0), yellow(255, 255, 166);
  QCOMPARE(form_->LabelV11->palette().color(QPalette::Window), red);
  QCOMPARE(form_->LabelS11->palette().color(QPalette::Window), red);
  QCOMPARE(form_->LabelV21->palette().color(QPalette::Window), yellow);
  QVERIFY(form_->Chart1->PointCount() > 0);

  // No tachometer: no speed, an empty chart and nothing to save.
  Press(Qt::Key_F2);
  Press(Qt::Key_F3);
  WriteSim("tacho_height = 0\n");
  Settings().MaxV = 100;
  Press(Qt::Key_F9);
  QCOMPARE(form_->LabelN1->text(), QString("Nrev= 0 rpm"));
  QCOMPARE(form_->LabelV11->text(), QString("V1o= 0,00 mm/sec"));
  QCOMPARE(form_->LabelV11->palette().color(QPalette::Window), yellow);
  QCOMPARE(form_->Chart1->PointCount(), 0);
  QVERIFY(!form_->Button12->isEnabled());
}

void TestChartsWindow::harmonicsListsAndBars_data() {
  QTest::addColumn<QString>("revs");
  QTest::addColumn<int>("N");
  QTest::addColumn<int>("dataLines");
  QTest::addColumn<QString>("lastLabel");
  // 3000 rev/min: 500 frames per revolution.
  QTest::newRow("R=1") << "1" << 256 << 33 << "32";
  QTest::newRow("R=2 alternates") << "2" << 512 << 65 << "32";
  QTest::newRow("R=8 stops after bin 128") << "8" << 2048 << 129 << "16";
}

void TestChartsWindow::harmonicsListsAndBars() {
  QFETCH(QString, revs);
  QFETCH(int, N);
  QFETCH(int, dataLines);
  QFETCH(QString, lastLabel);
  WriteSim("rpm = 3000\n");
  RunHarmonics(revs);
  QVERIFY(dialogs_.warnings.isEmpty());
  QVERIFY(dialogs_.errors.isEmpty());
  const int R = revs.toInt();
  QCOMPARE(form_->HarmRevs(), R);
  // R revolutions and one frame, from the second pulse.
  const int j = static_cast<int>(Lines(Path("Output.txt")).size());
  QVERIFY2(std::abs(j - (500 * R + 1)) <= 2, qPrintable(QString::number(j)));
  QCOMPARE(form_->Chart1->PointCount(), N);
  QCOMPARE(form_->Chart1->PointLabel(N - 1), QString::number(N - 1));
  const QList<QByteArray> list = Lines(Path("Garmoniki.txt"));
  QCOMPARE(list.size(), dataLines + 1);
  QCOMPARE(list[0], QByteArray("Harmonic\tChan-1\tChan-2"));
  QCOMPARE(form_->Chart2->BarCount(), dataLines);
  for (int i = 0; i < dataLines; ++i) {
    const QList<QByteArray> f = list[i + 1].split('\t');
    QCOMPARE(f.size(), 3);
    const QString expected = i % R == 0 ? QString::number(i / R) : QString(".");
    QCOMPARE(QString(f[0]), expected);
    QCOMPARE(form_->Chart2->BarLabel(i), expected);
    QVERIFY(QRegularExpression("^\\d+,\\d{4}$").match(QString(f[1])).hasMatch());
    // The bars are H, the list H / 1.41421.
    const double listed = QString(f[1]).replace(',', '.').toDouble();
    QVERIFY(std::abs(form_->Chart2->BarValue(0, i) / 1.41421 - listed) < 6e-5);
  }
  QCOMPARE(QString(list.last().split('\t')[0]), lastLabel);
  // The 1x bar: 4.5 mm/s RMS for channel 1 (the simulated rotor's true 1x RMS).
  QVERIFY2(std::abs(form_->Chart2->BarValue(0, R) - 4.5) < 0.25,
           qPrintable(QString::number(form_->Chart2->BarValue(0, R))));
  // The axis shows as many whole orders as fit, never the "." of the bins between them.
  const QStringList shown = form_->Chart2->BottomAxisLabels();
  QVERIFY(shown.size() >= 5);
  QCOMPARE(shown.first(), QString("0"));
  for (const QString& l : shown)
    QVERIFY2(QRegularExpression("^\\d+$").match(l).hasMatch(), qPrintable(l));
  QVERIFY(form_->Button3->isEnabled());
  QVERIFY(form_->Button11->isEnabled());
  QVERIFY(form_->ComboBox2->isEnabled());
  QCOMPARE(form_->ComboBox3->currentText(), QString("32"));
  QCOMPARE(form_->ComboBox3->itemText(form_->ComboBox3->count() - 1),
           QString::number(std::max(32, N / 2)));
}

void TestChartsWindow::harmonicsRefusals() {
  // Revolution text.
  Press(Qt::Key_F4);
  for (const char* text : {"n.d.", "0", "1.5", "x"}) {
    form_->ComboBox2->setCurrentText(text);
    Press(Qt::Key_F9);
  }
  QCOMPARE(dialogs_.warnings, QStringList(4, "Set duration!!!"));
  QCOMPARE(Attempts(), 0);
  // No speed: out of range, nothing extracted.
  dialogs_.warnings.clear();
  WriteSim("tacho_height = 0\n");
  QFile list(Path("Garmoniki.txt"));
  QVERIFY(list.open(QIODevice::WriteOnly));
  list.write("old\r\n");
  list.close();
  form_->ComboBox2->setCurrentText("1");
  Press(Qt::Key_F9);
  QCOMPARE(dialogs_.warnings, QStringList{"Rotor speed is out of range!!! (200-30000 RPM)"});
  QCOMPARE(ReadAll(Path("Garmoniki.txt")), QByteArray("old\r\n"));
  QVERIFY(!form_->Button3->isEnabled());
}

void TestChartsWindow::failedRecordingLeavesResultsAlone_data() {
  QTest::addColumn<int>("tab");
  QTest::newRow("harmonics") << 2;
  QTest::newRow("spectrum") << 3;
}

void TestChartsWindow::failedRecordingLeavesResultsAlone() {
  QFETCH(int, tab);
  WriteSim("rpm = 3000\n");
  form_->PageControl1->setCurrentIndex(tab);
  Press(Qt::Key_F9);
  QVERIFY(dialogs_.errors.isEmpty());
  const QByteArray list = ReadAll(Path("Garmoniki.txt"));
  const int bars = form_->Chart2->BarCount();
  const double bar = form_->Chart2->BarValue(0, 2);
  const int points = form_->Chart1->PointCount();
  QVERIFY(bars > 0 && points > 0);

  // The module is gone: the old recording must not come back as a new result.
  WriteSim("module_slot = 127\n");
  dialogs_.warnings.clear();
  probe_.log.clear();
  Meas().AdcRate = 100.0;
  Press(Qt::Key_F9);
  QCOMPARE(Meas().AcqStatus, -1);
  QCOMPARE(ReadAll(Path("Garmoniki.txt")), list);
  QCOMPARE(form_->Chart2->BarCount(), bars);
  QCOMPARE(form_->Chart2->BarValue(0, 2), bar);
  QCOMPARE(form_->Chart1->PointCount(), points);
  QVERIFY2(probe_.log.filter("the recording failed or was stopped, nothing analysed").size() == 1,
           qPrintable(probe_.log.join('\n')));
  QCOMPARE(Meas().AdcRate, 100.0);
  QVERIFY(form_->PageControl1->widget(3)->isEnabled());
  QVERIFY(form_->ComboBox4->isEnabled());
  for (QPushButton* b : {form_->Button1, form_->Button2, form_->Button5, form_->Button8})
    QVERIFY(b->isEnabled());
}

void TestChartsWindow::spectrumLabelsPerBandwidth_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<double>("rate");
  QTest::addColumn<QString>("second");
  QTest::addColumn<QString>("last");
  QTest::newRow("64") << "64" << 100.5 << "0,5"
                      << "63,5";
  QTest::newRow("128") << "128" << 100.63 << "1"
                       << "127";
  QTest::newRow("640") << "640" << 102.7 << "5"
                       << "635";
}

void TestChartsWindow::spectrumLabelsPerBandwidth() {
  QFETCH(QString, item);
  QFETCH(double, rate);
  QFETCH(QString, second);
  QFETCH(QString, last);
  Press(Qt::Key_F5);
  form_->ComboBox4->setCurrentText(item);
  Press(Qt::Key_F9);
  QVERIFY(dialogs_.errors.isEmpty());
  // The module's clock comes as near the asked rate as its divider allows.
  QVERIFY2(std::abs(sim_.LastSetPars().AdcRate - rate) < 0.1,
           qPrintable(QString::number(sim_.LastSetPars().AdcRate)));
  QCOMPARE(Meas().AdcRate, 100.0);
  QCOMPARE(Meas().Dlit, int16_t{4});
  QCOMPARE(Meas().GainCode, int16_t{0});
  QCOMPARE(form_->Gauge1->maximum(), 4);
  QCOMPARE(QFileInfo(Path("Test.dat")).size(), 4 * 131072);
  const QList<QByteArray> list = Lines(Path("Garmoniki.txt"));
  QCOMPARE(list.size(), 128);
  QCOMPARE(QString(list[0].split('\t')[0]), QString("0"));
  QCOMPARE(QString(list[1].split('\t')[0]), second);
  QCOMPARE(QString(list[127].split('\t')[0]), last);
  QCOMPARE(form_->Chart2->BarCount(), 128);
  QCOMPARE(form_->Chart2->BarLabel(1), second);
  QCOMPARE(form_->Chart2->BarLabel(127), last);
  QCOMPARE(QString::number(form_->Chart2->BarValue(0, 5), 'f', 4).replace('.', ','),
           QString(list[5].split('\t')[1]));
  QCOMPARE(form_->Chart1->PointCount(), 512);
  QCOMPARE(form_->Chart1->PointLabel(3), QString());
  QVERIFY(form_->Button9->isEnabled());
  QVERIFY(form_->Button10->isEnabled());
  QVERIFY(form_->ComboBox2->isEnabled());
  QVERIFY(form_->ComboBox3->isEnabled());
  QVERIFY(form_->PageControl1->widget(3)->isEnabled());

  // Another bandwidth empties the charts and recomputes nothing.
  const QByteArray before = ReadAll(Path("Garmoniki.txt"));
  form_->ComboBox4->setCurrentIndex((form_->ComboBox4->currentIndex() + 1) % 4);
  QCOMPARE(form_->Chart1->PointCount(), 0);
  QCOMPARE(form_->Chart2->BarCount(), 0);
  QCOMPARE(ReadAll(Path("Garmoniki.txt")), before);
}

void TestChartsWindow::spectrumRefusesEmptyBandwidth() {
  Press(Qt::Key_F5);
  form_->ComboBox4->setCurrentIndex(4);
  QCOMPARE(form_->ComboBox4->currentText(), QString());
  Press(Qt::Key_F9);
  QCOMPARE(dialogs_.warnings, QStringList{"Set bandwidth!!"});
  QCOMPARE(Attempts(), 0);
  QCOMPARE(Meas().AdcRate, 100.0);
}

void TestChartsWindow::zeroSensitivityIsRefused_data() {
  QTest::addColumn<int>("tab");
  QTest::addColumn<int>("channel");
  for (int tab = 0; tab < 4; ++tab)
    for (int channel = 1; channel <= 2; ++channel)
      QTest::addRow("tab %d, channel %d", tab, channel) << tab << channel;
}

void TestChartsWindow::zeroSensitivityIsRefused() {
  QFETCH(int, tab);
  QFETCH(int, channel);
  (channel == 1 ? Settings().Kpr1 : Settings().Kpr2) = 0;
  form_->PageControl1->setCurrentIndex(tab);
  Press(Qt::Key_F9);
  QCOMPARE(dialogs_.warnings, QStringList{"Set proper coefficient!"});
  QCOMPARE(Attempts(), 0);
  QCOMPARE(Meas().AdcRate, 100.0);
}

void TestChartsWindow::runsNeverNest() {
  WriteSim("rpm = 3000\n");
  bool seen = false;
  probe_.duringRecording = [&] {
    seen = true;
    QVERIFY(form_->Running());
    for (QPushButton* b : {form_->Button1, form_->Button2, form_->Button5, form_->Button8})
      QVERIFY(!b->isEnabled());
    QVERIFY(!form_->PageControl1->tabBar()->isEnabled());
    // Neither another tab's run nor this one's starts meanwhile.
    Press(Qt::Key_F9);
    form_->Button5Click();
    form_->Button8Click();
    form_->Button2Click();
    Press(Qt::Key_F4);
    QCOMPARE(form_->PageControl1->currentIndex(), 0);
  };
  RunBroadband("2");
  QVERIFY(seen);
  QCOMPARE(Attempts(), 1);
  QVERIFY(!form_->Running());
  QVERIFY(form_->Button1->isEnabled());
  QVERIFY(form_->PageControl1->tabBar()->isEnabled());
  QCOMPARE(form_->Chart1->PointCount(), 409);
}

void TestChartsWindow::savesTwoJpegDiagrams() {
  WriteSim("rpm = 3000\n");
  RunHarmonics("2");
  QVERIFY(form_->Button11->isEnabled());
  const int area = form_->Chart1->height() + form_->Chart2->height();
  dialogs_.saveName = Path("pump");
  shell_.answer = false;
  QElapsedTimer timer;
  timer.start();
  form_->Button11->click();
  const QStringList files{Path("pump_tm.jpg"), Path("pump_gr.jpg")};
  QCOMPARE(shell_.opened, files);
  QVERIFY(timer.elapsed() >= 1000);  // the viewer gets its moment between the two
  QCOMPARE(dialogs_.warnings,
           QStringList({files[0] + " file not found", files[1] + " file not found"}));
  for (const QString& f : files) {
    QVERIFY(ReadAll(f).startsWith("\xFF\xD8"));
    QImageReader reader(f);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    // Each chart filled the chart area in turn.
    QVERIFY2(std::abs(reader.size().height() - area) <= 4,
             qPrintable(QString::number(reader.size().height())));
    QCOMPARE(reader.size().width(), form_->Chart1->width());
  }
  QCOMPARE(form_->Chart2->height(), 200);
  // Cancelling the dialog writes nothing.
  QFile::remove(files[0]);
  dialogs_.saveName.clear();
  form_->Button11->click();
  QVERIFY(!QFile::exists(files[0]));
}

void TestChartsWindow::savesOneChartAndReportsFailures() {
  Press(Qt::Key_F3);
  Press(Qt::Key_F9);
  QVERIFY(form_->Button12->isEnabled());
  dialogs_.saveName = Path("fan");
  form_->Button12->click();
  QCOMPARE(shell_.opened, QStringList{Path("fan_ob.jpg")});
  QVERIFY(ReadAll(Path("fan_ob.jpg")).startsWith("\xFF\xD8"));
  QVERIFY(dialogs_.warnings.isEmpty());
  // The broadband tab's hidden button.
  Press(Qt::Key_F2);
  RunBroadband("2");
  QVERIFY(form_->Button13->isEnabled());
  form_->Button13->click();
  QCOMPARE(shell_.opened.last(), Path("fan_sm.jpg"));
  QVERIFY(ReadAll(Path("fan_sm.jpg")).startsWith("\xFF\xD8"));
  // A picture that cannot be written is reported and not opened.
  shell_.opened.clear();
  dialogs_.saveName = Path("no/such/dir/fan");
  form_->Button13->click();
  QVERIFY(shell_.opened.isEmpty());
  QCOMPARE(dialogs_.errors.size(), 1);
  QVERIFY(dialogs_.errors[0].startsWith("Cannot write " + Path("no/such/dir/fan_sm.jpg")));
}

QTEST_MAIN(TestChartsWindow)
#include "test_chartswindow.moc"
