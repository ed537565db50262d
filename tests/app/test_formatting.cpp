#include <QtTest>

#include "base/Formatting.h"

using namespace vintor;

class TestFormatting : public QObject {
  Q_OBJECT
 private slots:
  void picture_data();
  void picture();
  void vibValue_data();
  void vibValue();
  void massValue_data();
  void massValue();
  void fixedWidth_data();
  void fixedWidth();
  void general_data();
  void general();
  void upToDecimals_data();
  void upToDecimals();
  void parse_data();
  void parse();
  void keyFilter_data();
  void keyFilter();
  void roundHalfEven();
};

// Expected texts use "." and are checked under both separators.
static void addSeparatorRows(const char* name, double x, int dec, const char* expect) {
  for (QChar sep : {QChar('.'), QChar(',')}) {
    QString e = QString::fromLatin1(expect);
    e.replace(QLatin1Char('.'), sep);
    QTest::addRow("%s %c", name, sep.toLatin1()) << x << dec << sep << e;
  }
}

void TestFormatting::picture_data() {
  QTest::addColumn<double>("x");
  QTest::addColumn<int>("decimals");
  QTest::addColumn<QChar>("sep");
  QTest::addColumn<QString>("expect");
  addSeparatorRows("half up", 2.5, 0, "3");
  addSeparatorRows("half away negative", -2.5, 0, "-3");
  addSeparatorRows("decimal half 2.675", 2.675, 2, "2.68");
  addSeparatorRows("decimal half 1.005", 1.005, 2, "1.01");
  addSeparatorRows("carry into new digit", 9.996, 2, "10.00");
  addSeparatorRows("small rounds to zero", 0.0004, 3, "0.000");
  addSeparatorRows("negative rounds to zero drops sign", -0.0004, 3, "0.000");
  addSeparatorRows("zero", 0.0, 1, "0.0");
  addSeparatorRows("large", 1234567.891, 1, "1234567.9");
  addSeparatorRows("below one half", 0.5, 0, "1");
  addSeparatorRows("tiny", 1e-20, 2, "0.00");
  addSeparatorRows("huge", 1e20, 0, "100000000000000000000");
}

void TestFormatting::picture() {
  QFETCH(double, x);
  QFETCH(int, decimals);
  QFETCH(QChar, sep);
  QFETCH(QString, expect);
  QCOMPARE(FormatPicture(x, decimals, sep), expect);
}

void TestFormatting::vibValue_data() {
  QTest::addColumn<double>("x");
  QTest::addColumn<int>("decimals");  // unused: keeps one row helper
  QTest::addColumn<QChar>("sep");
  QTest::addColumn<QString>("expect");
  addSeparatorRows("9.996 chooses range before rounding", 9.996, 0, "10.00");
  addSeparatorRows("10", 10.0, 0, "10.0");
  addSeparatorRows("0.9996", 0.9996, 0, "1.000");
  addSeparatorRows("1", 1.0, 0, "1.00");
  addSeparatorRows("negative", -3.2, 0, "-3.200");
  addSeparatorRows("12.34", 12.34, 0, "12.3");
}

void TestFormatting::vibValue() {
  QFETCH(double, x);
  QFETCH(QChar, sep);
  QFETCH(QString, expect);
  QCOMPARE(FormatVibValue(x, sep), expect);
}

void TestFormatting::massValue_data() {
  QTest::addColumn<double>("x");
  QTest::addColumn<int>("decimals");
  QTest::addColumn<QChar>("sep");
  QTest::addColumn<QString>("expect");
  addSeparatorRows("99.96", 99.96, 0, "100.0");
  addSeparatorRows("100", 100.0, 0, "100");
  addSeparatorRows("-5", -5.0, 0, "-5.000");
  addSeparatorRows("12.34", 12.34, 0, "12.3");
  addSeparatorRows("3.456", 3.456, 0, "3.46");
  addSeparatorRows("0.5774", 0.57735, 0, "0.577");
  addSeparatorRows("150.5", 150.5, 0, "151");
}

void TestFormatting::massValue() {
  QFETCH(double, x);
  QFETCH(QChar, sep);
  QFETCH(QString, expect);
  QCOMPARE(FormatMassValue(x, sep), expect);
}

void TestFormatting::fixedWidth_data() {
  QTest::addColumn<double>("x");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("precision");
  QTest::addColumn<QString>("expect");
  QTest::newRow("%5.3f") << 100.0 << 5 << 3 << "100.000";
  QTest::newRow("%2.4f") << 0.0 << 2 << 4 << "0.0000";
  QTest::newRow("%6.1f pads") << 3.14159 << 6 << 1 << "   3.1";
  QTest::newRow("%3u style") << 7.0 << 3 << 0 << "  7";
}

void TestFormatting::fixedWidth() {
  QFETCH(double, x);
  QFETCH(int, width);
  QFETCH(int, precision);
  QFETCH(QString, expect);
  QCOMPARE(FormatFixedWidth(x, width, precision, QChar('.')), expect);
  QString withComma = expect;
  withComma.replace(QLatin1Char('.'), QLatin1Char(','));
  QCOMPARE(FormatFixedWidth(x, width, precision, QChar(',')), withComma);
}

void TestFormatting::general_data() {
  QTest::addColumn<double>("x");
  QTest::addColumn<QString>("expect");
  QTest::newRow("whole") << 20.0 << "20";
  QTest::newRow("fraction") << 20.1 << "20.1";
  QTest::newRow("15 digits hide binary noise") << (0.1 + 0.2) << "0.3";
  QTest::newRow("zero") << 0.0 << "0";
  QTest::newRow("tiny exponent") << 0.00001 << "1E-5";
  QTest::newRow("adc rate") << 100.0 << "100";
}

void TestFormatting::general() {
  QFETCH(double, x);
  QFETCH(QString, expect);
  QCOMPARE(FormatGeneral(x, QChar('.')), expect);
  QString withComma = expect;
  withComma.replace(QLatin1Char('.'), QLatin1Char(','));
  QCOMPARE(FormatGeneral(x, QChar(',')), withComma);
}

void TestFormatting::upToDecimals_data() {
  QTest::addColumn<double>("x");
  QTest::addColumn<QString>("expect");
  // The value axes of the charts: "##0.###" / "0.###".
  QTest::newRow("large, no exponent") << 1234.0 << "1234";
  QTest::newRow("trailing zeros dropped") << 2.5 << "2.5";
  QTest::newRow("three decimals kept") << 0.125 << "0.125";
  QTest::newRow("fourth decimal rounded") << 0.0125 << "0.013";
  QTest::newRow("tiny noise is zero, unsigned") << -1e-17 << "0";
  QTest::newRow("negative") << -0.4 << "-0.4";
  QTest::newRow("zero") << 0.0 << "0";
}

void TestFormatting::upToDecimals() {
  QFETCH(double, x);
  QFETCH(QString, expect);
  QCOMPARE(FormatUpToDecimals(x, 3, QChar('.')), expect);
  QString withComma = expect;
  withComma.replace(QLatin1Char('.'), QLatin1Char(','));
  QCOMPARE(FormatUpToDecimals(x, 3, QChar(',')), withComma);
}

void TestFormatting::parse_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QChar>("sep");
  QTest::addColumn<bool>("ok");
  QTest::addColumn<double>("value");
  QTest::newRow("comma system") << "20,1" << QChar(',') << true << 20.1;
  QTest::newRow("point system") << "20.1" << QChar('.') << true << 20.1;
  QTest::newRow("point on comma system") << "20.1" << QChar(',') << false << 0.0;
  QTest::newRow("comma on point system") << "20,1" << QChar('.') << false << 0.0;
  QTest::newRow("junk after number") << "12abc" << QChar('.') << false << 0.0;
  QTest::newRow("blanks around") << "  7 " << QChar('.') << true << 7.0;
  QTest::newRow("negative") << "-3" << QChar('.') << true << -3.0;
  QTest::newRow("exponent") << "1e3" << QChar('.') << true << 1000.0;
  QTest::newRow("lonely separator") << "," << QChar(',') << false << 0.0;
  QTest::newRow("empty") << "" << QChar('.') << false << 0.0;
  QTest::newRow("overflow") << "1e999" << QChar('.') << false << 0.0;
  QTest::newRow("two separators") << "1,2,3" << QChar(',') << false << 0.0;
}

void TestFormatting::parse() {
  QFETCH(QString, text);
  QFETCH(QChar, sep);
  QFETCH(bool, ok);
  QFETCH(double, value);
  double v = -1;
  QCOMPARE(ParseNumber(text, &v, sep), ok);
  if (ok) QCOMPARE(v, value);
}

void TestFormatting::keyFilter_data() {
  QTest::addColumn<QChar>("key");
  QTest::addColumn<QChar>("sep");
  QTest::addColumn<QChar>("expect");
  for (QChar sep : {QChar(','), QChar('.')}) {
    const char s = sep.toLatin1();
    QTest::addRow("digit %c", s) << QChar('7') << sep << QChar('7');
    QTest::addRow("backspace %c", s) << QChar(8) << sep << QChar(8);
    QTest::addRow("point %c", s) << QChar('.') << sep << sep;
    QTest::addRow("comma %c", s) << QChar(',') << sep << sep;
    QTest::addRow("minus %c", s) << QChar('-') << sep << QChar(0);
    QTest::addRow("plus %c", s) << QChar('+') << sep << QChar(0);
    QTest::addRow("e %c", s) << QChar('e') << sep << QChar(0);
    QTest::addRow("space %c", s) << QChar(' ') << sep << QChar(0);
    QTest::addRow("cyrillic %c", s) << QChar(0x0431) << sep << QChar(0);
  }
}

void TestFormatting::keyFilter() {
  QFETCH(QChar, key);
  QFETCH(QChar, sep);
  QFETCH(QChar, expect);
  QCOMPARE(NumKeyFilter(key, sep), expect);
}

void TestFormatting::roundHalfEven() {
  QCOMPARE(RoundHalfEven(2.5), 2.0);
  QCOMPARE(RoundHalfEven(3.5), 4.0);
  QCOMPARE(RoundHalfEven(-89.5), -90.0);
  QCOMPARE(RoundHalfEven(499.6), 500.0);
}

QTEST_APPLESS_MAIN(TestFormatting)
#include "test_formatting.moc"
