#include "RealRarLookup.h"

#include <QProcess>
#include <QStandardPaths>

namespace tessaro::test {

QString realRarProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("rar"));
}

QString realUnrarProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("unrar"));
}

QString realRarMissingReason()
{
    if (realRarProgram().isEmpty())
        return QStringLiteral("RAR for Linux (rar) is not installed; scripts/install-deps.sh "
                              "installs it from Debian's non-free component");
    if (realUnrarProgram().isEmpty())
        return QStringLiteral("unrar is not installed; scripts/install-deps.sh installs it");
    return {};
}

std::optional<QStringList> rarEntryNames(const QString& archive)
{
    QProcess lister;
    // Names outside ASCII come out as UTF-8 only under a UTF-8 locale.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    lister.setProcessEnvironment(environment);
    // -cfg-: a configuration file of the user's cannot change the listing.
    lister.start(realUnrarProgram(), {QStringLiteral("lb"), QStringLiteral("-cfg-"), archive});
    if (!lister.waitForFinished(60000) || lister.exitStatus() != QProcess::NormalExit ||
        lister.exitCode() != 0)
        return std::nullopt;
    QStringList names = QString::fromUtf8(lister.readAllStandardOutput())
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    names.sort();
    return names;
}

} // namespace tessaro::test
