#pragma once

#include "army/PrintCanvas.h"

#include <QFont>
#include <QPainter>

class QPrinter;

// The print canvas on a printer; printing to a file is a setting of the printer. Units
// are the printer's device pixels and fonts are the given font's family in the sizes the
// layout asks for. Failures of the device throw, so that the layout's guard aborts the job.
class TPrinterCanvas : public TPrintCanvas
{
public:
    TPrinterCanvas(QPrinter &printer, const QFont &font);
    ~TPrinterCanvas() override;
    TPrinterCanvas(const TPrinterCanvas &) = delete;
    TPrinterCanvas &operator=(const TPrinterCanvas &) = delete;

    void BeginDocument(const QString &title) override;
    void EndDocument() override;
    void AbortDocument() override;
    void NewPage() override;

    void Text(int x, int y, const QString &text, TPrintFont font) override;
    int TextWidth(const QString &text, TPrintFont font) const override;
    int TextHeight(const QString &text, TPrintFont font) const override;
    void Line(int x1, int y1, int x2, int y2, int penWidth) override;

    int PageWidth() const override;
    int PageHeight() const override;
    int PixelsPerInch() const override;

private:
    QFont FontOf(TPrintFont font) const;

    QPrinter &FPrinter;
    QFont FFont;
    QPainter FPainter;
};
