#include "net/NetService.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/Screenshot.h"
#include "shell/SettingsStore.h"
#include "shell/UnattendedPrompts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Tarrowind Assistant"_s);
    QApplication::setApplicationVersion(QStringLiteral(KR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Tarrowind Assistant: the catalogue, collection, armies and games of Tarrowind."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataDir(u"data-dir"_s, u"Read the race database and face symbols from DIR."_s, u"DIR"_s);
    const QCommandLineOption screenshot(
        u"screenshot"_s, u"Render the main window after start-up to FILE (PNG) and exit."_s, u"FILE"_s);
    parser.addOption(dataDir);
    parser.addOption(screenshot);
    parser.addPositionalArgument(u"documents"_s, u"Army (.kra), army group (.krg) or game (.kgm) files to open."_s,
                                 u"[FILE...]"_s);
    parser.process(application);

    // The settings outlive the main window, which writes to them as it closes.
    TFileSettingsStore settings(TFileSettingsStore::DefaultPath());
    // A picture is taken without a person at the screen: nothing may wait for a click.
    const bool unattended = parser.isSet(screenshot);
    TDialogPrompts dialogs;
    TUnattendedPrompts answers(stderr);
    TPrompts &prompts = unattended ? static_cast<TPrompts &>(answers) : dialogs;
    TfrmMain main(settings, prompts, TDataPaths::Resolve(parser.value(dataDir), QApplication::applicationDirPath()),
                  parser.positionalArguments());
    dialogs.SetParent(&main);
    // The keyring where the desktop has one; the owner-only settings file where not.
    main.Net().SetPasswordStore(std::make_unique<TKeyringPasswordStore>(settings));
    main.CreateWindows();
    if (!settings.LastError().isEmpty())
        prompts.Warning(main.windowTitle(), settings.LastError());
    main.show();

    if (unattended) {
        const QString path = QDir::current().absoluteFilePath(parser.value(screenshot));
        if (!SaveScreenshot(main, path)) {
            std::fprintf(stderr, "krassist: cannot write %s\n", qPrintable(path));
            return 1;
        }
        // What the picture's status line says, for a script to read (it tells, among other
        // things, where an installed program read its catalogue from).
        std::printf("Status: %s\n", qPrintable(main.StatusText()));
        std::printf("The picture of the main window is in %s\n", qPrintable(path));
        // A document that could not be opened is a failure of the run, picture or not.
        return main.DocumentFailures() > 0 ? 1 : 0;
    }
    return application.exec();
}
