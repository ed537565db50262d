// Renders the Markdown manual to a PDF: makemanual manual.md Kavero_manual.pdf
// Pictures (Markdown images, PNG or JPEG) are read relative to the manual's folder; screenshots
// are drawn at three quarters of their screen size, and never wider than the text. A heading
// never ends a page. Needs no display: run it with QT_QPA_PLATFORM=offscreen.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QUrl>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// A picture's pixel is drawn as three quarters of a screen pixel: at full size a screenshot
// would take a page to itself.
constexpr double kPictureScale = 0.75;

// Every picture of the document, read and fitted to `maxWidth` (in the document's units, which
// the printing scales as screen pixels). False, with a message, when one cannot be read.
bool FitPictures(QTextDocument& doc, const QString& folder, double maxWidth) {
  struct Picture {
    int position, length;
    QTextImageFormat format;
  };
  std::vector<Picture> pictures;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (f.isValid() && f.charFormat().isImageFormat())
        pictures.push_back({f.position(), f.length(), f.charFormat().toImageFormat()});
    }
  }
  bool ok = true;
  for (Picture& p : pictures) {
    const QString name = p.format.name();
    const QString path = QUrl(name).isRelative() ? folder + QLatin1Char('/') + name : name;
    const QImage image(path);
    if (image.isNull()) {
      std::fprintf(stderr, "makemanual: cannot read the picture %s\n", qPrintable(path));
      ok = false;
      continue;
    }
    doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    double width = image.width() * kPictureScale, height = image.height() * kPictureScale;
    if (width > maxWidth) {
      height *= maxWidth / width;
      width = maxWidth;
    }
    p.format.setWidth(width);
    p.format.setHeight(height);
    QTextCursor c(&doc);
    c.setPosition(p.position);
    c.setPosition(p.position + p.length, QTextCursor::KeepAnchor);
    c.setCharFormat(p.format);
  }
  return ok;
}

// The document laid out on the printer's pages as QTextDocument::print lays out one without a
// page size: 2 cm margins within the printer's own.
std::unique_ptr<QTextDocument> LayOut(QTextDocument& doc, QPagedPaintDevice& printer) {
  std::unique_ptr<QTextDocument> copy(doc.clone(&doc));
  copy->documentLayout()->setPaintDevice(&printer);
  QTextFrameFormat frame = copy->rootFrame()->frameFormat();
  // In screen pixels: the layout scales frame margins to the device.
  frame.setMargin(static_cast<int>((2 / 2.54) * 96.0));
  copy->rootFrame()->setFrameFormat(frame);
  copy->setPageSize(QSizeF(printer.width(), printer.height()));
  return copy;
}

// Moves every heading that would end a page (apart from the first line after it) to the next
// page. Each move shifts what follows, so the layout is made again until nothing moves.
void KeepHeadingsWithText(QTextDocument& doc, QPagedPaintDevice& printer) {
  for (int moves = 0; moves < 100; ++moves) {
    const std::unique_ptr<QTextDocument> copy = LayOut(doc, printer);
    const QAbstractTextDocumentLayout* layout = copy->documentLayout();
    const double pageHeight = copy->pageSize().height();
    int blockToMove = -1;
    for (QTextBlock b = copy->begin(); b.isValid() && b.next().isValid(); b = b.next()) {
      if (b.blockFormat().headingLevel() == 0) continue;
      const QTextBlock next = b.next();
      double firstLine = layout->blockBoundingRect(next).top();
      if (next.layout() && next.layout()->lineCount() > 0)
        firstLine += next.layout()->lineAt(0).rect().bottom();
      const double top = layout->blockBoundingRect(b).top();
      if (static_cast<int>(top / pageHeight) != static_cast<int>(firstLine / pageHeight)) {
        blockToMove = b.blockNumber();
        break;
      }
    }
    if (blockToMove < 0) return;
    QTextCursor c(doc.findBlockByNumber(blockToMove));
    QTextBlockFormat f = c.blockFormat();
    if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) return;
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    c.setBlockFormat(f);
  }
}

// Prints the pages of the layout, each numbered at its bottom right as QTextDocument::print
// numbers them.
bool Print(QTextDocument& doc, QPdfWriter& printer) {
  const std::unique_ptr<QTextDocument> copy = LayOut(doc, printer);
  const QSizeF page = copy->pageSize();
  QPainter p;
  if (!p.begin(&printer)) return false;
  const double scale = printer.logicalDpiY() / 96.0;
  const double margin = static_cast<int>((2 / 2.54) * 96.0) * scale;
  const QFont font(copy->defaultFont(), &printer);
  const int pages = copy->pageCount();
  for (int i = 0; i < pages; ++i) {
    if (i > 0 && !printer.newPage()) return false;
    const QRectF view(0, i * page.height(), page.width(), page.height());
    p.save();
    p.translate(0, -view.top());
    p.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    context.palette.setColor(QPalette::Text, Qt::black);
    copy->documentLayout()->draw(&p, context);
    p.restore();
    p.setFont(font);
    const QString number = QString::number(i + 1);
    const QFontMetricsF metrics(font, &printer);
    p.drawText(
        QPointF(page.width() - margin - metrics.horizontalAdvance(number),
                page.height() - margin + metrics.ascent() + 5 * printer.logicalDpiY() / 72.0),
        number);
  }
  return p.end();
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: makemanual MANUAL.md OUTPUT.pdf\n");
    return 2;
  }
  const QString source = QString::fromLocal8Bit(argv[1]);
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "makemanual: cannot read %s\n", argv[1]);
    return 1;
  }
  QTextDocument doc;
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSize(10);
  doc.setDefaultFont(font);
  doc.setMarkdown(QString::fromUtf8(in.readAll()));
  doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(source).absolutePath() + QLatin1Char('/')));

  QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
  pdf.setTitle(QStringLiteral("Vintor-1 user manual"));
  pdf.setCreator(QStringLiteral("Vintor-1"));
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
  // The text width in screen pixels (96 per inch): the page's printable width less the 2 cm
  // margins of the layout on each side.
  const double dpi = pdf.logicalDpiX();
  const double textWidth = (pdf.width() - 2 * (2 / 2.54) * dpi) * 96.0 / dpi;
  if (!FitPictures(doc, QFileInfo(source).absolutePath(), textWidth)) return 1;
  KeepHeadingsWithText(doc, pdf);
  if (!Print(doc, pdf)) {
    std::fprintf(stderr, "makemanual: cannot write %s\n", argv[2]);
    return 1;
  }
  return QFile::exists(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
