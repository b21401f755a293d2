#pragma once

#include <QString>

// Where the program's own data files (the race database and the face symbols) live:
// the executable's folder unless the command line (--data-dir) or the environment
// (KRASSIST_DATA_DIR) names another.
//
// An installed program (its catalogue in share/krassist beside its bin folder) or one
// whose folder cannot be written keeps the user's changes apart: each file is read from
// the per-user data folder when it is there, otherwise from the installed copy, and is
// always written to the per-user folder.
class TDataPaths
{
public:
    TDataPaths() = default;
    // One folder the files are read from and written to.
    explicit TDataPaths(QString directory) : FDirectory(std::move(directory)) {}
    // An installed copy, and the user's own folder that overrides it.
    TDataPaths(QString installedDirectory, QString userDirectory)
        : FDirectory(std::move(installedDirectory)), FUserDirectory(std::move(userDirectory))
    {}

    // The option wins over the environment, the environment over the program's folder.
    static TDataPaths Resolve(const QString &option, const QString &applicationDir);
    // "krassist" in the per-user data folder ($XDG_DATA_HOME, else ~/.local/share).
    static QString UserDataDirectory();

    // The folder named, or the installed copy.
    const QString &Directory() const { return FDirectory; }
    // Empty unless the program is installed.
    const QString &UserDirectory() const { return FUserDirectory; }
    bool Installed() const { return !FUserDirectory.isEmpty(); }

    // Where the file is read from, and where it is saved. An installed program's own
    // folder is made when a save asks for it (if it cannot be, the save says so).
    QString DataFilePath(const QString &name) const;
    QString SavePath(const QString &name) const;
    // For the status line of an installed program: where the catalogue was read from.
    // Empty when the program is not installed or found neither file.
    QString SourceText() const;

private:
    QString FDirectory;
    QString FUserDirectory;
};

inline constexpr char16_t kRaceFileName[] = u"KRRACES.DAT";
inline constexpr char16_t kIconFileName[] = u"KRICONS.DAT";
