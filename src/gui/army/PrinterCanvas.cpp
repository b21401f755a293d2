#include "army/PrinterCanvas.h"

#include "KrException.h"

#include <QFile>
#include <QFontMetrics>
#include <QPen>
#include <QPrinter>

using namespace Qt::StringLiterals;

TPrinterCanvas::TPrinterCanvas(QPrinter &printer, const QFont &font) : FPrinter(printer), FFont(font)
{}

TPrinterCanvas::~TPrinterCanvas()
{
    // A job still open here was left by a failure nobody handled; it must not be
    // sent half-done.
    if (FPainter.isActive())
        AbortDocument();
}

void TPrinterCanvas::BeginDocument(const QString &title)
{
    FPrinter.setDocName(title);
    if (!FPainter.begin(&FPrinter))
        throw TKrException(u"The printer could not be started."_s);
}

void TPrinterCanvas::EndDocument()
{
    if (FPainter.isActive() && !FPainter.end())
        throw TKrException(u"The printout could not be finished."_s);
}

void TPrinterCanvas::AbortDocument()
{
    if (!FPainter.isActive())
        return;
    FPrinter.abort();
    FPainter.end();
    // Not every engine can abort (the PDF one cannot); a printout to a file that stops
    // half-way is of no use, so it does not stay behind.
    if (!FPrinter.outputFileName().isEmpty())
        QFile::remove(FPrinter.outputFileName());
}

void TPrinterCanvas::NewPage()
{
    if (!FPrinter.newPage())
        throw TKrException(u"The printer could not start a new page."_s);
}

QFont TPrinterCanvas::FontOf(TPrintFont font) const
{
    QFont result = FFont;
    result.setPointSize(font.PointSize);
    result.setBold(font.Bold);
    return result;
}

void TPrinterCanvas::Text(int x, int y, const QString &text, TPrintFont font)
{
    FPainter.setFont(FontOf(font));
    // The layout places text by its top; the painter writes on the baseline.
    FPainter.drawText(x, y + FPainter.fontMetrics().ascent(), text);
}

int TPrinterCanvas::TextWidth(const QString &text, TPrintFont font) const
{
    return QFontMetrics(FontOf(font), &FPrinter).horizontalAdvance(text);
}

int TPrinterCanvas::TextHeight(const QString &, TPrintFont font) const
{
    return QFontMetrics(FontOf(font), &FPrinter).height();
}

void TPrinterCanvas::Line(int x1, int y1, int x2, int y2, int penWidth)
{
    FPainter.setPen(QPen(QBrush(Qt::black), penWidth));
    FPainter.drawLine(x1, y1, x2, y2);
}

int TPrinterCanvas::PageWidth() const
{
    return FPrinter.width();
}

int TPrinterCanvas::PageHeight() const
{
    return FPrinter.height();
}

int TPrinterCanvas::PixelsPerInch() const
{
    return FPrinter.logicalDpiY();
}
