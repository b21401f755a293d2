#include "ToolCommon.h"

#include "dice/Catalogue.h"
#include "inventory/Inventory.h"
#include "inventory/KeepRules.h"
#include "io/FileAccess.h"
#include "reports/AlertList.h"
#include "reports/TradeListExport.h"
#include "shell/Clock.h"
#include "shell/SettingsStore.h"

#include <QTextStream>

#include <algorithm>
#include <array>

namespace KrTool {

namespace {

// The keep rules as the alert report window holds them after reading the settings:
// the defaults with the --rule values over them.
TKeepRules ParseRules(const TCommandLine &line)
{
    TMemorySettingsStore settings;
    for (const QString &rule : line.Values(u"rule"_s)) {
        const QString key = rule.section(u'=', 0, 0);
        const QString value = rule.section(u'=', 1);
        const auto &known = TKeepRules::Settings();
        const auto setting = std::find_if(known.begin(), known.end(), [&](const TKeepRules::TSetting &s) {
            return key == QStringView(s.Key) && key != u"IRSearchType";
        });
        if (setting == known.end() || !rule.contains(u'='))
            throw TUsageError(u"--rule takes KEY=VALUE with a keep rule setting such as IRCommon, not \"%1\"."_s.arg(rule));
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || number < 0 || number > setting->Max)
            throw TUsageError(u"--rule %1 must be a whole number from 0 to %2."_s.arg(key).arg(setting->Max));
        settings.WriteIntegerSetting(key, number);
    }
    TKeepRules rules;
    rules.Load(settings);
    rules.LockedAsLiked = line.IsSet(u"locked-is-liked"_s);
    rules.SearchType = qint32(ParseVocabulary<TAlertSearch>(u"search"_s, line.Value(u"search"_s)));
    return rules;
}

TTradeListOptions ParseExportOptions(const TCommandLine &line)
{
    TTradeListOptions options;
    options.Style = ParseVocabulary<TExportStyle>(u"style"_s, line.Value(u"style"_s));
    options.ShowValues = !line.IsSet(u"no-values"_s);
    options.ShowWidgets = line.IsSet(u"widget"_s);
    if (options.ShowWidgets)
        options.WidgetFile = line.Value(u"widget"_s);
    options.TradeForm = line.IsSet(u"form"_s);
    if (options.TradeForm)
        options.Script = line.Value(u"form"_s);
    if (line.IsSet(u"max-lock"_s))
        options.MaxLock = qint32(line.Integer(u"max-lock"_s, 0, TTradeListOptions::kMaxLockLimit));
    options.Aggressive = line.IsSet(u"aggressive"_s);
    options.IncludeCC = line.IsSet(u"include-cc"_s);
    options.JavaScript = line.IsSet(u"javascript"_s);
    options.FrameFile = line.Value(u"frame"_s);
    if (line.IsSet(u"frame"_s) && options.FrameFile.isEmpty())
        throw TUsageError(u"export-alerts: a file name is empty."_s);
    if (line.IsSet(u"colors"_s)) {
        const QStringList texts = line.Value(u"colors"_s).split(u',');
        std::array<quint32 *, 4> colors{&options.WantColor, &options.DefaultColor, &options.HaveColor,
                                        &options.LockColor};
        if (texts.size() != int(colors.size()))
            throw TUsageError(u"--colors takes four colours such as #FF0000,#000000,#008000,#FF0000."_s);
        for (size_t i = 0; i < colors.size(); ++i) {
            const std::optional<quint32> color = ColorFromText(texts[qsizetype(i)].trimmed());
            if (!color)
                throw TUsageError(u"--colors: \"%1\" is not a colour of the form #RRGGBB."_s.arg(texts[qsizetype(i)]));
            *colors[i] = *color;
        }
    }
    return options;
}

} // namespace

int ExportAlerts(const TContext &context, const QStringList &args)
{
    const TCommandLine line(
        u"export-alerts"_s, args,
        {ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s), ValueOption(u"search"_s, u"NAME"_s),
         ValueOption(u"style"_s, u"NAME"_s), ValueOption(u"rule"_s, u"KEY=VALUE"_s),
         QCommandLineOption(u"locked-is-liked"_s), QCommandLineOption(u"no-values"_s),
         ValueOption(u"widget"_s, u"FILE"_s), ValueOption(u"form"_s, u"SCRIPT"_s), ValueOption(u"max-lock"_s, u"N"_s),
         QCommandLineOption(u"aggressive"_s), QCommandLineOption(u"include-cc"_s),
         QCommandLineOption(u"javascript"_s), ValueOption(u"frame"_s, u"FILE"_s), ValueOption(u"colors"_s, u"LIST"_s),
         ValueOption(u"date"_s, u"YYYY-MM-DD"_s)},
        2);
    if (!line.IsSet(u"search"_s) || !line.IsSet(u"style"_s))
        throw TUsageError(u"export-alerts needs --search and --style."_s);
    TKeepRules rules = ParseRules(line);
    const TTradeListOptions options = ParseExportOptions(line);
    QDate today = TSystemClock().Now().date();
    if (line.IsSet(u"date"_s)) {
        today = QDate::fromString(line.Value(u"date"_s), Qt::ISODate);
        if (!today.isValid())
            throw TUsageError(u"--date must be a date written YYYY-MM-DD."_s);
    }
    const QString inventoryPath = line.Positional(0);
    const QString outPath = line.Positional(1);

    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    TSystemClock clock;
    TInventory inventory(catalogue, clock);
    inventory.Rules = rules;
    TInventoryReadResult read;
    try {
        read = inventory.LoadFile(inventoryPath);
    } catch (const TKrException &failure) {
        throw TFileProblem(inventoryPath, failure.Message());
    }
    if (read.NotFound > 0)
        context.Err << TInventory::InventoryNotFoundMessage(read.NotFound) << u'\n';
    QByteArray frame;
    if (UsesFrame(options)) {
        try {
            frame = ReadFrameFile(options.FrameFile);
        } catch (const TKrException &failure) {
            throw TFileProblem(options.FrameFile, failure.Message());
        }
    }
    TAlertList list;
    list.Run(catalogue, inventory.Rules);
    try {
        SaveTradeListFile(outPath, TradeListText(list.Items(), catalogue, options, today, frame));
    } catch (const TKrException &failure) {
        throw TFileProblem(outPath, failure.Message());
    }
    return 0;
}

} // namespace KrTool
