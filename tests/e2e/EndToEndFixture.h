#pragma once

#include "ProgramRun.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace tessaro {

using test::ProgramRun;

inline QString s(const char* text)
{
    return QString::fromUtf8(text);
}

// A program of the build, named as the program under test must see it: with
// its drive on Windows (the test's working folder is on the build's drive,
// the program's is not) and in native separators.
inline QString builtProgram(const char* path)
{
    return QDir::toNativeSeparators(QFileInfo(QString::fromUtf8(path)).absoluteFilePath());
}

inline QString q(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A line that ends in a duration, which depends on the machine's speed, with
// that duration written as "hh:mm:ss"; the rest stays letter for letter.
inline QString withDurationShown(QString line)
{
    static const QRegularExpression duration(QStringLiteral("\\d\\d:\\d\\d:\\d\\d$"));
    return line.replace(duration, QStringLiteral("hh:mm:ss"));
}

// What a program whose disk is full writes about its configuration file:
// the failed write, and a failed save after the pass and another before its
// end. Each line reaches standard error as well as the log.
struct FullDiskSaveTexts
{
    explicit FullDiskSaveTexts(const QString& iniFile)
        : writeFailed(QStringLiteral("could not write configuration file ") + q(iniFile) + reason),
          notSaved(QStringLiteral("could not save configuration file ") + q(iniFile) + reason)
    {}

    // Standard error, its line ends made plain.
    QString errorOutput() const
    {
        return writeFailed + QLatin1Char('\n') + notSaved + QLatin1Char('\n') + notSaved +
               QLatin1Char('\n');
    }

    const QString reason = QStringLiteral(": No space left on device");
    const QString writeFailed;
    const QString notSaved;
};

// A program folder with a source folder of two files (one in a subfolder)
// and an empty destination, configured to back up once at start and end.
// The archiver is the stand-in archiver where there is one (it writes real
// ZIP data); elsewhere a fake that writes a small archive file.
class EndToEnd : public ::testing::Test
{
protected:
    EndToEnd()
    {
        source = test::withSlash(run.path(s("source")));
        destination = test::withSlash(run.path(s("backup")));
        test::writeFile(source + s("notes.txt"), "notes");
        test::writeFile(source + s("sub/deep.txt"), "deep");
        QDir().mkpath(destination);
    }

    // The configuration: the given settings lines, then one rule.
    void configure(const QString& settings, const QString& rule = QString(),
                   const QString& archiver = builtProgram(TESSARO_E2E_ARCHIVER))
    {
        const QString text = s("[Settings]\r\nWinRARLocation=") + archiver +
                             s("\r\nBackupOnStart=1\r\nExitAfterBackupOnce=1\r\n"
                               "StorePaths=Relative paths\r\n") +
                             settings + s("\r\n[backup_rules_0]\r\nSourceFolder=") + source +
                             s("\r\nDestinationFolder=") + destination +
                             s("\r\nDestinationFilename=docs_#ymd_hns#\r\n"
                               "IncludeSubFolders=1\r\n") +
                             rule;
        run.writeConfig(text.toUtf8());
    }

    QStringList archives() const
    {
        return QDir(destination).entryList({s("*.rar")}, QDir::Files, QDir::Name);
    }

    ProgramRun run;
    QString source;
    QString destination;
};

} // namespace tessaro
