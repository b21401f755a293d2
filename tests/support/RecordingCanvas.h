#pragma once

#include "KrException.h"
#include "army/PrintCanvas.h"

#include <QStringList>

#include <algorithm>
#include <vector>

// Fixed metrics: every character 7 units wide and 14 high at size 10 (scaled with the
// size, the same in bold), 96 pixels per inch. So a line is 16 units high, the margin
// is 72, two blanks are 14 wide.
class TRecordingCanvas : public TPrintCanvas
{
public:
    struct TDrawnText
    {
        int Page;
        int X;
        int Y;
        QString Text;
        TPrintFont Font;
    };
    struct TDrawnLine
    {
        int Page;
        int X1, Y1, X2, Y2, Pen;
    };

    void BeginDocument(const QString &title) override { Events << QStringLiteral("begin ") + title; }
    void EndDocument() override { Events << QStringLiteral("end"); }
    void AbortDocument() override { Events << QStringLiteral("abort"); }
    void NewPage() override
    {
        if (FailOnNewPage)
            throw TKrException(QStringLiteral("out of paper"));
        Events << QStringLiteral("page");
        ++Page;
    }
    void Text(int x, int y, const QString &text, TPrintFont font) override
    {
        Texts.push_back({Page, x, y, text, font});
    }
    int TextWidth(const QString &text, TPrintFont font) const override
    {
        return int(text.size()) * 7 * font.PointSize / 10;
    }
    int TextHeight(const QString &, TPrintFont font) const override { return 14 * font.PointSize / 10; }
    void Line(int x1, int y1, int x2, int y2, int penWidth) override
    {
        Lines.push_back({Page, x1, y1, x2, y2, penWidth});
    }
    int PageWidth() const override { return Width; }
    int PageHeight() const override { return Height; }
    int PixelsPerInch() const override { return 96; }

    // The texts drawn on one line of a page, left to right.
    QStringList At(int page, int y) const
    {
        std::vector<TDrawnText> line;
        for (const TDrawnText &drawn : Texts) {
            if (drawn.Page == page && drawn.Y == y)
                line.push_back(drawn);
        }
        std::sort(line.begin(), line.end(), [](const auto &a, const auto &b) { return a.X < b.X; });
        QStringList texts;
        for (const TDrawnText &drawn : line)
            texts << drawn.Text;
        return texts;
    }
    const TDrawnText *Find(const QString &text, int page = 0) const
    {
        for (const TDrawnText &drawn : Texts) {
            if (drawn.Text == text && drawn.Page == page)
                return &drawn;
        }
        return nullptr;
    }
    bool Shows(const QString &text) const
    {
        return std::any_of(Texts.begin(), Texts.end(), [&](const TDrawnText &drawn) { return drawn.Text == text; });
    }

    int Width = 1200;
    int Height = 1100;
    bool FailOnNewPage = false;
    int Page = 0;
    QStringList Events;
    std::vector<TDrawnText> Texts;
    std::vector<TDrawnLine> Lines;
};
