#pragma once

#include <QString>

// A font of a printout: the family is the canvas's own; only size and weight vary.
struct TPrintFont
{
    int PointSize = 10;
    bool Bold = false;

    friend bool operator==(const TPrintFont &, const TPrintFont &) = default;
};

// What printed reports are laid out against, in the device's own units. The program's
// canvas paints on a printer; the tests' canvas records what was drawn with fixed
// metrics, so layouts can be checked to the unit.
class TPrintCanvas
{
public:
    virtual ~TPrintCanvas() = default;

    // The document is one print job; its title is what the spooler shows.
    virtual void BeginDocument(const QString &title) = 0;
    virtual void EndDocument() = 0;
    // Gives up a job that failed half-way, so that no partial printout comes out.
    virtual void AbortDocument() = 0;
    virtual void NewPage() = 0;

    // Text whose top left corner is at (x, y).
    virtual void Text(int x, int y, const QString &text, TPrintFont font) = 0;
    virtual int TextWidth(const QString &text, TPrintFont font) const = 0;
    virtual int TextHeight(const QString &text, TPrintFont font) const = 0;
    virtual void Line(int x1, int y1, int x2, int y2, int penWidth) = 0;

    // The printable area and the resolution that converts inches to units.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int PixelsPerInch() const = 0;
};
