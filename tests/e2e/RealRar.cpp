#include "RealRar.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace tessaro::test {

RealRar::RealRar()
    : m_rar(QStandardPaths::findExecutable(QStringLiteral("rar"))),
      m_unrar(QStandardPaths::findExecutable(QStringLiteral("unrar")))
{}

QString RealRar::missingReason() const
{
    return QStringLiteral("RAR for Linux is not installed (no rar and unrar on PATH): "
                          "scripts/install-deps.sh installs it from Debian's non-free "
                          "component unless TESSARO_NO_NONFREE=1");
}

QString RealRar::passwordSwitch(const QString& password)
{
    // "-p-": no password, and never a question for one.
    return password.isEmpty() ? QStringLiteral("-p-") : QStringLiteral("-p") + password;
}

RealRar::Output RealRar::runTool(const QString& program, const QStringList& arguments) const
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(QStringList{QStringLiteral("-cfg-")} + arguments);
    // unrar prints names in its locale's character set; the tests read UTF-8.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    Output output;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return output;
    output.exitCode = process.exitCode();
    output.standardOutput = process.readAllStandardOutput();
    return output;
}

QStringList RealRar::entries(const QString& archive, const QString& password) const
{
    const Output output =
        runTool(m_unrar, {QStringLiteral("lb"), passwordSwitch(password), archive});
    return QString::fromUtf8(output.standardOutput).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int RealRar::test(const QString& archive, const QString& password) const
{
    return runTool(m_unrar, {QStringLiteral("t"), QStringLiteral("-inul"), passwordSwitch(password),
                             archive})
        .exitCode;
}

QByteArray RealRar::content(const QString& archive, const QString& entry,
                            const QString& password) const
{
    return runTool(m_unrar, {QStringLiteral("p"), QStringLiteral("-inul"), passwordSwitch(password),
                             archive, entry})
        .standardOutput;
}

QString RealRar::details(const QString& archive, const QString& entry) const
{
    return QString::fromUtf8(
        runTool(m_unrar, {QStringLiteral("vt"), QStringLiteral("-p-"), archive, entry})
            .standardOutput);
}

int RealRar::create(const QString& archive, const QString& folder) const
{
    return runTool(m_rar, {QStringLiteral("a"), QStringLiteral("-r"), QStringLiteral("-ep1"),
                           QStringLiteral("-inul"), archive,
                           QDir(folder).absolutePath() + QLatin1Char('/')})
        .exitCode;
}

} // namespace tessaro::test
