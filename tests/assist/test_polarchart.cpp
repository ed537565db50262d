#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "charts/PolarChart.h"
#include "platform/DecimalSeparator.h"

using namespace vintor;

namespace {

// A two-plane job on six blades: every kind of item the chart draws.
PolarChannel Job() {
  PolarJob job;
  job.twoPlanes = true;
  job.run0 = RunVectors{{4.5, 60}, {2.8, 210}};
  job.run1 = RunVectors{{6.1, 35}, {3.0, 190}};
  job.run2 = RunVectors{{4.9, 80}, {4.4, 250}};
  job.checkRuns = {RunVectors{{0.6, 140}, {0.4, 20}}};
  job.plane1 = PolarCorrection{12.3, true, 110};
  job.plane2 = PolarCorrection{6.5, true, 290};
  job.bladeCount = 6;
  return BuildPolarDiagram(job).channels[0];
}

int NonWhite(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != qRgb(255, 255, 255);
  return n;
}

}  // namespace

class TestPolarChart : public QObject {
  Q_OBJECT
 private slots:
  void init() { SetDecimalSeparatorOverride(QLatin1Char('.')); }
  void cleanup() { SetDecimalSeparatorOverride(QChar()); }

  void rings_data();
  void rings();
  void drawsAndSavesJpeg();
};

// Two to five rings of 1, 2, 2.5 or 5 times a power of ten, the rim at or just past the reach.
void TestPolarChart::rings_data() {
  QTest::addColumn<double>("reach");
  QTest::addColumn<QList<double>>("rings");
  QTest::newRow("6.1") << 6.1 << QList<double>{2, 4, 6, 8};
  QTest::newRow("4.5") << 4.5 << QList<double>{2, 4, 6};
  QTest::newRow("10") << 10.0 << QList<double>{2.5, 5, 7.5, 10};
  QTest::newRow("0.3") << 0.3 << QList<double>{0.1, 0.2, 0.3};
  QTest::newRow("nothing") << 0.0 << QList<double>{0.5, 1};
}

void TestPolarChart::rings() {
  QFETCH(double, reach);
  QFETCH(QList<double>, rings);
  PolarChart chart;
  PolarChannel c;
  c.items.push_back(PolarItem{PolarKind::Run, "Run#0", reach, 10.0, 0.0, 0.0, {}});
  chart.SetChannel(c);
  const std::vector<double> got = chart.RingValues();
  QCOMPARE(got.size(), size_t(rings.size()));
  for (size_t k = 0; k < got.size(); ++k) QVERIFY(std::fabs(got[k] - rings[qsizetype(k)]) < 1e-12);
}

void TestPolarChart::drawsAndSavesJpeg() {
  PolarChart chart;
  chart.SetChannel(Job());
  QCOMPARE(chart.Channel().title, QStringLiteral("Channel 1"));
  chart.resize(300, 300);
  chart.show();
  QVERIFY(QTest::qWaitForWindowExposed(&chart));
  const QImage shown = chart.grab().toImage();
  QVERIFY(NonWhite(shown) > 3000);

  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("job_pl.jpg"));
  QVERIFY(chart.SaveJpeg(path));
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.read(2), QByteArray("\xFF\xD8", 2));
  f.close();
  const QImage back(path);
  QCOMPARE(back.size(), QSize(300, 300));

  QVERIFY(chart.SaveJpeg(path, QSize(600, 500)));
  QCOMPARE(QImage(path).size(), QSize(600, 500));
  QVERIFY(!chart.SaveJpeg(dir.filePath(QStringLiteral("no/such/dir/x_pl.jpg"))));

  // A two-plane job exports both channels side by side in one picture.
  PolarJob job;
  job.twoPlanes = true;
  job.run0 = RunVectors{{4.5, 60}, {2.8, 210}};
  const PolarDiagram d = BuildPolarDiagram(job);
  const QString both = dir.filePath(QStringLiteral("both_pl.jpg"));
  QVERIFY(PolarChart::SaveDiagramJpeg(d, both, 250));
  QCOMPARE(QImage(both).size(), QSize(500, 250));
  const QImage sheet = PolarChart::RenderDiagram(d, 250);
  QVERIFY(NonWhite(sheet.copy(0, 0, 250, 250)) > 1000);
  QVERIFY(NonWhite(sheet.copy(250, 0, 250, 250)) > 1000);

  // Cleared: the rings alone, far less ink than the job.
  chart.Clear();
  QVERIFY(chart.Channel().items.empty());
  QVERIFY(NonWhite(chart.Render(QSize(300, 300))) < NonWhite(shown));
}

QTEST_MAIN(TestPolarChart)
#include "test_polarchart.moc"
