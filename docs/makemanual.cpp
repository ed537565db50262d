// Renders the Markdown manual to a PDF: makemanual manual.md Kavero_manual.pdf
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: makemanual MANUAL.md OUTPUT.pdf\n");
    return 2;
  }
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "makemanual: cannot read %s\n", argv[1]);
    return 1;
  }
  QTextDocument doc;
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSize(10);
  doc.setDefaultFont(font);
  doc.setMarkdown(QString::fromUtf8(in.readAll()));

  QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
  pdf.setTitle(QStringLiteral("Vintor-1 user manual"));
  pdf.setCreator(QStringLiteral("Vintor-1"));
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
  doc.print(&pdf);
  return QFile::exists(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
