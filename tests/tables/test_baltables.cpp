// Table files: shape, round trips, durability, and refusal to touch files that are damaged,
// locked, read-only or of an older shape; the grid model and the record navigator.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>

#include "TableTestUtil.h"
#include "balancing/core/BalTableModel.h"
#include "balancing/core/BalTables.h"
#include "platform/DecimalSeparator.h"

using namespace vintor;
using namespace tabletest;

Q_DECLARE_METATYPE(vintor::TableKind)

class TestBalTables : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void createsEachTable_data();
  void createsEachTable();
  void roundTrip();
  void fieldNamesIgnoreCase();
  void valuesIntact_data();
  void valuesIntact();
  void postIsOnDisk();
  void refusesBadFile_data();
  void refusesBadFile();
  void readOnlyFile();
  void lockedByAnotherWriter();
  void survivesKillAfterPost();
  void modelHoldsEveryRow();
  void modelEditsAsText();
  void navigator();

 private:
  QString Path(TableKind kind) const { return dir_->filePath(ShapeOf(kind).fileName); }
  std::unique_ptr<QTemporaryDir> dir_;
};

namespace {

TableRecord Kft2Record(double r11, const QString& name) {
  TableRecord r(TableKind::Kft2);
  r.Set(QStringLiteral("Name"), name);
  r.Set(QStringLiteral("R11"), r11);
  r.Set(QStringLiteral("r42"), -0.5);
  r.Set(QStringLiteral("L1"), 6.0);
  return r;
}

QStringList Columns(const QString& path, const QString& table) {
  QStringList names;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("cols"));
    db.setDatabaseName(path);
    db.open();
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    while (q.next()) names << q.value(1).toString() + QLatin1Char(' ') + q.value(2).toString();
    q.finish();
    db.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("cols"));
  return names;
}

}  // namespace

void TestBalTables::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  SetDecimalSeparatorOverride(QLatin1Char('.'));
}

void TestBalTables::cleanup() {
  SetDecimalSeparatorOverride(QChar());
  dir_.reset();
}

void TestBalTables::createsEachTable_data() {
  QTest::addColumn<TableKind>("kind");
  QTest::addColumn<QStringList>("columns");
  const QString key = QStringLiteral("Thr INTEGER");
  QTest::newRow("KftTable1") << TableKind::Kft1
                             << QStringList{key,       "Name TEXT", "L1 REAL", "M1 REAL",
                                            "D1 REAL", "R11 REAL",  "R12 REAL"};
  QTest::newRow("KftTable2") << TableKind::Kft2
                             << QStringList{key,        "Name TEXT", "L1 REAL",  "M1 REAL",
                                            "D1 REAL",  "M2 REAL",   "D2 REAL",  "R11 REAL",
                                            "R12 REAL", "R21 REAL",  "R22 REAL", "R31 REAL",
                                            "R32 REAL", "R41 REAL",  "R42 REAL"};
  QTest::newRow("ArchTable1") << TableKind::Arch1
                              << QStringList{key,        "NAME TEXT", "Date TEXT",  "Place TEXT",
                                             "VO1 REAL", "VO7 REAL",  "DOP_V REAL", "D1 REAL",
                                             "D7 REAL",  "DOP_D REAL"};
  QTest::newRow("ArchTable2") << TableKind::Arch2
                              << QStringList{key,          "NAME TEXT", "Date TEXT", "Place TEXT",
                                             "VO1 REAL",   "VO2 REAL",  "VO7 REAL",  "VO8 REAL",
                                             "DOP_V REAL", "D1 REAL",   "D2 REAL",   "D7 REAL",
                                             "D8 REAL",    "DOP_D REAL"};
}

void TestBalTables::createsEachTable() {
  QFETCH(TableKind, kind);
  QFETCH(QStringList, columns);
  {
    BalTable table(kind);
    QVERIFY2(table.Open(dir_->path()), qPrintable(table.ErrorText()));
    QCOMPARE(table.Count(), std::optional<int>(0));
    // An unwritten field is empty and reads 0.
    QCOMPARE(table.Insert(TableRecord(kind)), std::optional<int>(1));
    const auto back = table.Read(1);
    QVERIFY(back);
    for (const FieldDef& f : ShapeOf(kind).fields) {
      if (f.type == FieldType::Key) continue;
      QVERIFY(back->IsEmpty(f.name));
      QCOMPARE(back->Num(f.name), 0.0);
      QCOMPARE(back->Text(f.name), QString());
    }
  }
  QCOMPARE(Columns(Path(kind), ShapeOf(kind).tableName), columns);
  // One file at rest: no journal left beside it.
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{ShapeOf(kind).fileName});
}

void TestBalTables::roundTrip() {
  BalTable table(TableKind::Kft2);
  QVERIFY(table.Open(dir_->path()));
  QCOMPARE(table.Insert(Kft2Record(1.0, "first")), std::optional<int>(1));
  QCOMPARE(table.Insert(Kft2Record(2.0, "second")), std::optional<int>(2));
  QCOMPARE(table.Insert(Kft2Record(3.0, "third")), std::optional<int>(3));

  auto r2 = table.Read(2);
  QVERIFY(r2);
  QCOMPARE(r2->Number(), 2);
  QCOMPARE(r2->Text("name"), QStringLiteral("second"));
  QCOMPARE(r2->Num("R42"), -0.5);
  QCOMPARE(r2->Text("R42"), QStringLiteral("-0.5"));
  QCOMPARE(r2->Text("L1"), QStringLiteral("6"));
  QCOMPARE(r2->Num("Thr"), 2.0);

  r2->Set("M1", 12.5);
  r2->Clear("R42");
  QVERIFY(table.Update(2, *r2));
  QVERIFY(table.Remove(1));
  // Numbers are positions: the old record 2 is now record 1, its key stays.
  QCOMPARE(table.Count(), std::optional<int>(2));
  const auto list = table.List();
  QVERIFY(list);
  QCOMPARE(list->size(), size_t{2});
  QCOMPARE((*list)[0].Text("Name"), QStringLiteral("second"));
  QCOMPARE((*list)[0].Num("M1"), 12.5);
  QVERIFY((*list)[0].IsEmpty("R42"));
  QCOMPARE((*list)[0].Num("Thr"), 2.0);
  QCOMPARE((*list)[1].Number(), 2);
  // A deleted key is not given again.
  QCOMPARE(table.Insert(Kft2Record(4.0, "fourth")), std::optional<int>(3));
  QCOMPARE(table.Read(3)->Num("Thr"), 4.0);

  QVERIFY(!table.Read(4));
  QVERIFY(table.ErrorText().contains("there is no record 4"));
  QVERIFY(!table.Update(0, *r2));
  QVERIFY(!table.Remove(9));
  QCOMPARE(table.Count(), std::optional<int>(3));
}

// The file spells its fields in its own case; the program's names still find them.
void TestBalTables::fieldNamesIgnoreCase() {
  QCOMPARE(RunSql(Path(TableKind::Arch1),
                  {"CREATE TABLE archtable1 (thr INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
                   "date TEXT, place TEXT, Vo1 REAL, vo7 REAL, dop_v REAL, d1 REAL, d7 REAL, "
                   "dop_d REAL)",
                   "INSERT INTO archtable1 (name, vo1) VALUES ('old', 1.25)"}),
           QString());
  BalTable table(TableKind::Arch1);
  QVERIFY2(table.Open(dir_->path()), qPrintable(table.ErrorText()));
  TableRecord r(TableKind::Arch1);
  QVERIFY(r.Set("Date", "2024-01-02 03:04:05"));
  QVERIFY(r.Set("VO1", 3.5));
  QVERIFY(!r.Set("VO2", 1.0));  // not a single-plane field
  QCOMPARE(table.Insert(r), std::optional<int>(2));
  QCOMPARE(table.Read(1)->Text("NAME"), QStringLiteral("old"));
  QCOMPARE(table.Read(1)->Num("vo1"), 1.25);
  QCOMPARE(table.Read(2)->Text("DATE"), QStringLiteral("2024-01-02 03:04:05"));
  QCOMPARE(table.Read(2)->Num("Vo1"), 3.5);
  BalTableModel* model = table.Model();
  QVERIFY(model);
  QCOMPARE(model->ColumnOf("VO1"), 4);
  QCOMPARE(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Vo - initial"));
}

void TestBalTables::valuesIntact_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("value");
  QTest::newRow("quotes") << QStringLiteral("Fan \"3\" of \"\"B\"\"") << 1234.5;
  QTest::newRow("apostrophes") << QStringLiteral("O'Brien's rotor'; DROP TABLE x; --") << -0.412;
  QTest::newRow("cyrillic") << QStringLiteral("Вентилятор №3, цех «Б»") << 3.46;
  QTest::newRow("500 characters") << QString(500, QChar(0x0416)) + QStringLiteral("end") << 1e-9;
  QTest::newRow("emoji and tabs") << QStringLiteral("a\tb \U0001F600 c") << 123456789.125;
}

void TestBalTables::valuesIntact() {
  QFETCH(QString, text);
  QFETCH(double, value);
  {
    BalTable table(TableKind::Arch2);
    QVERIFY(table.Open(dir_->path()));
    TableRecord r(TableKind::Arch2);
    r.Set("NAME", text);
    r.Set("Place", text);
    r.Set("VO1", value);
    QCOMPARE(table.Insert(r), std::optional<int>(1));
  }
  BalTable again(TableKind::Arch2);
  QVERIFY(again.Open(dir_->path()));
  const auto r = again.Read(1);
  QVERIFY(r);
  QCOMPARE(r->Text("NAME"), text);
  QCOMPARE(r->Text("Place"), text);
  QCOMPARE(r->Num("VO1"), value);
  // The grid shows the same.
  BalTableModel* model = again.Model();
  QCOMPARE(model->data(model->index(0, model->ColumnOf("NAME"))).toString(), text);
}

// Each post is its own committed transaction, synced through the journal and the folder.
void TestBalTables::postIsOnDisk() {
  BalTable table(TableKind::Kft1);
  QVERIFY(table.Open(dir_->path()));
  QSqlQuery q(table.Database());
  QVERIFY(q.exec("PRAGMA journal_mode") && q.next());
  QCOMPARE(q.value(0).toString(), QStringLiteral("delete"));
  QVERIFY(q.exec("PRAGMA synchronous") && q.next());
  QCOMPARE(q.value(0).toInt(), 3);  // EXTRA
  q.finish();
  TableRecord r(TableKind::Kft1);
  r.Set("R11", 0.25);
  QCOMPARE(table.Insert(r), std::optional<int>(1));
  // Another connection sees it at once: nothing waits in a transaction.
  QCOMPARE(QueryOne(Path(TableKind::Kft1), "SELECT R11 FROM KftTable1").toDouble(), 0.25);
  QVERIFY(!QFile::exists(Path(TableKind::Kft1) + "-journal"));
}

void TestBalTables::refusesBadFile_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("random bytes") << RandomBytes(6000, 7)
                                << QStringList{"damaged or is not a table file"};

  // A real table whose first page, past the header, is overwritten.
  QTemporaryDir tmp;
  const QString good = tmp.filePath("KftTable2.db");
  RunSql(good, {"CREATE TABLE KftTable2 (Thr INTEGER PRIMARY KEY, Name TEXT)",
                "INSERT INTO KftTable2 (Name) VALUES ('x')"});
  QByteArray broken = ReadBytes(good);
  broken.replace(100, 1000, RandomBytes(1000, 11));
  QTest::newRow("damaged pages") << broken << QStringList{"damaged or is not a table file"};

  const QString old = tmp.filePath("old.db");
  RunSql(old, {"CREATE TABLE KftTable2 (Thr INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, "
               "L1 REAL, M1 REAL, D1 REAL, M2 REAL, D2 REAL, R11 REAL, R12 REAL, R21 REAL, "
               "R22 REAL, R31 REAL, R32 REAL)",
               "INSERT INTO KftTable2 (Name, R11) VALUES ('kept', 1.5)"});
  QTest::newRow("older shape") << ReadBytes(old)
                               << QStringList{"older shape", "R41, R42", "left as it is"};
}

void TestBalTables::refusesBadFile() {
  QFETCH(QByteArray, bytes);
  QFETCH(QStringList, expected);
  const QString path = Path(TableKind::Kft2);
  QVERIFY(WriteBytes(path, bytes));
  BalTable table(TableKind::Kft2);
  QVERIFY(!table.Open(dir_->path()));
  QVERIFY(!table.IsOpen());
  QVERIFY2(table.ErrorText().contains(QDir::toNativeSeparators(path)),
           qPrintable(table.ErrorText()));
  for (const QString& e : expected)
    QVERIFY2(table.ErrorText().contains(e), qPrintable(table.ErrorText()));
  QVERIFY(!table.Insert(TableRecord(TableKind::Kft2)));
  // Nothing overwritten, nothing added beside it.
  QCOMPARE(ReadBytes(path), bytes);
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"KftTable2.db"});
}

// Write permission off: browsing works, every write is refused with the reason.
void TestBalTables::readOnlyFile() {
  const QString path = Path(TableKind::Arch2);
  {
    BalTable table(TableKind::Arch2);
    QVERIFY(table.Open(dir_->path()));
    TableRecord r(TableKind::Arch2);
    r.Set("NAME", "kept");
    QVERIFY(table.Insert(r));
  }
  QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
  const QByteArray before = ReadBytes(path);

  BalTable table(TableKind::Arch2);
  QVERIFY2(table.Open(dir_->path()), qPrintable(table.ErrorText()));
  QVERIFY(table.ReadOnly());
  QCOMPARE(table.Count(), std::optional<int>(1));
  QCOMPARE(table.Read(1)->Text("NAME"), QStringLiteral("kept"));
  QVERIFY(!table.Insert(TableRecord(TableKind::Arch2)));
  QVERIFY2(table.ErrorText().contains(QDir::toNativeSeparators(path)) &&
               table.ErrorText().contains("read-only"),
           qPrintable(table.ErrorText()));
  QVERIFY(!table.Update(1, TableRecord(TableKind::Arch2)));
  QVERIFY(!table.Remove(1));

  BalTableModel* model = table.Model();
  QVERIFY(!(model->flags(model->index(0, model->ColumnOf("NAME"))) & Qt::ItemIsEditable));
  TableNavigator nav(*model);
  QVERIFY(!nav.Enabled(NavAction::Insert));
  QVERIFY(!nav.Enabled(NavAction::Delete));
  QVERIFY(!nav.Enabled(NavAction::Edit));
  table.Close();
  QCOMPARE(ReadBytes(path), before);
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestBalTables::lockedByAnotherWriter() {
  const QString path = Path(TableKind::Kft1);
  BalTable table(TableKind::Kft1);
  QVERIFY(table.Open(dir_->path()));
  TableRecord r(TableKind::Kft1);
  r.Set("Name", "before");
  QVERIFY(table.Insert(r));
  const QByteArray before = ReadBytes(path);
  {
    Locker locker(TABLE_WRITER, dir_->path(), "KftTable1.db");
    QVERIFY(locker.Locked());
    QVERIFY(!table.Insert(r));
    QVERIFY2(table.ErrorText().contains(QDir::toNativeSeparators(path)) &&
                 table.ErrorText().contains("locked by another program"),
             qPrintable(table.ErrorText()));
    BalTable second(TableKind::Kft1);
    QVERIFY(!second.Open(dir_->path()));
    QVERIFY2(second.ErrorText().contains("locked by another program"),
             qPrintable(second.ErrorText()));
  }
  QCOMPARE(ReadBytes(path), before);
  // The program goes on: once the other writer is done, posts work again.
  QCOMPARE(table.Insert(r), std::optional<int>(2));
}

// A writer killed at any moment after saying a record was posted: that record is there, and
// the file is sound.
void TestBalTables::survivesKillAfterPost() {
  QRandomGenerator gen(20240611);
  int before = 0;
  for (int round = 0; round < 20; ++round) {
    QProcess writer;
    writer.start(TABLE_WRITER, {"insert", dir_->path()});
    QVERIFY(writer.waitForStarted(10000));
    // Killed after a few posts, at once after a line, so mostly in the middle of the next post.
    const int wanted = 1 + static_cast<int>(gen.bounded(8));
    int said = 0;
    while (said < wanted) {
      if (!writer.canReadLine()) QVERIFY(writer.waitForReadyRead(10000));
      while (writer.canReadLine() && said < wanted) {
        writer.readLine();
        ++said;
      }
    }
    ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
    QVERIFY(writer.waitForFinished(10000));
    QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
    said += static_cast<int>(writer.readAllStandardOutput().count('\n'));

    BalTable table(TableKind::Kft1);
    QVERIFY2(table.Open(dir_->path()), qPrintable(table.ErrorText()));
    {
      QSqlQuery q(table.Database());
      QVERIFY(q.exec("PRAGMA integrity_check") && q.next());
      QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
    }
    const auto count = table.Count();
    QVERIFY(count);
    // Every record said to be posted is there; at most the one in flight besides.
    QVERIFY2(*count >= before + said && *count <= before + said + 1,
             qPrintable(QStringLiteral("round %1: %2 records, %3 before, %4 posted")
                            .arg(round)
                            .arg(*count)
                            .arg(before)
                            .arg(said)));
    for (int i = 1; i <= said; ++i) QCOMPARE(table.Read(before + i)->Num("R11"), double(i));
    before = *count;
  }
}

// Past the 256 rows Qt reads at a time, the last record is a row at once.
void TestBalTables::modelHoldsEveryRow() {
  QStringList sql{"BEGIN"};
  sql << "CREATE TABLE KftTable1 (Thr INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, L1 REAL, "
         "M1 REAL, D1 REAL, R11 REAL, R12 REAL)";
  for (int i = 1; i <= 700; ++i)
    sql << QStringLiteral("INSERT INTO KftTable1 (Name, R11) VALUES ('r%1', %1)").arg(i);
  sql << "COMMIT";
  QCOMPARE(RunSql(Path(TableKind::Kft1), sql), QString());

  BalTable table(TableKind::Kft1);
  QVERIFY(table.Open(dir_->path()));
  BalTableModel* model = table.Model();
  QCOMPARE(model->rowCount(), 700);
  QVERIFY(!model->canFetchMore());
  QCOMPARE(model->RowOfRecord(700), 699);
  QCOMPARE(model->RowOfRecord(701), -1);
  QCOMPARE(model->RecordAt(699).Text("Name"), QStringLiteral("r700"));
  QCOMPARE(model->RowOfKey(512), 511);
  // The grid's titles, and its columns in order.
  QStringList titles;
  for (int c : model->GridColumns()) titles << model->headerData(c, Qt::Horizontal).toString();
  QCOMPARE(titles, (QStringList{"NN", "Rotor", "Nbld", "Mtw", "Rtw", "R11", "R12"}));
  // No read stays open: another program can write while the grid is shown.
  TableRecord r(TableKind::Kft1);
  BalTable other(TableKind::Kft1);
  QVERIFY(other.Open(dir_->path()));
  QCOMPARE(other.Insert(r), std::optional<int>(701));
  TableNavigator nav(*model);
  QVERIFY(nav.Apply(NavAction::Refresh));
  QVERIFY(nav.MoveToRecord(701));
  QCOMPARE(nav.CurrentRow(), 700);

  BalTable arch(TableKind::Arch2);
  QVERIFY(arch.Open(dir_->path()));
  titles.clear();
  for (int c : arch.Model()->GridColumns())
    titles << arch.Model()->headerData(c, Qt::Horizontal).toString();
  QCOMPARE(titles,
           (QStringList{"Rotor name", "Date", "Place", "Vo1-ini", "Vo2-ini", "Vo1-fin", "Vo2-fin",
                        "Toler.V", "D1-ini", "D2-ini", "D1-fin", "D2-fin", "Toler.D"}));
}

// Numbers are edited as text with the system separator; "." and "," both read.
void TestBalTables::modelEditsAsText() {
  SetDecimalSeparatorOverride(QLatin1Char(','));
  BalTable table(TableKind::Arch1);
  QVERIFY(table.Open(dir_->path()));
  TableRecord r(TableKind::Arch1);
  r.Set("VO1", 2.5);
  QVERIFY(table.Insert(r));
  BalTableModel* m = table.Model();
  const QModelIndex vo1 = m->index(0, m->ColumnOf("VO1"));
  QCOMPARE(m->data(vo1).toString(), QStringLiteral("2,5"));
  QCOMPARE(m->data(vo1, Qt::EditRole).toString(), QStringLiteral("2,5"));
  QCOMPARE(m->data(m->index(0, m->ColumnOf("VO7"))).toString(), QString());

  QVERIFY(m->SetField(0, "DOP_V", "4.5"));
  QVERIFY(m->SetField(0, "DOP_D", "300,25"));
  QVERIFY(m->SetField(0, "VO1", ""));
  QVERIFY(!m->SetField(0, "VO7", "abc"));
  QVERIFY(m->ErrorText().contains("'abc' is not a valid number"));
  QVERIFY(m->SetField(0, "Date", "2024-03-05 14:30"));
  QVERIFY(!m->SetField(0, "Date", "yesterday"));
  QVERIFY(!m->SetField(0, "Thr", "5"));
  QVERIFY(!(m->flags(m->index(0, m->ColumnOf("Thr"))) & Qt::ItemIsEditable));
  TableNavigator nav(*m);
  QVERIFY(nav.Editing());
  QVERIFY(nav.Apply(NavAction::Post));

  const auto back = table.Read(1);
  QCOMPARE(back->Num("DOP_V"), 4.5);
  QCOMPARE(back->Num("DOP_D"), 300.25);
  QVERIFY(back->IsEmpty("VO1"));
  QVERIFY(back->IsEmpty("VO7"));
  QCOMPARE(back->Text("Date"), QStringLiteral("2024-03-05 14:30:00"));
}

void TestBalTables::navigator() {
  BalTable table(TableKind::Kft1);
  QVERIFY(table.Open(dir_->path()));
  TableNavigator nav(*table.Model());
  QCOMPARE(nav.CurrentRecord(), 0);
  QVERIFY(!nav.Enabled(NavAction::Delete));
  QVERIFY(!nav.Enabled(NavAction::Post));

  // Insert, type a name, post: the record is on disk and current.
  QVERIFY(nav.Apply(NavAction::Insert));
  QVERIFY(nav.Inserting());
  QVERIFY(nav.Enabled(NavAction::Post) && nav.Enabled(NavAction::Cancel));
  QVERIFY(!nav.Enabled(NavAction::Refresh));
  QVERIFY(nav.Model().SetField(nav.CurrentRow(), "Name", "Fan 1"));
  QVERIFY(nav.Apply(NavAction::Post));
  QCOMPARE(table.Read(1)->Text("Name"), QStringLiteral("Fan 1"));
  QCOMPARE(nav.CurrentRecord(), 1);

  // An empty new record is a record too.
  QVERIFY(nav.Apply(NavAction::Insert));
  QVERIFY(nav.Apply(NavAction::Post));
  QCOMPARE(table.Count(), std::optional<int>(2));
  QCOMPARE(nav.CurrentRecord(), 2);

  // Moving while editing posts first.
  QVERIFY(nav.Model().SetField(nav.CurrentRow(), "R11", "0.75"));
  QVERIFY(nav.Apply(NavAction::First));
  QCOMPARE(nav.CurrentRecord(), 1);
  QCOMPARE(table.Read(2)->Num("R11"), 0.75);

  // Cancel drops the edit and an unposted insert.
  QVERIFY(nav.Apply(NavAction::Edit));
  QVERIFY(nav.Model().SetField(nav.CurrentRow(), "Name", "changed"));
  QVERIFY(nav.Apply(NavAction::Cancel));
  QCOMPARE(nav.Model().RecordAt(0).Text("Name"), QStringLiteral("Fan 1"));
  QVERIFY(nav.Apply(NavAction::Insert));
  QCOMPARE(nav.Model().rowCount(), 3);
  QVERIFY(nav.Apply(NavAction::Cancel));
  QCOMPARE(nav.Model().rowCount(), 2);
  QCOMPARE(table.Count(), std::optional<int>(2));

  // Next/Last at the end are off; Delete removes the current record from the file.
  QVERIFY(nav.Apply(NavAction::Last));
  QCOMPARE(nav.CurrentRecord(), 2);
  QVERIFY(!nav.Enabled(NavAction::Next));
  QVERIFY(nav.Apply(NavAction::Delete));
  QCOMPARE(table.Count(), std::optional<int>(1));
  QCOMPARE(nav.CurrentRecord(), 1);
  QVERIFY(!nav.MoveToRecord(2));

  // A failed post keeps the edit and says why.
  QVERIFY(nav.Model().SetField(0, "Name", "while locked"));
  {
    Locker locker(TABLE_WRITER, dir_->path(), "KftTable1.db");
    QVERIFY(locker.Locked());
    QVERIFY(!nav.Apply(NavAction::Post));
    QVERIFY2(nav.ErrorText().contains("locked by another program"), qPrintable(nav.ErrorText()));
    QVERIFY(nav.Editing());
  }
  QVERIFY2(nav.Apply(NavAction::Post), qPrintable(nav.ErrorText()));
  QCOMPARE(table.Read(1)->Text("Name"), QStringLiteral("while locked"));
}

QTEST_GUILESS_MAIN(TestBalTables)
#include "test_baltables.moc"
