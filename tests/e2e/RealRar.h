#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tessaro::test {

// RAR for Linux as the tests find it on PATH: `rar` to make archives, `unrar`
// to read back what an archive holds. Every call ignores the archiver's own
// configuration file and variable, so that the test's reading is the same
// on every machine.
class RealRar
{
public:
    RealRar();

    bool available() const { return !m_rar.isEmpty() && !m_unrar.isEmpty(); }
    // Why the real-archiver tests cannot run here.
    QString missingReason() const;
    QString rar() const { return m_rar; }

    // The names of the archive's entries, "/"-separated, in its order.
    QStringList entries(const QString& archive, const QString& password = QString()) const;
    // unrar's exit code of the archive test: 0 sound, 11 wrong or missing
    // password, 3 damaged.
    int test(const QString& archive, const QString& password = QString()) const;
    // The bytes of one entry.
    QByteArray content(const QString& archive, const QString& entry,
                       const QString& password = QString()) const;
    // unrar's technical listing of one entry (type, link target, compression).
    QString details(const QString& archive, const QString& entry) const;
    // Makes an archive of the folder's contents with rar directly; its exit code.
    int create(const QString& archive, const QString& folder) const;

private:
    struct Output
    {
        int exitCode = -1;
        QByteArray standardOutput;
    };
    Output runTool(const QString& program, const QStringList& arguments) const;
    static QString passwordSwitch(const QString& password);

    QString m_rar;
    QString m_unrar;
};

} // namespace tessaro::test
