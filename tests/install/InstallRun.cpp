#include "InstallRun.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>

namespace tessaro::test {

using namespace Qt::StringLiterals;

ToolResult runTool(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& extra)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(extra);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(5 * 60 * 1000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, program + u": "_s + process.errorString()};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAll())};
}

QStringList filesBelow(const QString& root)
{
    const QDir base(root);
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(base.relativeFilePath(it.next()));
    files.sort();
    return files;
}

QList<int> iconSizes()
{
    return {16, 22, 24, 32, 48, 64, 128, 256};
}

QString appId()
{
    return QStringLiteral(TESSARO_APP_ID_TEXT);
}

QStringList expectedInstalledFiles()
{
    QStringList files{
        u"usr/bin/tessaro"_s,
        u"usr/share/applications/"_s + appId() + u".desktop"_s,
        u"usr/share/doc/tessaro/changelog.gz"_s,
        u"usr/share/doc/tessaro/copyright"_s,
        u"usr/share/doc/tessaro/tessaro.pdf"_s,
        u"usr/share/icons/hicolor/scalable/apps/"_s + appId() + u".svg"_s,
        u"usr/share/man/man1/tessaro.1.gz"_s,
        u"usr/share/metainfo/"_s + appId() + u".metainfo.xml"_s,
    };
    for (const int size : iconSizes())
        files.append(u"usr/share/icons/hicolor/%1x%1/apps/"_s.arg(size) + appId() + u".png"_s);
    files.sort();
    return files;
}

} // namespace tessaro::test
