#include <QRegularExpression>
#include <QtTest>

#include "charts/SignalCharts.h"
#include "platform/DecimalSeparator.h"

using namespace vintor;

class TestCharts : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { SetDecimalSeparatorOverride(QChar()); }
  void valueAxisLabels_data();
  void valueAxisLabels();
  void frequencyLabelsFitTheWidth_data();
  void frequencyLabelsFitTheWidth();
};

void TestCharts::valueAxisLabels_data() {
  QTest::addColumn<double>("peak");
  QTest::addColumn<QString>("someLabel");
  // Large values once came out as "1.23e+03"; small ones need their decimals.
  QTest::newRow("large") << 1400.0 << "1000";
  QTest::newRow("small") << 0.012 << "0,005";
  QTest::newRow("medium") << 4.6 << "2";
}

void TestCharts::valueAxisLabels() {
  QFETCH(double, peak);
  QFETCH(QString, someLabel);
  SetDecimalSeparatorOverride(QChar(','));
  // At most three decimals, no trailing zeros, no exponent, the system separator.
  const QRegularExpression shape(QStringLiteral("^-?\\d+(,\\d{0,2}[1-9])?$"));
  SignalChart signal(QStringLiteral("signals"));
  signal.SetSignals({0.0, peak, -peak}, {0.0, peak / 2, 0.0}, 0.01);
  SpectrumChart spectrum(QStringLiteral("spectrum"), true);
  spectrum.SetSpectrum({0.0, peak}, {peak / 3, 0.0});
  for (const QStringList& labels : {signal.ValueAxisLabels(), spectrum.ValueAxisLabels()}) {
    QVERIFY(labels.size() >= 3);
    for (const QString& l : labels) QVERIFY2(shape.match(l).hasMatch(), qPrintable(l));
    QVERIFY2(labels.contains(someLabel), qPrintable(labels.join(' ')));
  }
}

void TestCharts::frequencyLabelsFitTheWidth_data() {
  QTest::addColumn<int>("width");
  QTest::addColumn<double>("hz");
  QTest::addColumn<double>("rpm");
  // The meter's wide chart keeps every 10 Hz and 600 rev/min; a narrow one labels fewer
  // rather than cutting every label down to "...".
  QTest::newRow("meter") << 760 << 10.0 << 600.0;
  QTest::newRow("run window column") << 345 << 20.0 << 2400.0;
  QTest::newRow("very narrow") << 200 << 64.0 << 3840.0;
}

void TestCharts::frequencyLabelsFitTheWidth() {
  QFETCH(int, width);
  QFETCH(double, hz);
  QFETCH(double, rpm);
  SpectrumChart chart(QStringLiteral("spectrum"), true);
  chart.resize(width, 280);
  chart.show();
  QVERIFY(QTest::qWaitForWindowExposed(&chart));
  QCOMPARE(chart.FrequencyStep(), hz);
  QCOMPARE(chart.RpmStep(), rpm);
}

QTEST_MAIN(TestCharts)
#include "test_charts.moc"
