#pragma once

// vintor-cli run as its own process, as a script would run it. The test names the program in
// VINTOR_CLI_PATH (vintor_add_qtest(... CLI)).

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace vintor::test {

struct CliRun {
  int exitCode = -1;  // -1: it crashed or had not ended in the time allowed
  QByteArray out;
  QByteArray err;
  QJsonObject json;  // the whole of stdout as one JSON object; empty when it is not one
};

// Runs vintor-cli with `args` in `dir` (empty: the test's current folder) and waits for it.
inline CliRun RunCli(const QStringList& args, const QString& dir = QString(),
                     int timeoutMs = 30000) {
  QProcess p;
  if (!dir.isEmpty()) p.setWorkingDirectory(dir);
  p.start(QStringLiteral(VINTOR_CLI_PATH), args);
  CliRun r;
  if (!p.waitForFinished(timeoutMs)) return r;
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput();
  r.err = p.readAllStandardError();
  r.json = QJsonDocument::fromJson(r.out).object();
  return r;
}

// Checks that `got` holds every member of `want`: numbers to `tolerance` relative, numbers in
// arrays to `tolerance` absolute, the rest exactly.
inline void CompareJsonSubset(const QJsonObject& got, const QJsonObject& want, double tolerance) {
  const QByteArray text = QJsonDocument(got).toJson(QJsonDocument::Compact);
  for (auto it = want.begin(); it != want.end(); ++it) {
    QVERIFY2(got.contains(it.key()), qPrintable(it.key() + " missing in " + text));
    const QJsonValue g = got.value(it.key());
    if (it.value().isDouble()) {
      const double w = it.value().toDouble();
      QVERIFY2(
          g.isDouble() && std::fabs(g.toDouble() - w) <= tolerance * std::max(1.0, std::fabs(w)),
          qPrintable(it.key() + " in " + text));
    } else if (it.value().isArray()) {
      const QJsonArray wa = it.value().toArray(), ga = g.toArray();
      QCOMPARE(ga.size(), wa.size());
      for (qsizetype k = 0; k < wa.size(); ++k)
        QVERIFY2(std::fabs(ga[k].toDouble() - wa[k].toDouble()) < tolerance || ga[k] == wa[k],
                 qPrintable(it.key() + " in " + text));
    } else {
      QVERIFY2(g == it.value(), qPrintable(it.key() + " in " + text));
    }
  }
}

}  // namespace vintor::test
