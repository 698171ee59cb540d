// The archiver found through the registry, in Wine's or Windows' real
// registry: the test writes the installer's key itself and removes it again.

#include "TestFiles.h"
#include "core/ArchiverLocation.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

const QString archiverKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\WinRAR");

// The installer's key in one registry view, removed again at the end.
class RegistryKey final
{
public:
    explicit RegistryKey(QSettings::Format view) : m_key(archiverKey, view) { m_key.clear(); }
    ~RegistryKey()
    {
        m_key.clear();
        m_key.sync();
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    void set(const QString& name, const QString& value)
    {
        m_key.setValue(name, value);
        m_key.sync();
    }

private:
    QSettings m_key;
};

class ArchiverLocationWindows : public ::testing::Test
{
protected:
    QString archiverFile(const QString& name)
    {
        const QString path = QDir::toNativeSeparators(m_dir.filePath(name));
        test::writeFile(path, "MZ");
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(ArchiverLocationWindows, RegistryViewsAreReadInOrder)
{
    const QString in64 = archiverFile(QStringLiteral("64/WinRAR.exe"));
    const QString in32 = archiverFile(QStringLiteral("32/WinRAR.exe"));
    const QString missing = QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("gone.exe")));

    struct Case
    {
        const char* name;
        QString exe64In64, exeIn64, exeIn32;
        QString expected;
    };
    const Case cases[] = {
        {"64-bit view, exe64", in64, QString(), in32, in64},
        {"64-bit view, exe when exe64 is empty", QString(), in64, in32, in64},
        {"stale exe64 falls through to the 32-bit view", missing, in64, in32, in32},
        {"32-bit view only", QString(), QString(), in32, in32},
        {"nothing", QString(), QString(), QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryKey view64(QSettings::Registry64Format);
        RegistryKey view32(QSettings::Registry32Format);
        if (!c.exe64In64.isEmpty())
            view64.set(QStringLiteral("exe64"), c.exe64In64);
        if (!c.exeIn64.isEmpty())
            view64.set(QStringLiteral("exe"), c.exeIn64);
        if (!c.exeIn32.isEmpty())
            view32.set(QStringLiteral("exe"), c.exeIn32);

        ArchiverSources sources = PlatformArchiverSources();
        sources.scanFolders.clear();
        EXPECT_EQ(FindWinRAR(false, sources), c.expected);
    }
}

TEST_F(ArchiverLocationWindows, ProgramFoldersComeFromTheEnvironment)
{
    const ArchiverSources sources = PlatformArchiverSources();
    EXPECT_EQ(sources.scanFolders, (QStringList{qEnvironmentVariable("ProgramFiles"),
                                                qEnvironmentVariable("ProgramFiles(x86)"),
                                                qEnvironmentVariable("ProgramW6432")}));
    EXPECT_FALSE(sources.pathLookup);
    EXPECT_EQ(ArchiverFileName(), QStringLiteral("winrar.exe"));
}

TEST_F(ArchiverLocationWindows, ScanFindsTheArchiverInAProgramFolder)
{
    const QString archiver = archiverFile(QStringLiteral("Programs/WinRAR/WinRAR.exe"));
    ArchiverSources sources;
    sources.scanFolders = {QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("Programs")))};

    EXPECT_EQ(FindWinRAR(true, sources), archiver);
}

} // namespace
} // namespace tessaro
