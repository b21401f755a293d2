#pragma once

// The trading list export: the alert list written for other collectors as a text
// announcement, comma-separated values, a text list, or HTML tables per race (grids,
// lists or price grids) that can be framed into a web page and carry an order form.

#include "dice/DiceTypes.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class TCatalogue;
class TInventoryData;
class TSettingsStore;

// The presentation styles, in the order of the style list; the number is the stored
// "IRXType".
enum class TExportStyle : quint8 { Announcement, CommaSeparatedValues, RaceGrids, RaceLists, PriceGrids, TextList };

template <>
struct TVocabulary<TExportStyle>
{
    static constexpr std::array Names{u"Announcement", u"Comma-Separated Values", u"Race Grids",
                                      u"Race Lists",   u"Price Grids",            u"Text List"};
    static constexpr int Count = int(Names.size());
};

// The output file dialog's filter, and the filter each style chooses (from 1).
inline constexpr char16_t kExportFileFilter[] =
    u"Comma-Separated Value Files|*.CSV|HTML Include Files|*.HTM;*.HTML;*.SHTML|Text Message Files|*.MSG|"
    u"Binary Trade Files|*.BTR|All Files|*.*";
int ExportFilterIndex(TExportStyle style);
bool IsHtmlStyle(TExportStyle style);

// A colour as the settings keep it (red in the lowest byte, then green, then blue) and
// as a page writes it: "#" and six hexadecimal digits, red first.
QString ColorText(quint32 color);
// "#RRGGBB" back to the colour; nothing for any other text.
std::optional<quint32> ColorFromText(QStringView text);

// Everything the export dialog sets, with its defaults; kept in the settings.
struct TTradeListOptions
{
    static constexpr qint32 kMaxLockLimit = 99;

    TExportStyle Style = TExportStyle::RaceGrids;
    quint32 WantColor = 255;
    quint32 DefaultColor = 0;
    quint32 HaveColor = 32768;
    quint32 LockColor = 255;
    bool ShowWidgets = false;
    bool ShowValues = true;
    QString WidgetFile = QStringLiteral("view.gif");
    QString ExportFile = QStringLiteral("trades.htm");
    bool TradeForm = false;
    QString Script = QStringLiteral("cgi-bin/genform");
    // The quantity announced as needed for locked items (and with Aggressive, for items
    // neither spare nor missing).
    qint32 MaxLock = 2;
    bool Aggressive = false;
    bool IncludeCC = false;
    bool JavaScript = false;
    // Empty: no framing.
    QString FrameFile;
    // The folder of the last output file chosen ("IRXDir").
    QString Directory;

    // Values out of their ranges (a style or "MaxLock" beyond the lists) come back as
    // the nearest they can be.
    void Load(const TSettingsStore &settings);
    // Every setting but "IRXDir", which is written when an output file is chosen.
    void Save(TSettingsStore &settings) const;
    static void SaveDirectory(TSettingsStore &settings, const QString &directory);
};

using TExportStatus = std::function<void(const QString &)>;

// The output of a style for the alert list rows (in list order, each with its Diff),
// every line ended with CR LF. Races are visited in the catalogue's order. frame holds
// the frame file's bytes for the HTML styles (empty: no framing); its lines are copied
// as they are. today is the "LAST UPDATED" date.
QByteArray TradeListText(const std::vector<TInventoryData *> &rows, const TCatalogue &catalogue,
                         const TTradeListOptions &options, QDate today, const QByteArray &frame = {},
                         const TExportStatus &status = {});

// The frame file's bytes; a file that cannot be read, or is no regular file, throws.
QByteArray ReadFrameFile(const QString &path);
// Writes the text through a temporary file: the old file survives a failure.
void SaveTradeListFile(const QString &path, const QByteArray &text);
// Whether the options frame the output: an HTML style with a frame file.
bool UsesFrame(const TTradeListOptions &options);

// Reads the frame file when the options name one and an HTML style is chosen, then
// writes the file at path; a failure (a frame or output file that cannot be opened, a
// full disk) throws and leaves any old file at path as it was.
void ExportTradeList(const QString &path, const std::vector<TInventoryData *> &rows, const TCatalogue &catalogue,
                     const TTradeListOptions &options, QDate today, const TExportStatus &status = {});

// The parts of a page that depend on nothing but the item, for the tests and the tool.
// The anchor of a name: its digits and ASCII letters.
QString HtmlAnchor(const QString &name);
// The input field name of an item: "xx" and the two numbers of its file reference.
QString ItemFieldKey(qint32 a, qint32 b);
