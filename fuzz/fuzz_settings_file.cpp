// The input is a settings file. Whatever it holds, opening it must not crash; a file that
// cannot be used is never written over; a usable one keeps every value it held (and the
// entries this version does not know) through a write, and a second round writes the
// very same file. The values that start-up reads from it go through their own checks.

#include "FuzzSupport.h"

#include "shell/ResultMap.h"
#include "shell/SettingsStore.h"
#include "shell/WindowRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr const char *kTarget = "fuzz_settings_file";

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        FuzzFault(kTarget, "cannot prepare the input file");
}

// Every value read the ways the program reads values, and the blocks start-up decodes.
void ReadEverything(const TSettingsStore &store, const QStringList &names)
{
    for (const QString &name : names) {
        store.ReadBoolSetting(name, false);
        store.ReadStringSetting(name, QString());
        store.ReadIntegerSetting(name, 0);
        if (store.TypeOf(name) == TSettingType::Binary)
            WindowRecord::FromBytes(store.Binary(name));
    }
    TResultMap map;
    map.Load(store);
    std::array<bool, kResultTypeCount + 1> seen{};
    for (int t = 0; t < kResultTypeCount; ++t) {
        const int position = map.Position(ResultType(t));
        if (position < 1 || position > kResultTypeCount || seen[size_t(position)])
            FuzzFault(kTarget, "a result order that is not an order of the 15 positions");
        seen[size_t(position)] = true;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("CurrentVersion.json"));
    const QByteArray input = FuzzBytes(data, size);
    WriteBytes(path, input);

    TFileSettingsStore store(path);
    const QStringList names = store.Names();
    ReadEverything(store, names);
    if (!store.Writable()) {
        if (store.LastError().isEmpty())
            FuzzFault(kTarget, "an unusable settings file without a word why");
        store.WriteInteger(QStringLiteral("Probe"), 7);
        if (FileBytes(path) != input)
            FuzzFault(kTarget, "a settings file that could not be used was written over");
        return 0;
    }

    store.WriteInteger(QStringLiteral("Probe"), 7);
    if (!store.LastError().isEmpty())
        FuzzFault(kTarget, "a usable settings file could not be written");
    const QByteArray first = FileBytes(path);

    TFileSettingsStore again(path);
    if (!again.Writable() || !again.LastError().isEmpty())
        FuzzFault(kTarget, "a settings file the program wrote does not read back");
    QStringList expected = names;
    if (!expected.contains(QStringLiteral("Probe"))) {
        expected << QStringLiteral("Probe");
        expected.sort();
    }
    if (again.Names() != expected || again.Integer(QStringLiteral("Probe")) != 7)
        FuzzFault(kTarget, "values were lost or made up by a write");
    for (const QString &name : names) {
        if (name == QStringLiteral("Probe"))
            continue;
        if (again.TypeOf(name) != store.TypeOf(name) || again.Integer(name) != store.Integer(name) ||
            again.Text(name) != store.Text(name) || again.Binary(name) != store.Binary(name))
            FuzzFault(kTarget, "a value changed on its way through the file");
    }
    again.WriteInteger(QStringLiteral("Probe"), 7);
    if (FileBytes(path) != first)
        FuzzFault(kTarget, "a second round wrote another file");
    return 0;
}
