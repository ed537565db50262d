#include <QTemporaryDir>
#include <QtTest>

#include "platform/Cp1251.h"
#include "platform/TextFile.h"

using namespace vintor;

class TestTextFile : public QObject {
  Q_OBJECT
 private slots:
  void cyrillicIsSingleByteWithCrLf();
  void unencodableTextFailsWithoutTouchingFile();
  void decodeRoundTrip();
  void missingDirectoryFails();
  void workingFilesReplaceWhole();
};

static QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestTextFile::cyrillicIsSingleByteWithCrLf() {
  QTemporaryDir dir;
  const QString path = dir.filePath("Output.txt");
  QVERIFY(WriteTextLines(path, {QString::fromUtf8("Время=1"), "a\tb"}));
  QCOMPARE(ReadAll(path), QByteArray("\xC2\xF0\xE5\xEC\xFF=1\r\na\tb\r\n"));
}

void TestTextFile::unencodableTextFailsWithoutTouchingFile() {
  QTemporaryDir dir;
  const QString path = dir.filePath("x.txt");
  QVERIFY(WriteTextLines(path, {"old"}));
  QString error;
  QVERIFY(!WriteTextLines(path, {QString::fromUtf8("日本")}, &error));
  QVERIFY(!error.isEmpty());
  QCOMPARE(ReadAll(path), QByteArray("old\r\n"));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"x.txt"});
}

void TestTextFile::decodeRoundTrip() {
  const QString text = QString::fromUtf8("\"Пристрелочний\" цикл - измерение №1");
  auto bytes = EncodeCp1251(text);
  QVERIFY(bytes.has_value());
  QCOMPARE(bytes->size(), text.size());
  QCOMPARE(DecodeCp1251(*bytes), text);
}

void TestTextFile::missingDirectoryFails() {
  QString error;
  QVERIFY(!ReplaceFile("/nonexistent-dir/x.txt", "abc", &error));
  QVERIFY(!error.isEmpty());
}

void TestTextFile::workingFilesReplaceWhole() {
  // Working files skip the wait for the disk, nothing else: whole replacement, the old file's
  // permissions, no temporary file left, the old file kept on failure.
  QTemporaryDir dir;
  const QString path = dir.filePath("Garmoniki.txt");
  QVERIFY(WriteTextLines(path, {"old", "lines"}));
  QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ReadGroup | QFileDevice::WriteGroup));
  QVERIFY(WriteTextLines(path, {QString::fromUtf8("0\t1,0000"), QString::fromUtf8("Гц")}, nullptr,
                         Flush::Working));
  QCOMPARE(ReadAll(path), QByteArray("0\t1,0000\r\n\xC3\xF6\r\n"));
  const auto rw = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                  QFileDevice::WriteGroup;
  QCOMPARE(QFile::permissions(path) & (rw | QFileDevice::ReadOther | QFileDevice::WriteOther), rw);
  QVERIFY(ReplaceFile(path, QByteArray(), nullptr, Flush::Working));
  QCOMPARE(ReadAll(path), QByteArray());
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Garmoniki.txt"});
  QString error;
  QVERIFY(!WriteTextLines(path, {QString::fromUtf8("日本")}, &error, Flush::Working));
  QVERIFY(!ReplaceFile("/nonexistent-dir/x.txt", "abc", &error, Flush::Working));
  QVERIFY(!error.isEmpty());
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Garmoniki.txt"});
}

QTEST_APPLESS_MAIN(TestTextFile)
#include "test_textfile.moc"
