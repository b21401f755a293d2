#include "reports/TradeListExport.h"

#include "dice/Catalogue.h"
#include "inventory/Inventory.h"
#include "io/FileAccess.h"
#include "io/FileErrors.h"
#include "shell/SettingsStore.h"

#include <QFileInfo>
#include <QIODevice>
#include <QStringList>

#include <algorithm>
#include <array>
#include <unordered_map>

using namespace Qt::StringLiterals;

int ExportFilterIndex(TExportStyle style)
{
    switch (style) {
    case TExportStyle::CommaSeparatedValues:
        return 1;
    case TExportStyle::RaceGrids:
    case TExportStyle::RaceLists:
    case TExportStyle::PriceGrids:
        return 2;
    case TExportStyle::Announcement:
    case TExportStyle::TextList:
        break;
    }
    return 3;
}

bool IsHtmlStyle(TExportStyle style)
{
    return style == TExportStyle::RaceGrids || style == TExportStyle::RaceLists || style == TExportStyle::PriceGrids;
}

QString ColorText(quint32 color)
{
    const quint32 red = color & 0xFF;
    const quint32 green = (color >> 8) & 0xFF;
    const quint32 blue = (color >> 16) & 0xFF;
    return u'#' + QString::number((red << 16) | (green << 8) | blue, 16).rightJustified(6, u'0').toUpper();
}

std::optional<quint32> ColorFromText(QStringView text)
{
    if (text.size() != 7 || text.front() != u'#')
        return std::nullopt;
    for (QChar c : text.mid(1)) {
        if (!c.isDigit() && !(c.toLower() >= u'a' && c.toLower() <= u'f'))
            return std::nullopt;
    }
    const quint32 rgb = text.mid(1).toUInt(nullptr, 16);
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

namespace {

const QString kColorPrefix = u"IRX"_s;

quint32 ReadColor(const TSettingsStore &settings, const QString &name, quint32 defaultColor)
{
    // Colours are kept as integers; only the three colour bytes mean anything.
    return quint32(settings.ReadIntegerSetting(kColorPrefix + name, qint32(defaultColor))) & 0xFFFFFF;
}

} // namespace

void TTradeListOptions::Load(const TSettingsStore &settings)
{
    const TTradeListOptions defaults;
    const qint32 style = settings.ReadIntegerSetting(u"IRXType"_s, qint32(defaults.Style));
    Style = IsInVocabulary<TExportStyle>(style) ? TExportStyle(style) : defaults.Style;
    WantColor = ReadColor(settings, u"WantColor"_s, defaults.WantColor);
    DefaultColor = ReadColor(settings, u"DefaultColor"_s, defaults.DefaultColor);
    HaveColor = ReadColor(settings, u"HaveColor"_s, defaults.HaveColor);
    LockColor = ReadColor(settings, u"LockColor"_s, defaults.LockColor);
    ShowWidgets = settings.ReadBoolSetting(u"IRXShowWidgets"_s, defaults.ShowWidgets);
    ShowValues = settings.ReadBoolSetting(u"IRXShowValues"_s, defaults.ShowValues);
    WidgetFile = settings.ReadStringSetting(u"IRXWidgetFile"_s, defaults.WidgetFile);
    ExportFile = settings.ReadStringSetting(u"ExportFile"_s, defaults.ExportFile);
    TradeForm = settings.ReadBoolSetting(u"TradeFormFlag"_s, defaults.TradeForm);
    Script = settings.ReadStringSetting(u"TradeFormScript"_s, defaults.Script);
    MaxLock = std::clamp(settings.ReadIntegerSetting(u"MaxLock"_s, defaults.MaxLock), 0, kMaxLockLimit);
    Aggressive = settings.ReadBoolSetting(u"Aggressive"_s, defaults.Aggressive);
    IncludeCC = settings.ReadBoolSetting(u"IncludeCC"_s, defaults.IncludeCC);
    JavaScript = settings.ReadBoolSetting(u"JavaScript"_s, defaults.JavaScript);
    FrameFile = settings.ReadStringSetting(u"FrameFile"_s, defaults.FrameFile);
    Directory = settings.ReadStringSetting(u"IRXDir"_s, defaults.Directory);
}

void TTradeListOptions::Save(TSettingsStore &settings) const
{
    settings.WriteIntegerSetting(u"IRXType"_s, qint32(Style));
    settings.WriteIntegerSetting(kColorPrefix + u"WantColor"_s, qint32(WantColor));
    settings.WriteIntegerSetting(kColorPrefix + u"DefaultColor"_s, qint32(DefaultColor));
    settings.WriteIntegerSetting(kColorPrefix + u"HaveColor"_s, qint32(HaveColor));
    settings.WriteIntegerSetting(kColorPrefix + u"LockColor"_s, qint32(LockColor));
    settings.WriteBoolSetting(u"IRXShowWidgets"_s, ShowWidgets);
    settings.WriteBoolSetting(u"IRXShowValues"_s, ShowValues);
    settings.WriteStringSetting(u"IRXWidgetFile"_s, WidgetFile);
    settings.WriteStringSetting(u"ExportFile"_s, ExportFile);
    settings.WriteBoolSetting(u"TradeFormFlag"_s, TradeForm);
    settings.WriteStringSetting(u"TradeFormScript"_s, Script);
    settings.WriteIntegerSetting(u"MaxLock"_s, MaxLock);
    settings.WriteBoolSetting(u"Aggressive"_s, Aggressive);
    settings.WriteBoolSetting(u"IncludeCC"_s, IncludeCC);
    settings.WriteBoolSetting(u"JavaScript"_s, JavaScript);
    settings.WriteStringSetting(u"FrameFile"_s, FrameFile);
}

void TTradeListOptions::SaveDirectory(TSettingsStore &settings, const QString &directory)
{
    settings.WriteStringSetting(u"IRXDir"_s, directory);
}

QString HtmlAnchor(const QString &name)
{
    QString anchor;
    for (QChar c : name) {
        if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            anchor += c;
    }
    return anchor;
}

QString ItemFieldKey(qint32 a, qint32 b)
{
    // As "%5.5d" and "%4.4d" write them: at least that many digits, a sign in front.
    const auto digits = [](qint64 n, int width) {
        const QString text = QString::number(n < 0 ? -n : n).rightJustified(width, u'0');
        return n < 0 ? u'-' + text : text;
    };
    if (a >= 0)
        return u"xx"_s + digits(a, 5) + digits(b, 5);
    return u"xx-"_s + digits(-qint64(a), 4) + digits(b, 5);
}

namespace {

// Text put into a page is escaped, so that a name can never break or add markup.
QString Escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// A text inside a single-quoted script string that stands in a double-quoted
// attribute: first made safe for the string, then for the attribute.
QString ScriptString(const QString &text)
{
    QString escaped;
    for (QChar c : text) {
        if (c == u'\\' || c == u'\'')
            escaped += u'\\';
        if (c == u'\n')
            escaped += u"\\n"_s;
        else if (c == u'\r')
            escaped += u"\\r"_s;
        else
            escaped += c;
    }
    return Escaped(escaped);
}

QString FacesText(const TInventoryData &item)
{
    const auto *die = dynamic_cast<const TDie *>(&item);
    if (!die)
        return item.LongText();
    QStringList faces;
    for (int face = 0; face < die->FaceCount(); ++face)
        faces << die->FaceText(face);
    return faces.join(u", "_s);
}

QString EnglishDate(QDate date)
{
    static const std::array<const char16_t *, 12> months{u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                                         u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    return QString::fromUtf16(months[size_t(std::clamp(date.month(), 1, 12) - 1)]) + u' ' +
           QString::number(date.day()).rightJustified(2, u'0') + u", "_s + QString::number(date.year());
}

// Quantities are taken in 64 bits: the negation of the smallest Diff does not fit 32.
qint64 Quantity(const TInventoryData &item)
{
    return item.Diff;
}

class TTradeListWriter
{
public:
    TTradeListWriter(const std::vector<TInventoryData *> &rows, const TCatalogue &catalogue,
                     const TTradeListOptions &options, QDate today, const TExportStatus &status)
        : FRows(rows), FCatalogue(catalogue), FOptions(options), FToday(today), FStatus(status)
    {
        for (TInventoryData *row : rows) {
            if (const auto *die = dynamic_cast<const TDie *>(row))
                FRaceRows[&die->Race()].push_back(row);
            else
                FTerrainRows.push_back(row);
        }
    }

    QByteArray Write(const QByteArray &frame)
    {
        switch (FOptions.Style) {
        case TExportStyle::Announcement:
            Announcement();
            break;
        case TExportStyle::CommaSeparatedValues:
            CommaSeparatedValues();
            break;
        case TExportStyle::TextList:
            TextList();
            break;
        case TExportStyle::RaceGrids:
        case TExportStyle::RaceLists:
        case TExportStyle::PriceGrids:
            HtmlPage(frame);
            break;
        }
        Flush();
        return FOut;
    }

private:
    void Say(const QString &text)
    {
        if (FStatus)
            FStatus(text);
    }
    // Generated text is gathered as text and turned into bytes in large pieces; the
    // frame's lines go in as the bytes they are.
    void Line(const QString &text)
    {
        FText += text;
        EndLine();
    }
    void EndLine() { FText += u"\r\n"_s; }
    void Flush()
    {
        FOut += FText.toUtf8();
        FText.clear();
    }
    const std::vector<TInventoryData *> &RowsOf(const TRace &race) const
    {
        static const std::vector<TInventoryData *> none;
        const auto found = FRaceRows.find(&race);
        return found == FRaceRows.end() ? none : found->second;
    }

    // The text styles.

    void Legend()
    {
        const bool values = FOptions.ShowValues;
        Line(u"Dice are shown in the form \"Name[prof, hp] "_s + (values ? u"xpts "_s : QString()) + u"(#)\" where"_s);
        Line(u"\"Name\" is the name, \"prof\" the profession, \"hp\" the size,"_s);
        Line((values ? u"\"xpts\" the trade point value, "_s : QString()) + u"and \"#\" the quantity."_s);
        Line(QString());
        Line(QString());
    }

    void TextEntry(const TInventoryData &item, const QString &section, bool want, bool &headed)
    {
        const qint64 q = Quantity(item);
        qint64 quantity = q;
        if (want) {
            Say(u"Processing "_s + item.Name + u"..."_s);
            if (!item.Locked && q > 0)
                return;
            if (q == 0 && !item.Locked && !FOptions.Aggressive)
                return;
            quantity = q < 0 ? -q : FOptions.MaxLock;
        } else if (q <= 0) {
            return;
        }
        if (!headed) {
            Line(QString());
            Line(u"* "_s + section);
            headed = true;
        }
        QString line = u"   "_s + item.Name + u'[' + item.KindText() + u", "_s + item.SizeText() + u"], "_s;
        if (FOptions.ShowValues)
            line += item.Price() == 1 ? u"1pt "_s : QString::number(item.Price()) + u"pts "_s;
        Line(line + u'(' + QString::number(quantity) + u')');
    }

    // want: every entry in want mode; none: each by the sign of its quantity.
    void TextSections(const std::optional<bool> &want)
    {
        const auto section = [&](const std::vector<TInventoryData *> &rows, const QString &name) {
            bool headed = false;
            for (const TInventoryData *row : rows)
                TextEntry(*row, name, want.value_or(row->Diff < 0), headed);
        };
        for (const auto &race : FCatalogue.Races())
            section(RowsOf(*race), race->Name);
        section(FTerrainRows, u"Terrains"_s);
    }

    void Announcement()
    {
        Legend();
        Line(u"*** DICE AVAILABLE (quantity available shown in parentheses)"_s);
        TextSections(false);
        Line(QString());
        Line(QString());
        Line(u"*** DICE NEEDED (quantity needed shown in parentheses)"_s);
        TextSections(true);
        Line(QString());
        Line(QString());
    }

    void TextList()
    {
        Legend();
        TextSections(std::nullopt);
    }

    void CommaSeparatedValues()
    {
        const QString count = QString::number(FRows.size());
        const auto quoted = [](QString text) { return u'"' + text.replace(u'"', u"\"\""_s) + u'"'; };
        for (size_t k = 0; k < FRows.size(); ++k) {
            const TInventoryData &item = *FRows[k];
            Say(u"Exporting die #"_s + QString::number(k + 1) + u" of "_s + count + u"..."_s);
            Line(QStringList{quoted(item.GroupText()), quoted(item.Name), quoted(item.KindText()),
                             quoted(item.SizeText()), QString::number(item.Diff), QString::number(item.Price()),
                             QString::number(item.Count), quoted(FacesText(item))}
                     .join(u", "_s));
        }
    }

    // The HTML styles.

    bool PriceGrids() const { return FOptions.Style == TExportStyle::PriceGrids; }

    void HtmlPage(const QByteArray &frame)
    {
        QList<QByteArray> lines;
        if (!frame.isEmpty()) {
            lines = frame.split('\n');
            // The piece after the last line break is a line only when it holds something.
            if (lines.back().isEmpty())
                lines.removeLast();
        }
        qsizetype include = 0;
        while (include < lines.size() && !lines[include].startsWith("<!--#include"))
            CopyLine(lines[include++]);

        Line(u"<P>LAST UPDATED "_s + EnglishDate(FToday));
        if (FOptions.TradeForm)
            FormHead();
        Directory();
        for (const auto &race : FCatalogue.Races()) {
            Say(u"Processing "_s + race->Name + u"..."_s);
            const std::vector<TInventoryData *> &rows = RowsOf(*race);
            if (rows.empty())
                continue;
            if (FOptions.Style == TExportStyle::RaceLists)
                ListSection(race->Name, rows);
            else
                GridSection(race->Name, rows);
        }
        Say(u"Processing terrains..."_s);
        if (!FTerrainRows.empty())
            ListSection(u"Terrains"_s, FTerrainRows);

        for (qsizetype rest = include + 1; rest < lines.size(); ++rest)
            CopyLine(lines[rest]);
    }

    void CopyLine(QByteArray line)
    {
        Flush();
        if (line.endsWith('\r'))
            line.chop(1);
        FOut += line;
        FOut += "\r\n";
    }

    void FormHead()
    {
        Line(u"<FORM METHOD=\"POST\" ACTION=\""_s + Escaped(FOptions.Script) + u"\">"_s);
        Line(u"<P>Your Name<BR>"_s);
        Line(u"<INPUT TYPE=\"TEXT\" NAME=\"name\" SIZE=40>"_s);
        Line(u"<P>Your EMAIL address<BR>"_s);
        Line(u"<INPUT TYPE=\"TEXT\" NAME=\"email\" SIZE=40>"_s);
        Line(u"<P>Your mailing address<BR>"_s);
        Line(u"<TEXTAREA NAME=\"address\" ROWS=4 COLS=64></TEXTAREA>"_s);
        if (FOptions.IncludeCC) {
            Line(u"<P>Enter credit card number and expiration date<BR>"_s);
            Line(u"below if you want to pay via credit card.<BR>"_s);
            Line(u"<INPUT TYPE=\"TEXT\" NAME=\"card\" SIZE=30> <INPUT TYPE=\"TEXT\" NAME=\"date\" SIZE=5>"_s);
        }
        Line(u"<P>Notes and Comments<BR>"_s);
        Line(u"<TEXTAREA NAME=\"notes\" ROWS=2 COLS=64></TEXTAREA>"_s);
        Line(u"<P><INPUT TYPE=\"SUBMIT\" VALUE=\"SEND\">"_s);
    }

    void Directory()
    {
        Line(u"<H3><A NAME=\"Directory\">Directory</A></H3>"_s);
        Line(u"<UL>"_s);
        Say(u"Scanning for directory..."_s);
        for (const auto &race : FCatalogue.Races()) {
            if (!RowsOf(*race).empty())
                Line(u"<LI><A HREF=\"#"_s + HtmlAnchor(race->Name) + u"\">"_s + Escaped(race->Name) + u"</A>"_s);
        }
        if (!FTerrainRows.empty())
            Line(u"<LI><A HREF=\"#Terrains\">Terrains</A>"_s);
        Line(u"</UL>"_s);
    }

    void Heading(const QString &name)
    {
        Line(u"<H3><A NAME=\""_s + HtmlAnchor(name) + u"\">"_s + Escaped(name) + u"</A></H3>"_s);
    }

    void ReturnToDirectory() { Line(u"<P><A HREF=\"#Directory\">Return to Directory</A>"_s); }

    QString FontStart(const TInventoryData &item) const
    {
        if (PriceGrids())
            return {};
        const qint64 q = Quantity(item);
        const quint32 color = q < 0         ? FOptions.WantColor
                              : item.Locked ? FOptions.LockColor
                              : q == 0      ? FOptions.DefaultColor
                                            : FOptions.HaveColor;
        // The italics of a die marked for trading are never closed; pages have always
        // been written so.
        return (item.Trading ? u"<I>"_s : QString()) + u"<FONT COLOR=\""_s + ColorText(color) + u"\">"_s;
    }
    QString FontEnd() const { return PriceGrids() ? QString() : u"</FONT>"_s; }

    static QString Status(const TInventoryData &item)
    {
        const qint64 q = Quantity(item);
        if (q > 0)
            return u"<B>HAVE "_s + QString::number(q) + u"</B>"_s;
        if (q < 0)
            return u"<B>WANT "_s + QString::number(-q) + u"</B>"_s;
        return u"---"_s;
    }

    void AppendWidget(const TInventoryData &item)
    {
        FText += u"<IMG SRC=\""_s;
        FText += FWidgetFile;
        FText += u"\" ALT=\""_s;
        FText += Escaped(FacesText(item));
        FText += u"\">"_s;
    }

    void AppendInputField(const TInventoryData &item)
    {
        qint32 a = 0;
        qint32 b = 0;
        TInventory::ItemReference(item, a, b);
        FText += u"<INPUT TYPE=\"TEXT\" NAME=\""_s;
        FText += ItemFieldKey(a, b);
        FText += u"\" SIZE=4"_s;
        if (FOptions.JavaScript) {
            FText += u" onFocus=\"SetupDie(this,"_s;
            FText += QString::number(item.Price());
            FText += u",'"_s;
            FText += ScriptString(item.Name);
            FText += u"',"_s;
            FText += QString::number(Quantity(item));
            FText += item.Locked ? u",true)\""_s : u",false)\""_s;
            FText += u" onKeyUp=\"ProcessDie(this)\" onChange=\"ProcessDie(this)\""_s;
        }
        FText += u'>';
    }

    void ListSection(const QString &name, const std::vector<TInventoryData *> &rows)
    {
        Heading(name);
        Line(u"<TABLE BORDER=2>"_s);
        QString head = u"<TR><TD><FONT SIZE=\"-1\">Name</FONT></TD><TD><FONT SIZE=\"-1\">Type</FONT></TD>"
                       u"<TD><FONT SIZE=\"-1\">Size</FONT></TD>"_s;
        if (!PriceGrids())
            head += u"<TD ALIGN=right><FONT SIZE=\"-1\">#</FONT></TD>"_s;
        if (FOptions.ShowValues)
            head += u"<TD ALIGN=right><FONT SIZE=\"-1\">Price</FONT></TD>"_s;
        Line(head + u"</TR>"_s);
        for (const TInventoryData *row : rows)
            ListRow(*row);
        Line(u"</TABLE>"_s);
        ReturnToDirectory();
    }

    void ListRow(const TInventoryData &item)
    {
        const QString start = FontStart(item);
        const QString end = FontEnd();
        const auto cell = [&](const QString &text) {
            FText += start;
            FText += text;
            FText += end;
        };
        FText += u"<TR><TD>"_s;
        FText += start;
        if (FOptions.ShowWidgets) {
            AppendWidget(item);
            FText += u' ';
        }
        FText += Escaped(item.Name);
        FText += end;
        FText += u"</TD><TD>"_s;
        cell(Escaped(item.KindText()));
        FText += u"</TD><TD>"_s;
        cell(Escaped(item.SizeText()));
        if (!PriceGrids()) {
            FText += u"</TD><TD>"_s;
            cell(Status(item));
        }
        if (FOptions.ShowValues) {
            FText += u"</TD><TD ALIGN=right>"_s;
            cell(QString::number(item.Price()));
            FText += u"</TD>"_s;
        }
        if (FOptions.TradeForm) {
            FText += u"</TD><TD>"_s;
            AppendInputField(item);
            FText += u"</TD>"_s;
        }
        FText += u"</TR>"_s;
        EndLine();
    }

    void GridCell(const TInventoryData &item)
    {
        FText += u"<TD>"_s;
        FText += FontStart(item);
        if (FOptions.ShowWidgets) {
            AppendWidget(item);
            FText += u"<BR>"_s;
        }
        FText += Escaped(item.Name);
        FText += u"<BR>"_s;
        if (!PriceGrids()) {
            FText += Status(item);
            FText += u"<BR>"_s;
        }
        if (FOptions.ShowValues) {
            FText += QString::number(item.Price());
            FText += u" pts"_s;
        }
        if (FOptions.TradeForm) {
            if (FOptions.ShowValues)
                FText += u"<BR>"_s;
            AppendInputField(item);
        }
        FText += FontEnd();
        FText += u"</TD>"_s;
        EndLine();
    }

    void GridSection(const QString &name, const std::vector<TInventoryData *> &rows)
    {
        constexpr int kProfessions = VocabularyCount<Profession>();
        constexpr int kHealths = int(kRarityNames.size());
        // [profession][health - 1]; a later die of the same kind takes the place.
        std::array<std::array<const TInventoryData *, kHealths>, kProfessions> table{};
        std::array<bool, kProfessions> professionUsed{};
        std::array<bool, kHealths> healthUsed{};
        bool tableUsed = false;
        std::vector<const TInventoryData *> side;
        for (const TInventoryData *row : rows) {
            const auto &die = static_cast<const TDie &>(*row);
            const int health = die.Health();
            // A die of a health the grid has no row for stays in the side list rather
            // than being left out of the page.
            if (die.GetProfession() == Profession::None || health < 1 || health > kHealths) {
                side.push_back(row);
                continue;
            }
            const auto p = size_t(die.GetProfession());
            const auto h = size_t(health - 1);
            table[p][h] = row;
            professionUsed[p] = true;
            healthUsed[h] = true;
            tableUsed = true;
        }
        if (!tableUsed && side.empty())
            return;
        Heading(name);
        if (tableUsed) {
            Line(u"<TABLE BORDER=2>"_s);
            QString head = u"<TR><TD><FONT SIZE=\"-1\">Size</FONT></TD>"_s;
            for (int p = 0; p < kProfessions; ++p) {
                if (professionUsed[size_t(p)])
                    head += u"<TD><FONT SIZE=\"-1\">"_s + NameOf(Profession(p)) + u"</FONT></TD>"_s;
            }
            Line(head + u"</TR>"_s);
            for (int h = 0; h < kHealths; ++h) {
                if (!healthUsed[size_t(h)])
                    continue;
                Line(u"<TR><TD><FONT SIZE=\"-1\">"_s + QString::fromUtf16(kRarityNames[size_t(h)]) +
                     u"</FONT></TD>"_s);
                for (int p = 0; p < kProfessions; ++p) {
                    if (!professionUsed[size_t(p)])
                        continue;
                    if (const TInventoryData *item = table[size_t(p)][size_t(h)])
                        GridCell(*item);
                    else
                        Line(u"<TD></TD>"_s);
                }
                Line(u"</TR>"_s);
            }
            Line(u"</TABLE>"_s);
        }
        if (!side.empty()) {
            Line(u"<TABLE BORDER=2>"_s);
            Line(u"<TR>"_s);
            for (const TInventoryData *item : side)
                GridCell(*item);
            Line(u"</TR>"_s);
            Line(u"</TABLE>"_s);
        }
        ReturnToDirectory();
    }

    const std::vector<TInventoryData *> &FRows;
    const TCatalogue &FCatalogue;
    const TTradeListOptions &FOptions;
    QDate FToday;
    const TExportStatus &FStatus;
    std::unordered_map<const TRace *, std::vector<TInventoryData *>> FRaceRows;
    std::vector<TInventoryData *> FTerrainRows;
    // The widget file's name is the same on every entry; it is escaped once.
    const QString FWidgetFile = Escaped(FOptions.WidgetFile);
    QString FText;
    QByteArray FOut;
};

} // namespace

QByteArray TradeListText(const std::vector<TInventoryData *> &rows, const TCatalogue &catalogue,
                         const TTradeListOptions &options, QDate today, const QByteArray &frame,
                         const TExportStatus &status)
{
    return TTradeListWriter(rows, catalogue, options, today, status).Write(frame);
}

QByteArray ReadFrameFile(const QString &path)
{
    // A pipe or a device would never end; a frame is a page on disk.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw TFileAccessError(u"Cannot read \"%1\": it is not a regular file."_s.arg(path));
    QByteArray frame;
    ReadFileWith(path, [&](QIODevice &file) {
        frame = file.readAll();
        if (frame.size() != file.size())
            throw TFileAccessError(u"Cannot read \"%1\": %2"_s.arg(path, file.errorString()));
    });
    return frame;
}

void SaveTradeListFile(const QString &path, const QByteArray &text)
{
    SaveFileWith(path, [&](QIODevice &file) {
        if (file.write(text) != text.size())
            throw TFileAccessError(u"Cannot write \"%1\": %2"_s.arg(path, file.errorString()));
    });
}

bool UsesFrame(const TTradeListOptions &options)
{
    return IsHtmlStyle(options.Style) && !options.FrameFile.isEmpty();
}

void ExportTradeList(const QString &path, const std::vector<TInventoryData *> &rows, const TCatalogue &catalogue,
                     const TTradeListOptions &options, QDate today, const TExportStatus &status)
{
    // The frame is read whole before the output is written, so the output may even
    // replace the frame it was framed in.
    const QByteArray frame = UsesFrame(options) ? ReadFrameFile(options.FrameFile) : QByteArray();
    SaveTradeListFile(path, TradeListText(rows, catalogue, options, today, frame, status));
}
