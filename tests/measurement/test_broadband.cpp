// The broadband recording as Output.txt: running-peak marks, means, the file format, reading it
// back, the cache and the 16-line groups of the chart.
#include <QTemporaryDir>
#include <QtTest>

#include "measurement/Broadband.h"
#include "measurement/MeasState.h"
#include "measurement/RawRecording.h"
#include "platform/TextFile.h"
#include "tests/measurement/SynthRecording.h"

using namespace vintor;

namespace {

// Frames with the given channel-1 codes and tachometer codes (channel 2 = -channel 1).
std::vector<int16_t> Frames(const std::vector<int>& ch1, const std::vector<int>& tacho) {
  std::vector<int16_t> s(ch1.size() * 4, 0);
  for (size_t k = 0; k < ch1.size(); ++k) {
    s[k * 4] = static_cast<int16_t>(ch1[k]);
    s[k * 4 + 1] = static_cast<int16_t>(-ch1[k]);
    s[k * 4 + 2] = static_cast<int16_t>(tacho[k]);
  }
  return s;
}

std::vector<OutputLine> Ramp(int n) {
  std::vector<OutputLine> lines(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) lines[static_cast<size_t>(i)] = {i, -i, i % 100 == 0 ? 7 : 0};
  return lines;
}

}  // namespace

class TestBroadband : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void marksFollowTheArmingRule_data();
  void marksFollowTheArmingRule();
  void meansRoundHalvesToEven_data();
  void meansRoundHalvesToEven();
  void fileFormatAndReadBack();
  void junkLinesAreRefused_data();
  void junkLinesAreRefused();
  void groupsBetweenLimits_data();
  void groupsBetweenLimits();
  void groupAveragesRoundHalvesToEven();
  void cacheReadsAgainOnlyWhenTheFileChanged();

 private:
  QTemporaryDir dir_;
};

void TestBroadband::init() {
  ResetProgramState();
  Paths().WorkDir = dir_.path();
  Paths().TestDatPath = dir_.filePath("Test.dat");
}

void TestBroadband::marksFollowTheArmingRule_data() {
  QTest::addColumn<std::vector<int>>("ch1");
  QTest::addColumn<std::vector<int>>("tacho");
  QTest::addColumn<std::vector<int>>("marks");
  // The mark is the running peak of |x1|, |x2| so far, at the first frame above 99.
  QTest::newRow("rise from 40 to 120 and stay")
      << std::vector<int>{5, -9, 3, 2, 11} << std::vector<int>{40, 120, 120, 120, 120}
      << std::vector<int>{0, 9, 0, 0, 0};
  QTest::newRow("hovering between 60 and 120 never re-arms")
      << std::vector<int>{1, 2, 3, 4, 5, 6} << std::vector<int>{0, 120, 60, 120, 60, 120}
      << std::vector<int>{0, 2, 0, 0, 0, 0};
  QTest::newRow("below 50 re-arms")
      << std::vector<int>{1, 2, 3, 4, 5, 6} << std::vector<int>{0, 100, 49, 100, 99, 100}
      << std::vector<int>{0, 2, 0, 4, 0, 0};
  QTest::newRow("99 is not a pulse, a first frame at 100 is")
      << std::vector<int>{3, 1, 1} << std::vector<int>{100, 99, 99} << std::vector<int>{3, 0, 0};
}

void TestBroadband::marksFollowTheArmingRule() {
  QFETCH(std::vector<int>, ch1);
  QFETCH(std::vector<int>, tacho);
  QFETCH(std::vector<int>, marks);
  const std::vector<int16_t> s = Frames(ch1, tacho);
  const auto lines = BroadbandLines(s.data(), static_cast<int64_t>(ch1.size()), {0, 0});
  QCOMPARE(lines.size(), ch1.size());
  std::vector<int> got;
  for (const OutputLine& l : lines) got.push_back(l.c3);
  QCOMPARE(got, marks);
  QCOMPARE(lines[1].c2, -ch1[1]);
}

void TestBroadband::meansRoundHalvesToEven_data() {
  QTest::addColumn<std::vector<int>>("ch1");
  QTest::addColumn<int>("mean1");
  QTest::newRow("1.5 -> 2") << std::vector<int>{1, 2} << 2;
  QTest::newRow("2.5 -> 2") << std::vector<int>{2, 3} << 2;
  QTest::newRow("-2.5 -> -2") << std::vector<int>{-2, -3} << -2;
  QTest::newRow("2.25 -> 2") << std::vector<int>{2, 2, 2, 3} << 2;
}

void TestBroadband::meansRoundHalvesToEven() {
  QFETCH(std::vector<int>, ch1);
  QFETCH(int, mean1);
  QVERIFY(test::WriteRaw(Paths().TestDatPath, Frames(ch1, std::vector<int>(ch1.size(), 0))));
  const auto lines = RunBroadbandOutput();
  QCOMPARE(Meas().AdcMean1, mean1);
  QCOMPARE(Meas().AdcMean2, -mean1);
  QCOMPARE(lines.size(), ch1.size());
  QCOMPARE(lines[0].c1, ch1[0] - mean1);
  QCOMPARE(ReadOutputFile(dir_.filePath("Output.txt")).size(), ch1.size());
}

void TestBroadband::fileFormatAndReadBack() {
  const std::vector<OutputLine> lines{{-3, 5, 0}, {0, -2147483647 - 1, 2147483647}, {12, 0, 7}};
  const QString path = dir_.filePath("Output.txt");
  WriteOutputFile(path, lines);
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), QByteArray("-3\t5\t0\r\n0\t-2147483648\t2147483647\r\n12\t0\t7\r\n"));
  const auto back = ReadOutputFile(path);
  QCOMPARE(back.size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    QCOMPARE(back[i].c1, lines[i].c1);
    QCOMPARE(back[i].c2, lines[i].c2);
    QCOMPARE(back[i].c3, lines[i].c3);
  }
  // The cycle's averaged revolution (LF-only or blank-padded lines read the same way).
  const auto cycle = ParseOutputFile("4\t-1\t0\n\n 5 \t6\t0\r\n", "x");
  QCOMPARE(cycle.size(), size_t{2});
  QCOMPARE(cycle[1].c1, 5);
  QVERIFY(ParseOutputFile(QByteArray(), "x").empty());
}

void TestBroadband::junkLinesAreRefused_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("two fields") << QByteArray("1\t2\t0\r\n3\t4\r\n");
  QTest::newRow("not a number") << QByteArray("1\t2\t0\r\n3\tx\t0\r\n");
  QTest::newRow("too large") << QByteArray("1\t2\t0\r\n3\t4\t99999999999\r\n");
  QTest::newRow("decimal") << QByteArray("1\t2\t0\r\n3,5\t4\t0\r\n");
}

void TestBroadband::junkLinesAreRefused() {
  QFETCH(QByteArray, bytes);
  try {
    ParseOutputFile(bytes, "Output.txt");
    QFAIL("no error");
  } catch (const MeasError& e) {
    QVERIFY2(QString::fromUtf8(e.what()).contains("line 2"), e.what());
  }
}

void TestBroadband::groupsBetweenLimits_data() {
  QTest::addColumn<int>("lines");
  QTest::addColumn<int>("begin");
  QTest::addColumn<int>("end");
  QTest::addColumn<int>("count");
  QTest::addColumn<int>("first");
  QTest::addColumn<int>("last");
  // Duration 2: End at nearest(65536 / 10) = 6554 and Begin at 1.
  QTest::newRow("first tenth of 2 s") << 65536 << 1 << 6554 << 409 << 16 << 6544;
  QTest::newRow("begin 100 end 200") << 65536 << 100 << 200 << 6 << 112 << 192;
  QTest::newRow("end on a group start") << 65536 << 16 << 64 << 3 << 16 << 48;
  QTest::newRow("full range") << 655360 << 1 << 655360 << 40959 << 16 << 655344;
  QTest::newRow("incomplete last group") << 100 << 1 << 100 << 5 << 16 << 80;
  QTest::newRow("end before begin") << 65536 << 500 << 400 << 0 << 0 << 0;
  QTest::newRow("empty file") << 0 << 1 << 6554 << 0 << 0 << 0;
}

void TestBroadband::groupsBetweenLimits() {
  QFETCH(int, lines);
  QFETCH(int, begin);
  QFETCH(int, end);
  QFETCH(int, count);
  QFETCH(int, first);
  QFETCH(int, last);
  const auto groups = GroupAverages(Ramp(lines), begin, end);
  QCOMPARE(static_cast<int>(groups.size()), count);
  if (count == 0) return;
  QCOMPARE(groups.front().frame, first);
  QCOMPARE(groups.back().frame, last);
  // Lines 16g .. 16g+15 of the ramp average to 16g + 7.5, which rounds to the even neighbour.
  const int64_t g = first;
  QCOMPARE(groups.front().a1, static_cast<int32_t>((g + 7) % 2 == 0 ? g + 7 : g + 8));
  QCOMPARE(groups.front().a2, -groups.front().a1);
}

void TestBroadband::groupAveragesRoundHalvesToEven() {
  std::vector<OutputLine> lines(32);
  lines[0] = {8, -8, 5};    // 0.5 -> 0, -0.5 -> 0
  lines[16] = {24, 40, 0};  // 1.5 -> 2, 2.5 -> 2
  lines[17] = {0, 0, 9};
  const auto groups = GroupAverages(lines, 0, 32);
  QCOMPARE(groups.size(), size_t{2});
  QCOMPARE(groups[0].a1, 0);
  QCOMPARE(groups[0].a2, 0);
  QCOMPARE(groups[0].s3, 5);  // summed, not averaged
  QCOMPARE(groups[1].a1, 2);
  QCOMPARE(groups[1].a2, 2);
  QCOMPARE(groups[1].s3, 9);
}

void TestBroadband::cacheReadsAgainOnlyWhenTheFileChanged() {
  const QString path = dir_.filePath("Output.txt");
  QFile::remove(path);
  OutputFileCache cache;
  QVERIFY(cache.Lines(path).empty());  // no file yet
  WriteOutputFile(path, Ramp(40));
  QCOMPARE(cache.Lines(path).size(), size_t{40});
  // Lines remembered after a write stand for the file until it changes on disk.
  cache.Remember(path, Ramp(41));
  QCOMPARE(cache.Lines(path).size(), size_t{41});
  // Another writer replaces the file (same size, other content), then a tab change empties it.
  std::vector<OutputLine> other = Ramp(40);
  other[3].c1 = 9;
  WriteOutputFile(path, other);
  QCOMPARE(cache.Lines(path).size(), size_t{40});
  QCOMPARE(cache.Lines(path)[3].c1, 9);
  QVERIFY(ReplaceFile(path, QByteArray()));
  QVERIFY(cache.Lines(path).empty());
  QFile::remove(path);
  QVERIFY(cache.Lines(path).empty());
}

QTEST_MAIN(TestBroadband)
#include "test_broadband.moc"
