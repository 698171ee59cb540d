#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>

namespace tessaro {
namespace {

using test::readFile;
using test::setModified;
using test::writeFile;

// Exit codes of the archiver.
constexpr int exitSuccess = 0;
constexpr int exitWarning = 1;
constexpr int exitFatal = 2;
constexpr int exitBadOption = 7;
constexpr int exitCreateError = 9;
constexpr int exitNoFiles = 10;
constexpr int exitWrongPassword = 11;

// ZIP compression methods, as in the local file header.
constexpr int methodStored = 0;
constexpr int methodDeflated = 8;

struct StoredEntry
{
    QByteArray data;
    std::time_t modified = 0;
    // Set for an entry stored as a symbolic link.
    std::string linkTarget;
};

// What libarchive finds in an archive: the entries by name, or the error
// that stopped the reading.
struct ArchiveContents
{
    std::map<std::string, StoredEntry> entries;
    int format = 0;
    std::string error;

    bool readable() const { return error.empty(); }
    std::set<std::string> names() const
    {
        std::set<std::string> result;
        for (const auto& [name, entry] : entries)
            result.insert(name);
        return result;
    }
};

using ReadHandle = std::unique_ptr<archive, decltype(&archive_read_free)>;

bool readEntryData(archive* reader, StoredEntry& entry)
{
    char buffer[16 * 1024];
    la_ssize_t count = 0;
    while ((count = archive_read_data(reader, buffer, sizeof buffer)) > 0)
        entry.data.append(buffer, count);
    return count == 0;
}

ArchiveContents readArchive(const QString& path, const char* password = nullptr)
{
    ArchiveContents contents;
    ReadHandle reader(archive_read_new(), archive_read_free);
    archive_read_support_format_zip(reader.get());
    if (password)
        archive_read_add_passphrase(reader.get(), password);
    archive_entry* header = nullptr;
    int status =
        archive_read_open_filename(reader.get(), QFile::encodeName(path).constData(), 16 * 1024);
    while (status == ARCHIVE_OK &&
           (status = archive_read_next_header(reader.get(), &header)) == ARCHIVE_OK) {
        const char* name = archive_entry_pathname_utf8(header);
        StoredEntry& entry = contents.entries[name ? name : "?"];
        entry.modified = archive_entry_mtime(header);
        contents.format = archive_format(reader.get()) & ARCHIVE_FORMAT_BASE_MASK;
        if (const char* target = archive_entry_symlink_utf8(header))
            entry.linkTarget = target;
        if (!readEntryData(reader.get(), entry))
            status = ARCHIVE_FAILED;
    }
    if (status != ARCHIVE_EOF)
        contents.error = archive_error_string(reader.get()) ? archive_error_string(reader.get())
                                                            : "unknown error";
    return contents;
}

// The compression method of the archive's first entry, from its local header.
int firstEntryMethod(const QByteArray& zip)
{
    if (zip.size() < 10 || !zip.startsWith("PK\x03\x04"))
        return -1;
    return static_cast<unsigned char>(zip[8]) | static_cast<unsigned char>(zip[9]) << 8;
}

QDateTime at(int hour)
{
    return QDateTime(QDate(2024, 3, 1), QTime(hour, 0), Qt::UTC);
}

class RarStandin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_source = m_dir.filePath(QStringLiteral("src")) + QLatin1Char('/');
        m_destination = m_dir.filePath(QStringLiteral("dst")) + QLatin1Char('/');
        m_log = m_dir.filePath(QStringLiteral("errors.log"));
        ASSERT_TRUE(QDir().mkpath(m_source));
        ASSERT_TRUE(QDir().mkpath(m_destination));
    }

    QString archivePath(const QString& name = QStringLiteral("backup.rar")) const
    {
        return m_destination + name;
    }

    void writeSource(const QString& relative, const QByteArray& bytes)
    {
        writeFile(m_source + relative, bytes);
    }

    // Runs the archiver the way Tessaro does: command, switches, the always
    // present -IBCK -INUL -ILOG, archive, source.
    int archive(const QString& command, const QStringList& switches, const QString& archive,
                const QString& source)
    {
        QStringList args{command};
        args << switches << QStringLiteral("-IBCK") << QStringLiteral("-INUL")
             << QStringLiteral("-ILOG") + m_log << archive << source;
        return run(args);
    }

    int archive(const QString& command, const QStringList& switches)
    {
        return archive(command, switches, archivePath(), m_source);
    }

    static int run(const QStringList& args)
    {
        QProcess process;
        process.start(QStringLiteral(TESSARO_RAR_STANDIN), args);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }

    // Everything in the destination folder, hidden files included.
    // Waits in the event loop until the archiver's temp file shows up in the
    // destination folder or the archiver ends, whichever comes first.
    void waitForTempFileOrEnd(QProcess& process) const
    {
        QFileSystemWatcher watcher({m_destination});
        QEventLoop loop;
        QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &loop, [&] {
            if (!destinationFiles().isEmpty())
                loop.quit();
        });
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        if (destinationFiles().isEmpty() && process.state() == QProcess::Running)
            loop.exec();
    }

    QStringList destinationFiles() const
    {
        return QDir(m_destination)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
    QString m_source;
    QString m_destination;
    QString m_log;
};

struct NamesCase
{
    QStringList switches;
    bool fullPaths;
    std::set<std::string> names;
};

TEST_F(RarStandin, EntryNamesFollowPathModeAndRecursion)
{
    writeSource(QStringLiteral("top.txt"), "top");
    writeSource(QStringLiteral(".hidden"), "hidden");
    writeSource(QStringLiteral("sub/inner.txt"), "inner");
    writeSource(QStringLiteral("sub/deeper/leaf.txt"), "leaf");
    ASSERT_TRUE(QDir().mkpath(m_source + QStringLiteral("empty")));

    const std::set<std::string> recursive{
        ".hidden",       "empty/", "sub/", "sub/deeper/", "sub/deeper/leaf.txt",
        "sub/inner.txt", "top.txt"};
    const std::set<std::string> flat{".hidden", "top.txt"};
    const NamesCase cases[] = {
        {{QStringLiteral("-r"), QStringLiteral("-ep1")}, false, recursive},
        {{QStringLiteral("-r-"), QStringLiteral("-ep1")}, false, flat},
        {{QStringLiteral("-r"), QStringLiteral("-ep2")}, true, recursive},
        {{QStringLiteral("-r-"), QStringLiteral("-ep2")}, true, flat},
        {{QStringLiteral("-r"), QStringLiteral("-ep3")}, true, recursive},
        {{QStringLiteral("-R-"), QStringLiteral("-EP1")}, false, flat},
    };
    // Full paths are stored without their leading "/".
    const std::string fullPrefix = m_source.mid(1).toStdString();
    int index = 0;
    for (const NamesCase& c : cases) {
        const QString path = archivePath(QStringLiteral("names%1.zip").arg(++index));
        SCOPED_TRACE(c.switches.join(QLatin1Char(' ')).toStdString());
        ASSERT_EQ(archive(QStringLiteral("a"), c.switches, path, m_source), exitSuccess);

        const ArchiveContents contents = readArchive(path);
        ASSERT_TRUE(contents.readable()) << contents.error;
        std::set<std::string> expected;
        for (const std::string& name : c.names)
            expected.insert(c.fullPaths ? fullPrefix + name : name);
        EXPECT_EQ(contents.names(), expected);
        const std::string leaf = (c.fullPaths ? fullPrefix : std::string()) + "top.txt";
        EXPECT_EQ(contents.entries.at(leaf).data, QByteArray("top"));
    }
    EXPECT_FALSE(QFile::exists(m_log));
}

struct ExclusionCase
{
    const char* name;
    QStringList masks;
    std::set<std::string> left;
};

// The exclusion switches Tessaro builds leave out what the real archiver
// leaves out for them (the real-archiver tests hold the same tree):
// "*/name" a name at any depth, files and folders; "mask" files by name,
// "mask/" folders by name; a full path that entry with all it holds.
TEST_F(RarStandin, ExclusionSwitchesLeaveOutWhatTheyName)
{
    for (const char* file :
         {"top.txt", "a.tmp", "node_modules.txt", "node_modules/pkg/index.js",
          "proj/node_modules/x.js", "proj/keep.txt", "proj/b.tmp", "proj/deep/node_modules",
          "cache.tmp/inner.txt", "docs/build/out.o", "build/out.o"})
        writeSource(QString::fromLatin1(file), "x");
    const std::set<std::string> all{"a.tmp",
                                    "build/",
                                    "build/out.o",
                                    "cache.tmp/",
                                    "cache.tmp/inner.txt",
                                    "docs/",
                                    "docs/build/",
                                    "docs/build/out.o",
                                    "node_modules.txt",
                                    "node_modules/",
                                    "node_modules/pkg/",
                                    "node_modules/pkg/index.js",
                                    "proj/",
                                    "proj/b.tmp",
                                    "proj/deep/",
                                    "proj/deep/node_modules",
                                    "proj/keep.txt",
                                    "proj/node_modules/",
                                    "proj/node_modules/x.js",
                                    "top.txt"};
    const auto without = [&all](std::initializer_list<const char*> gone) {
        std::set<std::string> left = all;
        for (const char* name : gone)
            left.erase(name);
        return left;
    };
    const ExclusionCase cases[] = {
        {"name at any depth",
         {QStringLiteral("-x*/node_modules")},
         without({"node_modules/", "node_modules/pkg/", "node_modules/pkg/index.js",
                  "proj/node_modules/", "proj/node_modules/x.js", "proj/deep/node_modules"})},
        {"wildcard for files and folders",
         {QStringLiteral("-x*.tmp"), QStringLiteral("-x*.tmp/")},
         without({"a.tmp", "proj/b.tmp", "cache.tmp/", "cache.tmp/inner.txt"})},
        {"wildcard for files only", {QStringLiteral("-x*.tmp")}, without({"a.tmp", "proj/b.tmp"})},
        {"full path",
         {QStringLiteral("-x") + m_source + QStringLiteral("docs/build")},
         without({"docs/build/", "docs/build/out.o"})},
        {"full path with a wildcard",
         {QStringLiteral("-x") + m_source + QStringLiteral("*.o")},
         without({"docs/build/out.o", "build/out.o"})},
        {"matches nothing", {QStringLiteral("-x*/none"), QStringLiteral("-x*.none")}, all},
    };
    const std::string fullPrefix = m_source.mid(1).toStdString();
    int index = 0;
    for (const ExclusionCase& c : cases) {
        for (const bool fullPaths : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (fullPaths ? ", full paths" : ", relative paths"));
            const QString path = archivePath(QStringLiteral("x%1.zip").arg(++index));
            QStringList switches{QStringLiteral("-r"),
                                 fullPaths ? QStringLiteral("-ep2") : QStringLiteral("-ep1")};
            switches << c.masks;
            ASSERT_EQ(archive(QStringLiteral("a"), switches, path, m_source), exitSuccess);

            const ArchiveContents contents = readArchive(path);
            ASSERT_TRUE(contents.readable()) << contents.error;
            std::set<std::string> expected;
            for (const std::string& name : c.left)
                expected.insert(fullPaths ? fullPrefix + name : name);
            EXPECT_EQ(contents.names(), expected);
        }
    }
}

TEST_F(RarStandin, ExclusionsOfEverythingLeaveNoFilesToAdd)
{
    writeSource(QStringLiteral("a.txt"), "a");
    writeSource(QStringLiteral("sub/b.txt"), "b");
    EXPECT_EQ(archive(QStringLiteral("a"), {QStringLiteral("-r"), QStringLiteral("-ep1"),
                                            QStringLiteral("-x*"), QStringLiteral("-x*/")}),
              exitNoFiles);
    EXPECT_FALSE(QFile::exists(archivePath()));
}

TEST_F(RarStandin, LinksToFilesAreStoredAsTheirTargetsLinksToFoldersAreNotFollowed)
{
    writeSource(QStringLiteral("real.txt"), "real");
    writeSource(QStringLiteral("sub/inner.txt"), "inner");
    ASSERT_TRUE(
        QFile::link(m_source + QStringLiteral("real.txt"), m_source + QStringLiteral("link.txt")));
    ASSERT_TRUE(QFile::link(m_source + QStringLiteral("sub"), m_source + QStringLiteral("loop")));
    ASSERT_TRUE(QFile::link(m_source, m_source + QStringLiteral("sub/up")));
    // Holds no data; opening it for reading would wait for a writer forever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_source + QStringLiteral("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(
        QFile::link(m_source + QStringLiteral("pipe"), m_source + QStringLiteral("pipe-link")));

    ASSERT_EQ(archive(QStringLiteral("a"), {QStringLiteral("-r"), QStringLiteral("-ep1")}),
              exitSuccess);

    const ArchiveContents contents = readArchive(archivePath());
    ASSERT_TRUE(contents.readable()) << contents.error;
    EXPECT_EQ(contents.names(),
              (std::set<std::string>{"link.txt", "real.txt", "sub/", "sub/inner.txt"}));
    EXPECT_EQ(contents.entries.at("link.txt").data, QByteArray("real"));
}

TEST_F(RarStandin, WithOlEveryLinkIsStoredAsALinkAndNothingIsFollowed)
{
    writeSource(QStringLiteral("real.txt"), "real");
    writeSource(QStringLiteral("sub/inner.txt"), "inner");
    ASSERT_TRUE(QFile::link(QStringLiteral("real.txt"), m_source + QStringLiteral("link.txt")));
    // A link to the source's parent would nest the backup in itself if it
    // were followed; one that leads nowhere fails a run that follows links.
    ASSERT_TRUE(QFile::link(QStringLiteral("../.."), m_source + QStringLiteral("sub/up")));
    ASSERT_TRUE(QFile::link(QStringLiteral("nowhere"), m_source + QStringLiteral("dangling")));

    ASSERT_EQ(archive(QStringLiteral("a"), {QStringLiteral("-r"), QStringLiteral("-ep1"),
                                            QStringLiteral("-ol"), QStringLiteral("-cfg-")}),
              exitSuccess);

    const ArchiveContents contents = readArchive(archivePath());
    ASSERT_TRUE(contents.readable()) << contents.error;
    EXPECT_EQ(contents.names(), (std::set<std::string>{"dangling", "link.txt", "real.txt", "sub/",
                                                       "sub/inner.txt", "sub/up"}));
    EXPECT_EQ(contents.entries.at("link.txt").linkTarget, "real.txt");
    EXPECT_EQ(contents.entries.at("sub/up").linkTarget, "../..");
    EXPECT_EQ(contents.entries.at("dangling").linkTarget, "nowhere");
    EXPECT_TRUE(contents.entries.at("link.txt").data.isEmpty());
}

struct UpdateCase
{
    const char* command;
    QByteArray expectedKeep; // keep.txt changed its bytes but not its time
};

TEST_F(RarStandin, UpdateAddsOnlyNewAndNewerFilesAndKeepsTheRest)
{
    const UpdateCase cases[] = {
        {"u", "old keep"}, // same time: the entry stays as it was
        {"a", "new keep"}, // a stores every file again
    };
    const QStringList switches{QStringLiteral("-r"), QStringLiteral("-m3"), QStringLiteral("-ep1")};
    for (const UpdateCase& c : cases) {
        SCOPED_TRACE(c.command);
        ASSERT_TRUE(QDir(m_source).removeRecursively() && QDir().mkpath(m_source));
        writeSource(QStringLiteral("keep.txt"), "old keep");
        writeSource(QStringLiteral("change.txt"), "old change");
        writeSource(QStringLiteral("gone.txt"), "gone");
        for (const char* name : {"keep.txt", "change.txt", "gone.txt"})
            setModified(m_source + QLatin1String(name), at(10));
        const QString path = archivePath(QLatin1String(c.command) + QStringLiteral(".zip"));
        ASSERT_EQ(archive(QStringLiteral("a"), switches, path, m_source), exitSuccess);

        writeSource(QStringLiteral("keep.txt"), "new keep");
        setModified(m_source + QStringLiteral("keep.txt"), at(10));
        writeSource(QStringLiteral("change.txt"), "new change");
        setModified(m_source + QStringLiteral("change.txt"), at(11));
        writeSource(QStringLiteral("new.txt"), "new");
        ASSERT_TRUE(QFile::remove(m_source + QStringLiteral("gone.txt")));
        ASSERT_EQ(archive(QLatin1String(c.command), switches, path, m_source), exitSuccess);

        const ArchiveContents contents = readArchive(path);
        ASSERT_TRUE(contents.readable()) << contents.error;
        EXPECT_EQ(contents.names(),
                  (std::set<std::string>{"change.txt", "gone.txt", "keep.txt", "new.txt"}));
        EXPECT_EQ(contents.entries.at("keep.txt").data, c.expectedKeep);
        EXPECT_EQ(contents.entries.at("keep.txt").modified, at(10).toSecsSinceEpoch());
        EXPECT_EQ(contents.entries.at("change.txt").data, QByteArray("new change"));
        EXPECT_EQ(contents.entries.at("change.txt").modified, at(11).toSecsSinceEpoch());
        EXPECT_EQ(contents.entries.at("gone.txt").data, QByteArray("gone"));
        EXPECT_EQ(contents.entries.at("new.txt").data, QByteArray("new"));
    }
}

TEST_F(RarStandin, UpdateWithNothingNewLeavesTheArchiveAsItIs)
{
    writeSource(QStringLiteral("file.txt"), "data");
    setModified(m_source + QStringLiteral("file.txt"), at(10));
    const QStringList switches{QStringLiteral("-r"), QStringLiteral("-ep1")};
    ASSERT_EQ(archive(QStringLiteral("a"), switches), exitSuccess);
    // A rewritten archive would be a new file with the current time.
    setModified(archivePath(), at(5));

    EXPECT_EQ(archive(QStringLiteral("u"), switches), exitSuccess);

    EXPECT_EQ(QFileInfo(archivePath()).lastModified(), at(5));
}

TEST_F(RarStandin, PasswordProtectsEveryEntryAndUpdateKeepsThemReadable)
{
    const QByteArray secretText("a line that must not appear in the archive in plain text");
    writeSource(QStringLiteral("secret.txt"), secretText);
    const QStringList switches{QStringLiteral("-r"), QStringLiteral("-m0"),
                               QStringLiteral("-psecret"), QStringLiteral("-ep1")};
    ASSERT_EQ(archive(QStringLiteral("a"), switches), exitSuccess);
    writeSource(QStringLiteral("later.txt"), "later");
    ASSERT_EQ(archive(QStringLiteral("u"), switches), exitSuccess);

    EXPECT_FALSE(readFile(archivePath()).contains(secretText));
    EXPECT_FALSE(readArchive(archivePath()).readable());
    EXPECT_FALSE(readArchive(archivePath(), "Secret").readable());
    const ArchiveContents contents = readArchive(archivePath(), "secret");
    ASSERT_TRUE(contents.readable()) << contents.error;
    EXPECT_EQ(contents.entries.at("secret.txt").data, secretText);
    EXPECT_EQ(contents.entries.at("later.txt").data, QByteArray("later"));
}

struct CompressionCase
{
    QStringList switches;
    int method;
};

TEST_F(RarStandin, CompressionLevelChoosesStoreOrDeflate)
{
    const QByteArray text = QByteArray("compressible line of text\n").repeated(4000);
    writeSource(QStringLiteral("text.txt"), text);
    const CompressionCase cases[] = {
        {{QStringLiteral("-m0")}, methodStored},
        {{QStringLiteral("-m1")}, methodDeflated},
        {{QStringLiteral("-M5")}, methodDeflated},
        {{}, methodDeflated},
    };
    for (const CompressionCase& c : cases) {
        SCOPED_TRACE(c.switches.join(QLatin1Char(' ')).toStdString());
        ASSERT_TRUE(QFile::remove(archivePath()) || !QFile::exists(archivePath()));
        ASSERT_EQ(archive(QStringLiteral("a"), c.switches + QStringList{QStringLiteral("-ep1")}),
                  exitSuccess);

        const QByteArray zip = readFile(archivePath());
        EXPECT_EQ(firstEntryMethod(zip), c.method);
        if (c.method == methodStored)
            EXPECT_GT(zip.size(), text.size());
        else
            EXPECT_LT(zip.size(), text.size() / 10);
        EXPECT_EQ(readArchive(archivePath()).entries.at("text.txt").data, text);
    }
}

TEST_F(RarStandin, RarExtensionStillGivesZipDataAndNoTempFileRemains)
{
    writeSource(QStringLiteral("file.txt"), "data");

    ASSERT_EQ(archive(QStringLiteral("a"), {QStringLiteral("-ep1")}), exitSuccess);

    EXPECT_TRUE(readFile(archivePath()).startsWith("PK\x03\x04"));
    const ArchiveContents contents = readArchive(archivePath());
    ASSERT_TRUE(contents.readable()) << contents.error;
    EXPECT_EQ(contents.format, ARCHIVE_FORMAT_ZIP);
    EXPECT_EQ(destinationFiles(), QStringList{QStringLiteral("backup.rar")});
}

struct FailureCase
{
    const char* name;
    QStringList args; // after the command; the -ILOG switch is added
    int exitCode;
};

TEST_F(RarStandin, FailuresGiveTheirExitCodeAndAMessageInTheLog)
{
    const QString emptySource = m_dir.filePath(QStringLiteral("empty")) + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(emptySource));
    writeSource(QStringLiteral("file.txt"), "data");
    const QString missingFolder = m_dir.filePath(QStringLiteral("missing")) + QLatin1Char('/');
    const QString archive = archivePath();
    const FailureCase cases[] = {
        {"unknown switch", {QStringLiteral("-x"), archive, m_source}, exitBadOption},
        {"compression out of range", {QStringLiteral("-m6"), archive, m_source}, exitBadOption},
        {"password switch without a password",
         {QStringLiteral("-p"), archive, m_source},
         exitBadOption},
        {"no source folder", {QStringLiteral("-r"), archive}, exitBadOption},
        {"destination folder missing",
         {QStringLiteral("-r"), missingFolder + QStringLiteral("backup.rar"), m_source},
         exitCreateError},
        {"empty source", {QStringLiteral("-r"), archive, emptySource}, exitNoFiles},
        {"missing source", {QStringLiteral("-r"), archive, missingFolder}, exitNoFiles},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QFile::remove(m_log) || !QFile::exists(m_log));

        EXPECT_EQ(run(QStringList{QStringLiteral("a"), QStringLiteral("-ilog") + m_log} + c.args),
                  c.exitCode);

        EXPECT_FALSE(readFile(m_log).isEmpty());
        EXPECT_TRUE(destinationFiles().isEmpty());
        EXPECT_FALSE(QFile::exists(missingFolder));
    }
}

TEST_F(RarStandin, UnreadableFileIsLoggedAndTheRestIsArchived)
{
    // A link that leads nowhere cannot be opened, even by root.
    writeSource(QStringLiteral("good.txt"), "good");
    ASSERT_TRUE(
        QFile::link(m_source + QStringLiteral("nowhere"), m_source + QStringLiteral("dangling")));
    const QByteArray earlierLines("an earlier run's line\n");
    writeFile(m_log, earlierLines);

    EXPECT_EQ(archive(QStringLiteral("a"), {QStringLiteral("-r"), QStringLiteral("-ep1")}),
              exitWarning);

    const ArchiveContents contents = readArchive(archivePath());
    ASSERT_TRUE(contents.readable()) << contents.error;
    EXPECT_EQ(contents.names(), std::set<std::string>{"good.txt"});
    const QByteArray log = readFile(m_log);
    EXPECT_TRUE(log.startsWith(earlierLines)) << log.constData();
    EXPECT_TRUE(log.contains("dangling")) << log.constData();
}

struct KeptArchiveCase
{
    const char* name;
    QByteArray existing; // empty: an archive made with -psecret
    int exitCode;
};

TEST_F(RarStandin, FailedRunLeavesTheExistingArchiveAndNoTempFile)
{
    writeSource(QStringLiteral("old.txt"), "old");
    const KeptArchiveCase cases[] = {
        // Fails while the new archive is half written: the kept entries
        // cannot be decrypted.
        {"wrong password for the existing entries", {}, exitWrongPassword},
        {"existing file is no ZIP archive", "Rar!\x1a\x07 not a zip archive", exitFatal},
    };
    for (const KeptArchiveCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QFile::remove(archivePath()) || !QFile::exists(archivePath()));
        ASSERT_TRUE(QFile::remove(m_source + QStringLiteral("new.txt")) ||
                    !QFile::exists(m_source + QStringLiteral("new.txt")));
        if (c.existing.isEmpty())
            ASSERT_EQ(archive(QStringLiteral("a"), {QStringLiteral("-psecret")}), exitSuccess);
        else
            writeFile(archivePath(), c.existing);
        const QByteArray before = readFile(archivePath());
        writeSource(QStringLiteral("new.txt"), "new");

        EXPECT_EQ(archive(QStringLiteral("u"), {QStringLiteral("-pwrong")}), c.exitCode);

        EXPECT_EQ(readFile(archivePath()), before);
        EXPECT_EQ(destinationFiles(), QStringList{QStringLiteral("backup.rar")});
    }
}

TEST_F(RarStandin, InterruptedRunRemovesItsTempFileAndExitsWith255)
{
    // Zeros of a sparse file take no disk space yet keep the archiver busy
    // far longer than it takes to see its temp file and stop it.
    QFile big(m_source + QStringLiteral("big.bin"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(4) << 30));
    big.close();
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QProcess process;
        process.start(QStringLiteral(TESSARO_RAR_STANDIN),
                      {QStringLiteral("a"), QStringLiteral("-m5"), QStringLiteral("-INUL"),
                       archivePath(), m_source});
        ASSERT_TRUE(process.waitForStarted());
        waitForTempFileOrEnd(process);
        ASSERT_EQ(process.state(), QProcess::Running) << "finished before it could be stopped";

        ::kill(static_cast<pid_t>(process.processId()), signal);

        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 255);
        EXPECT_TRUE(destinationFiles().isEmpty()) << destinationFiles().join(u' ').toStdString();
    }
}

struct LeftoverCase
{
    QString name;
    bool kept;
};

TEST_F(RarStandin, KilledRunLeavesANamedTempFileThatTheNextRunInTheFolderRemoves)
{
    // Zeros of a sparse file keep the archiver busy until it is killed.
    QFile big(m_source + QStringLiteral("big.bin"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(4) << 30));
    big.close();
    QProcess killed;
    killed.start(QStringLiteral(TESSARO_RAR_STANDIN),
                 {QStringLiteral("a"), QStringLiteral("-m5"), QStringLiteral("-INUL"),
                  archivePath(), m_source});
    ASSERT_TRUE(killed.waitForStarted());
    const QString deadId = QString::number(killed.processId());
    waitForTempFileOrEnd(killed);
    ASSERT_EQ(killed.state(), QProcess::Running) << "finished before it could be killed";
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(60000));

    const QStringList left = destinationFiles();
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\.backup\\.rar\\.standin-") + deadId +
                                   QStringLiteral("-[A-Za-z0-9]{6}\\.tmp$"))
                    .match(left.first())
                    .hasMatch())
        << left.first().toStdString();

    ASSERT_TRUE(QFile::remove(m_source + QStringLiteral("big.bin")));
    writeSource(QStringLiteral("small.txt"), "small");
    const QString liveId = QString::number(QCoreApplication::applicationPid());
    const LeftoverCase others[] = {
        {QStringLiteral(".backup.rar.standin-") + deadId + QStringLiteral("-Ab12Cd.tmp"), false},
        // A run still writing the same archive keeps its file.
        {QStringLiteral(".backup.rar.standin-") + liveId + QStringLiteral("-Ab12Cd.tmp"), true},
        // Another archive's leftovers go too: names with a date never come
        // back, so their own next run would never come.
        {QStringLiteral(".other.rar.standin-") + deadId + QStringLiteral("-Ab12Cd.tmp"), false},
        {QStringLiteral(".docs_260101_000000.rar.standin-") + deadId +
             QStringLiteral("-Ab12Cd.tmp"),
         false},
        {QStringLiteral(".a.standin-b.rar.standin-") + deadId + QStringLiteral("-Ab12Cd.tmp"),
         false},
        {QStringLiteral(".other.rar.standin-") + liveId + QStringLiteral("-Ab12Cd.tmp"), true},
        {QStringLiteral("..standin-") + deadId + QStringLiteral("-Ab12Cd.tmp"), true},
        {QStringLiteral(".backup.rar.standin-x") + deadId + QStringLiteral("-Ab12Cd.tmp"), true},
        {QStringLiteral(".backup.rar.standin-") + deadId + QStringLiteral("-Ab12Cd.tmp.keep"),
         true},
        {QStringLiteral("backup.rar.standin-") + deadId + QStringLiteral("-Ab12Cd.tmp"), true},
    };
    for (const LeftoverCase& c : others)
        writeFile(m_destination + c.name, "left");
    // A link named like a leftover is no file of the archiver's.
    const QString linkName =
        QStringLiteral(".backup.rar.standin-") + deadId + QStringLiteral("-Lnk123.tmp");
    ASSERT_TRUE(QFile::link(m_log, m_destination + linkName));

    EXPECT_EQ(archive(QStringLiteral("a"), {QStringLiteral("-ep1")}), exitSuccess);

    QStringList expected{QStringLiteral("backup.rar"), linkName};
    for (const LeftoverCase& c : others) {
        if (c.kept)
            expected.append(c.name);
    }
    expected.sort();
    QStringList found = destinationFiles();
    found.sort();
    EXPECT_EQ(found, expected);
    EXPECT_EQ(readArchive(archivePath()).names(), std::set<std::string>{"small.txt"});
}

} // namespace
} // namespace tessaro

namespace tessaro {
namespace {

// The test command as a pass runs it: t, the password when there is one,
// the quiet switches, the error log and the archive.
struct ArchiveTestCase
{
    const char* name;
    const char* makePassword;
    const char* testPassword;
    // Overwrite 64 bytes of the archive from this offset; NoDamage leaves
    // it whole, Gone deletes it.
    int damageAt;
    int exitCode;
    bool logged;
};

constexpr int NoDamage = -1;
constexpr int Gone = -2;

class RarStandinTestCommand : public RarStandin,
                              public ::testing::WithParamInterface<ArchiveTestCase>
{};

TEST_P(RarStandinTestCommand, ReadsEveryEntryBack)
{
    const ArchiveTestCase& c = GetParam();
    writeSource(QStringLiteral("a.txt"), QByteArray(4096, 'a'));
    writeSource(QStringLiteral("sub/b.txt"), "bbbb");
    QStringList make{QStringLiteral("-r"), QStringLiteral("-ep1")};
    if (*c.makePassword)
        make << QStringLiteral("-p") + QString::fromLatin1(c.makePassword);
    ASSERT_EQ(archive(QStringLiteral("a"), make), exitSuccess);
    if (c.damageAt == Gone) {
        ASSERT_TRUE(QFile::remove(archivePath()));
    } else if (c.damageAt != NoDamage) {
        QFile file(archivePath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(c.damageAt);
        file.write(QByteArray(64, '\x5a'));
    }

    QStringList args{QStringLiteral("t")};
    if (*c.testPassword)
        args << QStringLiteral("-p") + QString::fromLatin1(c.testPassword);
    args << QStringLiteral("-IBCK") << QStringLiteral("-INUL") << QStringLiteral("-ILOG") + m_log
         << archivePath();
    EXPECT_EQ(run(args), c.exitCode);
    EXPECT_EQ(QFile::exists(m_log), c.logged);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RarStandinTestCommand,
    ::testing::Values(
        ArchiveTestCase{"GoodArchive", "", "", NoDamage, exitSuccess, false},
        ArchiveTestCase{"GoodArchiveWithPassword", "pw", "pw", NoDamage, exitSuccess, false},
        ArchiveTestCase{"WrongPassword", "pw", "other", NoDamage, exitWrongPassword, true},
        ArchiveTestCase{"DamagedData", "", "", 60, 3, true},
        ArchiveTestCase{"MissingArchive", "", "", Gone, exitFatal, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RarStandin, TestCommandWantsExactlyOneArchive)
{
    EXPECT_EQ(run({QStringLiteral("t"), QStringLiteral("-ILOG") + m_log, archivePath(), m_source}),
              exitBadOption);
}

} // namespace
} // namespace tessaro
