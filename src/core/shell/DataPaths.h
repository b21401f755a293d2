#pragma once

#include <QString>

// Where the program's own data files (the race database and the face symbols) live:
// the executable's folder unless the command line (--data-dir) or the environment
// (KRASSIST_DATA_DIR) names another.
class TDataPaths
{
public:
    TDataPaths() = default;
    explicit TDataPaths(QString directory) : FDirectory(std::move(directory)) {}

    // The option wins over the environment, the environment over the program's folder.
    static TDataPaths Resolve(const QString &option, const QString &applicationDir);

    const QString &Directory() const { return FDirectory; }
    QString DataFilePath(const QString &name) const;

private:
    QString FDirectory;
};

inline constexpr char16_t kRaceFileName[] = u"KRRACES.DAT";
inline constexpr char16_t kIconFileName[] = u"KRICONS.DAT";
