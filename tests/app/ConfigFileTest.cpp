#include "FakeMainView.h"
#include "FixedClock.h"
#include "FullFileSystem.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "app/ActivityLog.h"
#include "app/MainWindowLogic.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::FakeMainView;
using test::FixedClock;
using test::readFile;
using test::writeFile;

MainWindowSeams seamsOf(const Clock& clock)
{
    MainWindowSeams seams;
    seams.clock = &clock;
    seams.pathStyle = PathStyle::Windows;
    return seams;
}

// The window's logic around one configuration file, on a fake window with a
// real activity log. Rules use Windows paths, so the same files work on
// every platform.
struct Program
{
    Program(const QString& configFile, const QString& logPath, const Clock& clock)
        : logic(view, seamsOf(clock))
    {
        logic.configFile().setFileName(configFile);
        logic.log().setLogFolder(logPath);
    }

    // Lines the log wrote at error level.
    QStringList errorLines() const { return capture().filter(u" [E] "_s); }
    // Every line without its timestamp.
    QStringList lines() const
    {
        QStringList texts;
        for (const QString& line : capture())
            texts.append(line.mid(20));
        return texts;
    }
    const QStringList& capture() const { return logic.log().capture(); }

    FakeMainView view;
    MainWindowLogic logic;
};

class ConfigFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_program = newProgram();
    }

    std::unique_ptr<Program> newProgram(const QString& configFile = {})
    {
        return std::make_unique<Program>(configFile.isEmpty() ? configPath() : configFile,
                                         m_dir.filePath(u"log"_s) + u'/', m_clock);
    }

    QString configPath() const { return m_dir.filePath(u"tessaro.ini"_s); }
    QByteArray configBytes() const { return readFile(configPath()); }
    void writeConfig(const QByteArray& text) { writeFile(configPath(), text); }

    MainWindowLogic& logic() { return m_program->logic; }
    // Periodic runs on, as the file remembers them; the lines of the start
    // are not what the tests look at.
    void startPeriodicRuns()
    {
        logic().periodic().ActionRun(false);
        ASSERT_TRUE(logic().periodic().isActive());
        logic().log().clearCapture();
    }
    FakeMainView& view() { return m_program->view; }
    Configuration& config() { return m_program->logic.config(); }

    QTemporaryDir m_dir;
    FixedClock m_clock{LocalDateTime::fromParts(2026, 3, 27, 14, 5)};
    std::unique_ptr<Program> m_program;
};

// Settings that differ from the defaults in every field.
TSettings unusualSettings()
{
    TSettings s;
    s.CallWebHook = true;
    s.IncludeLogsInWebHookCall = true;
    s.WebHookURL = u"https://example.org/hook?a=1&b=2"_s;
    s.MinimizeToTray = true;
    s.ExitAfterBackupOnce = true;
    s.BackupOnStart = true;
    s.WinRARLocation = u"C:\\Program Files\\WinRAR\\WinRAR.exe"_s;
    s.ArchiveFormat = TArchiveFormat::Rar4;
    s.Compression = TCompression::Store;
    s.UpdateMode = true;
    s.StorePaths = TStorePaths::FullWithDrive;
    s.UseNumThreads = true;
    s.NumThreads = 17;
    s.UseWinRARLogFile = true;
    s.WinRARLogFile = u"C:\\Logs\\"_s;
    s.Schedule.StartTimeHour = 23;
    s.Schedule.StartTimeMinute = 59;
    s.Schedule.PeriodHours = 336;
    s.Schedule.setWeekdays({false, true, false, true, false, true, false});
    return s;
}

std::unique_ptr<TBackupRule> makeRule(const QString& source, const QString& destination,
                                      const QString& name)
{
    auto rule = std::make_unique<TBackupRule>();
    rule->SourceFolder = source;
    rule->DestinationFolder = destination;
    rule->DestinationFilename = name;
    return rule;
}

#ifndef Q_OS_WIN
int permissionBits(const QString& path)
{
    struct stat info
    {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return int(info.st_mode & 07777);
}
#endif

// --- first start ----------------------------------------------------------

TEST_F(ConfigFileTest, InitConfigCreatesAPrivateSettingsFileAndKeepsAnExistingOne)
{
    logic().configFile().InitConfig();
    EXPECT_EQ(configBytes(), "[Settings]\r\n");
#ifndef Q_OS_WIN
    EXPECT_EQ(permissionBits(configPath()), 0600);
#endif

    writeConfig("[schedule]\r\nPeriodHours=8\r\n");
    logic().configFile().InitConfig();
    EXPECT_EQ(configBytes(), "[schedule]\r\nPeriodHours=8\r\n");
}

TEST_F(ConfigFileTest, FirstStartWithoutAFileLoadsEveryDefault)
{
    // Whatever was in memory before, loading sets every field.
    logic().settings().load(unusualSettings(), false);
    logic().pass().restoreLastBackupTime(m_clock.now());
    logic().periodic().restoreLastRun(m_clock.now());

    EXPECT_EQ(config().LoadConfig(), u"ok"_s);

    // Reading the rules wrote the new file back in the document's form.
    EXPECT_EQ(configBytes(), "[Settings]\r\n\r\n");
#ifndef Q_OS_WIN
    EXPECT_EQ(permissionBits(configPath()), 0600);
#endif
    EXPECT_EQ(logic().settings().settings(), TSettings{});
    EXPECT_EQ(logic().settings().settings().Schedule.PeriodHours, 4);
    EXPECT_EQ(logic().settings().settings().Compression, TCompression::Normal);
    EXPECT_EQ(logic().settings().rules().Count(), 0);
    EXPECT_TRUE(logic().settings().firstStart());
    EXPECT_TRUE(logic().pass().lastBackupTime().isNever());
    EXPECT_TRUE(logic().periodic().lastRun().isNever());
    EXPECT_FALSE(logic().periodic().resumesAtStart());
    EXPECT_TRUE(view().messages.isEmpty());
    EXPECT_TRUE(logic().log().capture().isEmpty());

    // The window shows it all, centred on the primary display.
    EXPECT_EQ(view().ruleListRefreshes, 1);
    EXPECT_EQ(view().settingsRefreshes, 1);
    EXPECT_EQ(view().autoCleanDestinationCalls, 1);
    EXPECT_GE(view().processEventsCalls, 1);
    EXPECT_EQ(view().minimumSize, QSize(620, 658));
    EXPECT_EQ(logic().placement().lastPos(), QRect(650, 211, 620, 658));
    EXPECT_EQ(view().geometry, QRect(650, 211, 620, 658));
}

// --- values the file may hold -----------------------------------------------

TEST_F(ConfigFileTest, UnusableValuesLoadAsTheNearestUsableOne)
{
    struct Case
    {
        const char* section;
        const char* lines;
        std::function<void(TSettings&)> expect;
    };
    const auto unchanged = [](TSettings&) {
    };
    const Case cases[] = {
        {"settings", "ArchiveFormat=zip",
         [](TSettings& s) {
             s.ArchiveFormat = TArchiveFormat::Zip;
         }},
        {"settings", "ArchiveFormat=rar4 (COMPATIBLE)",
         [](TSettings& s) {
             s.ArchiveFormat = TArchiveFormat::Rar4;
         }},
        {"settings", "ArchiveFormat=RAR5", unchanged},
        {"settings", "Compression=Best",
         [](TSettings& s) {
             s.Compression = TCompression::Best;
         }},
        {"settings", "Compression=Fastest",
         [](TSettings& s) {
             s.Compression = TCompression::Fastest;
         }},
        {"settings", "Compression=Store",
         [](TSettings& s) {
             s.Compression = TCompression::Store;
         }},
        {"settings", "Compression=Store (No Compression)",
         [](TSettings& s) {
             s.Compression = TCompression::Store;
         }},
        {"settings", "Compression=store", unchanged},
        {"settings", "Compression=Ultra", unchanged},
        {"settings", "StorePaths=Relative paths",
         [](TSettings& s) {
             s.StorePaths = TStorePaths::Relative;
         }},
        {"settings", "StorePaths=Full paths + drive",
         [](TSettings& s) {
             s.StorePaths = TStorePaths::FullWithDrive;
         }},
        {"settings", "StorePaths=Full paths + drive letter", unchanged},
        {"settings", "StorePaths=relative paths", unchanged},
        {"settings", "NumThreads=100",
         [](TSettings& s) {
             s.NumThreads = 64;
         }},
        {"settings", "NumThreads=64",
         [](TSettings& s) {
             s.NumThreads = 64;
         }},
        {"settings", "NumThreads=0",
         [](TSettings& s) {
             s.NumThreads = 1;
         }},
        {"settings", "NumThreads=-3",
         [](TSettings& s) {
             s.NumThreads = 1;
         }},
        {"settings", "NumThreads=many", unchanged},
        {"settings", "UseNumThreads=1",
         [](TSettings& s) {
             s.UseNumThreads = true;
         }},
        {"settings", "ExitAfterBackupOnce=1\r\nBackupOnStart=1",
         [](TSettings& s) {
             s.ExitAfterBackupOnce = s.BackupOnStart = true;
         }},
        {"schedule", "StartTimeHour=24", unchanged},
        {"schedule", "StartTimeHour=-1", unchanged},
        {"schedule", "StartTimeHour=23",
         [](TSettings& s) {
             s.Schedule.StartTimeHour = 23;
         }},
        {"schedule", "StartTimeHour=0",
         [](TSettings& s) {
             s.Schedule.StartTimeHour = 0;
         }},
        {"schedule", "StartTimeMinute=60", unchanged},
        {"schedule", "StartTimeMinute=59",
         [](TSettings& s) {
             s.Schedule.StartTimeMinute = 59;
         }},
        {"schedule", "PeriodHours=5", unchanged},
        {"schedule", "PeriodHours=0", unchanged},
        {"schedule", "PeriodHours=336",
         [](TSettings& s) {
             s.Schedule.PeriodHours = 336;
         }},
        {"schedule", "PeriodHours=0x18",
         [](TSettings& s) {
             s.Schedule.PeriodHours = 24;
         }},
        {"schedule", "Mondays=0",
         [](TSettings& s) {
             s.Schedule.Weekdays = 0b1111110;
         }},
        {"schedule", "Sundays=false", unchanged},
        {"SCHEDULE", "saturdays = 0",
         [](TSettings& s) {
             s.Schedule.Weekdays = 0b1011111;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        m_program = newProgram();
        writeConfig(QByteArray("[") + c.section + "]\r\n" + c.lines + "\r\n");
        ASSERT_EQ(config().LoadConfig(), u"ok"_s);
        TSettings expected;
        c.expect(expected);
        EXPECT_EQ(logic().settings().settings(), expected);
        EXPECT_TRUE(view().messages.isEmpty());
    }
}

TEST_F(ConfigFileTest, OnlyAnExactOnResumesPeriodicRuns)
{
    const struct
    {
        const char* line;
        bool resumes;
    } cases[] = {
        {"PeriodicRun=on", true},  {"PeriodicRun = on ", true}, {"PeriodicRun=On", false},
        {"PeriodicRun=ON", false}, {"PeriodicRun=off", false},  {"PeriodicRun=1", false},
        {"PeriodicRun=", false},
    };
    for (const auto& c : cases) {
        m_program = newProgram();
        writeConfig(QByteArray("[Settings]\r\n") + c.line + "\r\n");
        ASSERT_EQ(config().LoadConfig(), u"ok"_s);
        EXPECT_EQ(logic().periodic().resumesAtStart(), c.resumes) << c.line;
        // Resuming is start-up's business; loading does not start anything.
        EXPECT_FALSE(logic().periodic().isActive()) << c.line;
    }
}

TEST_F(ConfigFileTest, UnreadableDatesMeanNeverWithoutAMessage)
{
    for (const char* value : {"", "not a date", "2026-13-45T10:00:00.000Z", "27.03.2026"}) {
        m_program = newProgram();
        logic().pass().restoreLastBackupTime(m_clock.now());
        logic().periodic().restoreLastRun(m_clock.now());
        writeConfig(QByteArray("[settings]\r\nLastBackupTime=") + value +
                    "\r\n[schedule]\r\nLastRun=" + value + "\r\n");
        ASSERT_EQ(config().LoadConfig(), u"ok"_s);
        EXPECT_TRUE(logic().pass().lastBackupTime().isNever()) << value;
        EXPECT_TRUE(logic().periodic().lastRun().isNever()) << value;
        EXPECT_TRUE(view().messages.isEmpty());
        EXPECT_TRUE(logic().log().capture().isEmpty());
    }
}

TEST_F(ConfigFileTest, DatesWithAnOffsetAreConvertedToLocalTime)
{
    const QDateTime utc(QDate(2026, 3, 27), QTime(12, 0, 0, 250), Qt::UTC);
    writeConfig("[settings]\r\nLastBackupTime=2026-03-27T14:00:00.250+02:00\r\n");
    ASSERT_EQ(config().LoadConfig(), u"ok"_s);
    EXPECT_EQ(logic().pass().lastBackupTime(), LocalDateTime::fromQDateTime(utc));
}

TEST_F(ConfigFileTest, StoredWindowPositionIsKeptAndTheWindowPlacedOnScreen)
{
    writeConfig("[window]\r\nmaximized=true\r\nleft=-5000\r\ntop=100\r\nwidth=9\r\nheight=9\r\n");
    view().size = QSize(700, 660);
    ASSERT_EQ(config().LoadConfig(), u"ok"_s);
    // Width and height come from the window, not from the file.
    EXPECT_EQ(logic().placement().lastPos(), QRect(-5000, 100, 700, 660));
    EXPECT_EQ(view().geometry, QRect(0, 100, 620, 660));
}

TEST_F(ConfigFileTest, CommentsAndBlankLinesAreLostOnTheFirstLoad)
{
    writeConfig("; written by hand\r\n"
                "[Settings]\r\n"
                "\r\n"
                "; where the outcome goes\r\n"
                "  WebHookURL = https://example.org/x  \r\n"
                "\n"
                "[schedule]\n"
                "PeriodHours=8\n");
    ASSERT_EQ(config().LoadConfig(), u"ok"_s);
    EXPECT_EQ(logic().settings().settings().WebHookURL, u"https://example.org/x"_s);
    EXPECT_EQ(configBytes(), "[Settings]\r\n"
                             "WebHookURL=https://example.org/x\r\n"
                             "\r\n"
                             "[schedule]\r\n"
                             "PeriodHours=8\r\n"
                             "\r\n");
}

// --- load failures ----------------------------------------------------------

TEST_F(ConfigFileTest, AFileThatCannotBeOpenedIsReportedAndNothingIsRead)
{
    // A folder where the file should be cannot be opened, whoever runs this.
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"tessaro.ini"_s));
    logic().changeSettings([&](TSettings& edited) { edited = unusualSettings(); }, false);
    logic().settings().rules().Add(makeRule(u"C:\\Data\\"_s, u"D:\\Backup\\"_s, u"a.rar"_s));

    EXPECT_EQ(config().LoadConfig(), QString());

    ASSERT_EQ(view().messages.size(), 1);
    const FakeMainView::Message& message = view().messages.first();
    EXPECT_TRUE(message.text.startsWith(u"Could not load configuration file ("_s))
        << message.text.toStdString();
    EXPECT_TRUE(message.text.endsWith(u')'));
    EXPECT_GT(message.text.size(), u"Could not load configuration file ()"_s.size());
    EXPECT_EQ(message.caption, u"Error"_s);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_EQ(logic().settings().settings(), unusualSettings());
    EXPECT_EQ(logic().settings().rules().Count(), 1);
    EXPECT_EQ(view().ruleListRefreshes, 0);
    EXPECT_FALSE(view().geometry.isValid());
}

// A file name at the file system's length limit can be read and written in
// place, but the temporary file that an atomic replace needs beside it cannot
// be created: the write fails even for the superuser.
QString longestFileName(const QString& folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder)
    return {};
#else
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    if (limit <= 0 || limit > 1000)
        return {};
    return folder + u'/' + QString(qsizetype(limit) - 4, u'c') + u".ini"_s;
#endif
}

TEST_F(ConfigFileTest, AWriteBackFailureWhileLoadingIsLoggedAndLoadingGoesOn)
{
    const QString path = longestFileName(m_dir.path());
    if (path.isEmpty())
        GTEST_SKIP() << "no file name length limit to run into";
    const QByteArray text = "; kept\r\n[settings]\r\nNumThreads=9\r\n[backup_rules_0]\r\n"
                            "SourceFolder=C:\\Data\r\nDestinationFolder=D:\\Backup\r\n"
                            "DestinationFilename=a.rar\r\n";
    writeFile(path, text);
    m_program = newProgram(path);

    EXPECT_EQ(config().LoadConfig(), u"ok"_s);

    EXPECT_EQ(readFile(path), text);
    EXPECT_EQ(logic().settings().settings().NumThreads, 9);
    EXPECT_EQ(logic().settings().rules().Count(), 1);
    EXPECT_TRUE(view().messages.isEmpty());
    const QStringList errors = m_program->errorLines();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(
        errors.first().contains(u"could not write configuration file \""_s + path + u"\": "_s))
        << errors.first().toStdString();
}

// The file as it was is kept beside it before the write-back at load drops
// what the reader could not place, once, with a warning that names it.
TEST_F(ConfigFileTest, ContentTheReaderCannotPlaceIsKeptBeforeTheWriteBack)
{
    const QByteArray twoMarks = "\xEF\xBB\xBF\xEF\xBB\xBF[Settings]\r\nNumThreads=9\r\n";
    writeConfig(twoMarks);

    ASSERT_EQ(config().LoadConfig(), u"ok"_s);

    const QString copy = configPath() + u".bak"_s;
    EXPECT_EQ(readFile(copy), twoMarks);
    EXPECT_EQ(m_program->lines(),
              (QStringList{u"[W] configuration file \""_s + configPath() +
                           u"\" held text that could not be read; the file as it was is kept as "
                           u"\""_s +
                           copy + u"\""_s}));

    m_program = newProgram();
    ASSERT_EQ(config().LoadConfig(), u"ok"_s);
    ASSERT_TRUE(config().SaveConfig());
    EXPECT_TRUE(m_program->lines().isEmpty());
    EXPECT_EQ(readFile(copy), twoMarks);

    // Later unreadable text is dropped with a warning; the copy stays.
    writeConfig("stray\r\n[Settings]\r\n");
    m_program = newProgram();
    ASSERT_EQ(config().LoadConfig(), u"ok"_s);
    EXPECT_EQ(m_program->lines(),
              (QStringList{u"[W] configuration file \""_s + configPath() +
                           u"\" held text that could not be read; it is dropped, \""_s + copy +
                           u"\" keeps an earlier copy"_s}));
    EXPECT_EQ(readFile(copy), twoMarks);
}

// On a full disk neither the write-back at load nor a save may leave anything
// but the previous file; both failures are logged.
TEST_F(ConfigFileTest, AFullDiskLeavesTheFileWholeAndIsLogged)
{
    test::FullFileSystem disk;
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    const QString path = disk.filePath(u"tessaro.ini"_s);
    m_program = newProgram(path);
    logic().changeSettings([&](TSettings& edited) { edited = unusualSettings(); }, false);
    for (int i = 0; i < 20; ++i) {
        logic().settings().rules().Add(
            makeRule(u"C:\\Data\\%1\\"_s.arg(i), u"D:\\Backup\\"_s, u"data_%1_#ymd#"_s.arg(i)));
    }
    ASSERT_TRUE(config().SaveConfig());
    const QByteArray previous = readFile(path);
    ASSERT_GT(previous.size(), 4096);
    ASSERT_TRUE(disk.fill());

    m_program = newProgram(path);
    EXPECT_EQ(config().LoadConfig(), u"ok"_s);
    EXPECT_EQ(logic().settings().rules().Count(), 20);
    logic().changeSettings([&](TSettings& edited) { edited.NumThreads = 3; }, false);
    EXPECT_FALSE(config().SaveConfig());

    EXPECT_EQ(readFile(path), previous);
    const QString reason = qt_error_string(ENOSPC);
    EXPECT_EQ(
        m_program->lines(),
        (QStringList{u"[E] could not write configuration file \""_s + path + u"\": "_s + reason,
                     u"[E] could not save configuration file \""_s + path + u"\": "_s + reason}));
}

// Stored positions at the ends of the int range are kept as they are for the
// next save, while the window itself goes onto the display.
TEST_F(ConfigFileTest, ExtremeStoredWindowPositionsAreKeptAndPlacedOnScreen)
{
    constexpr int most = std::numeric_limits<int>::max();
    constexpr int least = std::numeric_limits<int>::min();
    const QPoint positions[] = {
        {most, most}, {least, least}, {most - 100, 0}, {least, most}, {most, least},
    };
    for (const QPoint& position : positions) {
        SCOPED_TRACE(position.x());
        SCOPED_TRACE(position.y());
        writeConfig("[window]\r\nleft=" + QByteArray::number(position.x()) +
                    "\r\ntop=" + QByteArray::number(position.y()) + "\r\n");
        m_program = newProgram();
        view().size = QSize(700, 660);
        ASSERT_EQ(config().LoadConfig(), u"ok"_s);

        EXPECT_EQ(logic().placement().lastPos().topLeft(), position);
        EXPECT_TRUE(QRect(0, 0, 1920, 1040).contains(view().geometry)) << view().geometry.x();
        ASSERT_TRUE(config().SaveConfig());
        const QByteArray saved = configBytes();
        EXPECT_TRUE(saved.contains("\r\nleft=" + QByteArray::number(position.x()) +
                                   "\r\ntop=" + QByteArray::number(position.y()) + "\r\n"))
            << saved.toStdString();
    }
}

// --- saving -----------------------------------------------------------------

TEST_F(ConfigFileTest, SaveWritesEverySectionInItsKeyOrder)
{
    logic().changeSettings([&](TSettings& edited) { edited = unusualSettings(); }, false);
    logic().changeSettings([&](TSettings& edited) { edited.WinRARLogFile.clear(); }, false);
    logic().pass().restoreLastBackupTime(LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9, 123));
    logic().placement().resized(QRect(100, -50, 800, 700), false);
    logic().placement().resized(QRect(0, 0, 1920, 1040), true);
    auto rule = makeRule(u"C:\\Data\\"_s, u"D:\\Backup\\"_s, u"data_#yyyy-mm-dd#.rar"_s);
    rule->IncludeSubFolders = true;
    rule->UsePassword = true;
    rule->Password = u"secret"_s;
    rule->AutoCleanMode = acmNumFiles;
    rule->NumFiles = 7;
    rule->DiskUsage = 5;
    logic().settings().rules().Add(std::move(rule));
    startPeriodicRuns();

    ASSERT_TRUE(config().SaveConfig());

    const QString expected = u"[Settings]\r\n"
                             "FirstStart=1\r\n"
                             "CallWebHook=1\r\n"
                             "IncludeLogsInWebHookCall=1\r\n"
                             "WebHookURL=https://example.org/hook?a=1&b=2\r\n"
                             "MinimizeToTray=1\r\n"
                             "ExitAfterBackupOnce=1\r\n"
                             "BackupOnStart=1\r\n"
                             "WinRARLocation=C:\\Program Files\\WinRAR\\WinRAR.exe\r\n"
                             "ArchiveFormat=RAR4 (Compatible)\r\n"
                             "Compression=Store\r\n"
                             "UpdateMode=1\r\n"
                             "StorePaths=Full paths + drive\r\n"
                             "UseNumThreads=1\r\n"
                             "NumThreads=17\r\n"
                             "UseWinRARLogFile=1\r\n"
                             "WinRARLogFile=\r\n"
                             "PeriodicRun=on\r\n"
                             "LastBackupTime="_s +
                             logic().pass().lastBackupTime().toIso8601() +
                             u"\r\n"
                             "\r\n"
                             "[window]\r\n"
                             "maximized=true\r\n"
                             "left=100\r\n"
                             "top=-50\r\n"
                             "width=800\r\n"
                             "height=700\r\n"
                             "\r\n"
                             "[backup_rules_0]\r\n"
                             "SourceFolder=C:\\Data\\\r\n"
                             "DestinationFolder=D:\\Backup\\\r\n"
                             "DestinationFilename=data_#yyyy-mm-dd#.rar\r\n"
                             "IncludeDate=0\r\n"
                             "IncludeSubFolders=1\r\n"
                             "UsePassword=1\r\n"
                             "Password=secret\r\n"
                             "AutoCleanMode=NumFiles\r\n"
                             "NumFiles=7\r\n"
                             "DiskUsage=5\r\n"
                             "\r\n"
                             "[schedule]\r\n"
                             "StartTimeHour=23\r\n"
                             "StartTimeMinute=59\r\n"
                             "PeriodHours=336\r\n"
                             "Mondays=0\r\n"
                             "Tuesdays=1\r\n"
                             "Wednesdays=0\r\n"
                             "Thursdays=1\r\n"
                             "Fridays=0\r\n"
                             "Saturdays=1\r\n"
                             "Sundays=0\r\n"
                             "LastRun="_s +
                             LocalDateTime().toIso8601() + u"\r\n\r\n"_s;
    EXPECT_EQ(QString::fromUtf8(configBytes()), expected);
    EXPECT_TRUE(
        logic().pass().lastBackupTime().toIso8601().startsWith(u"2026-03-27T14:05:09.123"_s));
    EXPECT_TRUE(LocalDateTime().toIso8601().startsWith(u"1899-12-30T00:00:00.000"_s));
#ifndef Q_OS_WIN
    EXPECT_EQ(permissionBits(configPath()), 0600);
#endif
    EXPECT_TRUE(logic().log().capture().isEmpty());
}

TEST_F(ConfigFileTest, SaveThenLoadGivesBackEveryField)
{
    logic().settings().load(unusualSettings(), false);
    logic().pass().restoreLastBackupTime(LocalDateTime::fromParts(2026, 7, 1, 3, 4, 5, 6));
    logic().periodic().restoreLastRun(LocalDateTime::fromParts(2025, 12, 31, 23, 59, 59, 999));
    logic().placement().resized(QRect(30, 40, 900, 800), false);
    auto first = makeRule(u"C:\\Daten\\Größe\\"_s, u"D:\\Backup\\"_s, u"a_#yyyy#.rar"_s);
    first->IncludeDate = true;
    first->AutoCleanMode = acmDiskUsage;
    first->NumFiles = 3;
    first->DiskUsage = 12;
    auto second = makeRule(u"E:\\Photos\\"_s, u"F:\\Other\\"_s, u"b.zip"_s);
    second->UsePassword = true;
    second->Password = u"p=w;ord"_s;
    logic().settings().rules().Add(std::move(first));
    logic().settings().rules().Add(std::move(second));
    startPeriodicRuns();
    ASSERT_TRUE(config().SaveConfig());

    Program loaded(configPath(), m_dir.filePath(u"log"_s) + u'/', m_clock);
    ASSERT_EQ(loaded.logic.LoadConfig(), u"ok"_s);

    EXPECT_EQ(loaded.logic.settings().settings(), logic().settings().settings());
    EXPECT_FALSE(loaded.logic.settings().firstStart());
    EXPECT_TRUE(loaded.logic.periodic().resumesAtStart());
    EXPECT_EQ(loaded.logic.pass().lastBackupTime(), logic().pass().lastBackupTime());
    EXPECT_EQ(loaded.logic.periodic().lastRun(), logic().periodic().lastRun());
    EXPECT_EQ(loaded.logic.placement().lastPos().topLeft(), QPoint(30, 40));
    ASSERT_EQ(loaded.logic.settings().rules().Count(), 2);
    for (qsizetype i = 0; i < 2; ++i) {
        const TBackupRule& want = *logic().settings().rules().Item(i);
        const TBackupRule& got = *loaded.logic.settings().rules().Item(i);
        EXPECT_EQ(got.SourceFolder, want.SourceFolder);
        EXPECT_EQ(got.DestinationFolder, want.DestinationFolder);
        EXPECT_EQ(got.DestinationFilename, want.DestinationFilename);
        EXPECT_EQ(got.IncludeDate, want.IncludeDate);
        EXPECT_EQ(got.IncludeSubFolders, want.IncludeSubFolders);
        EXPECT_EQ(got.UsePassword, want.UsePassword);
        EXPECT_EQ(got.Password, want.Password);
        EXPECT_EQ(got.AutoCleanMode, want.AutoCleanMode);
        EXPECT_EQ(got.NumFiles, want.NumFiles);
        EXPECT_EQ(got.DiskUsage, want.DiskUsage);
    }
    EXPECT_TRUE(loaded.logic.log().capture().isEmpty());
}

TEST_F(ConfigFileTest, SaveReplacesStaleRuleSectionsAndKeepsUnknownKeys)
{
    writeConfig("[settings]\r\nNote=mine\r\nPeriodicRun=on\r\n"
                "[backup_rules_0]\r\nSourceFolder=C:\\A\\\r\n"
                "[backup_rules_5]\r\nSourceFolder=C:\\B\\\r\n");
    logic().settings().rules().Add(makeRule(u"C:\\Data\\"_s, u"D:\\Backup\\"_s, u"a.rar"_s));
    ASSERT_TRUE(config().SaveConfig());

    const QString text = QString::fromUtf8(configBytes());
    EXPECT_TRUE(
        text.startsWith(u"[settings]\r\nNote=mine\r\nPeriodicRun=off\r\nFirstStart=1\r\n"_s))
        << text.toStdString();
    EXPECT_TRUE(text.contains(u"[backup_rules_0]\r\nSourceFolder=C:\\Data\\\r\n"_s));
    EXPECT_FALSE(text.contains(u"backup_rules_5"_s));
}

TEST_F(ConfigFileTest, EachEncodingIsKeptAcrossLoadAndSave)
{
    struct Case
    {
        const char* name;
        QByteArray mark;
        QStringConverter::Encoding encoding;
    };
    const Case cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF", QStringConverter::Utf8},
        {"UTF-16 LE", "\xFF\xFE", QStringConverter::Utf16LE},
        {"UTF-16 BE", "\xFE\xFF", QStringConverter::Utf16BE},
        // Without a mark the platform's 8-bit encoding applies.
        {"no mark", "", QStringConverter::System},
    };
    const QString source = u"C:\\Daten\\Größe\\"_s;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_program = newProgram();
        QStringEncoder encoder(c.encoding);
        const QString text = u"[backup_rules_0]\r\nSourceFolder="_s + source +
                             u"\r\nDestinationFolder=D:\\B\\\r\nDestinationFilename=x.rar\r\n"_s;
        writeConfig(c.mark + QByteArray(encoder.encode(text)));

        ASSERT_EQ(config().LoadConfig(), u"ok"_s);
        ASSERT_EQ(logic().settings().rules().Count(), 1);
        EXPECT_EQ(logic().settings().rules().Item(0)->SourceFolder, source);
        ASSERT_TRUE(config().SaveConfig());

        const QByteArray saved = configBytes();
        ASSERT_TRUE(saved.startsWith(c.mark));
        if (c.mark.isEmpty()) {
            EXPECT_FALSE(saved.startsWith("\xEF\xBB\xBF"));
        }
        QStringDecoder decoder(c.encoding);
        const QString decoded = decoder.decode(saved.mid(c.mark.size()));
        EXPECT_FALSE(decoder.hasError());
        EXPECT_TRUE(decoded.contains(u"[backup_rules_0]\r\nSourceFolder="_s + source + u"\r\n"_s))
            << decoded.toStdString();
        EXPECT_TRUE(decoded.contains(u"[schedule]\r\nStartTimeHour=12\r\n"_s));
    }
}

// --- save failures ----------------------------------------------------------

TEST_F(ConfigFileTest, ASaveIntoAMissingFolderIsLoggedWithoutAMessage)
{
    // The parent "folder" is a plain file, so nothing can be created there.
    writeFile(m_dir.filePath(u"blocker"_s), "x");
    const QString path = m_dir.filePath(u"blocker/tessaro.ini"_s);
    m_program = newProgram(path);

    EXPECT_FALSE(config().SaveConfig());

    EXPECT_TRUE(view().messages.isEmpty());
    EXPECT_EQ(readFile(m_dir.filePath(u"blocker"_s)), "x");
    const QStringList errors = m_program->errorLines();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(
        errors.first().contains(u"could not save configuration file \""_s + path + u"\": "_s))
        << errors.first().toStdString();
}

TEST_F(ConfigFileTest, AFailedReplaceLeavesThePreviousFileWhole)
{
    const QString path = longestFileName(m_dir.path());
    if (path.isEmpty())
        GTEST_SKIP() << "no file name length limit to run into";
    const QByteArray previous = "; hand-written\r\n[settings]\r\nNumThreads=9\r\n";
    writeFile(path, previous);
    m_program = newProgram(path);
    logic().changeSettings([&](TSettings& edited) { edited = unusualSettings(); }, false);
    logic().settings().rules().Add(makeRule(u"C:\\Data\\"_s, u"D:\\Backup\\"_s, u"a.rar"_s));

    EXPECT_FALSE(config().SaveConfig());

    EXPECT_EQ(readFile(path), previous);
    EXPECT_TRUE(view().messages.isEmpty());
    const QStringList errors = m_program->errorLines();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(
        errors.first().contains(u"could not save configuration file \""_s + path + u"\": "_s))
        << errors.first().toStdString();
    // No temporary file is left behind beside it.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1);
}

#ifndef Q_OS_WIN
// A configuration that others can read is made private at the next save once
// it holds a password, with one line that says so; one without passwords
// keeps its permissions.
TEST_F(ConfigFileTest, AFileOpenToOthersIsMadePrivateOnceItHoldsAPassword)
{
    for (const bool password : {true, false}) {
        SCOPED_TRACE(password);
        writeConfig("[Settings]\r\n");
        ASSERT_EQ(::chmod(QFile::encodeName(configPath()).constData(), 0644), 0);
        m_program = newProgram();
        auto rule = makeRule(u"C:\\Data\\"_s, u"D:\\Backup\\"_s, u"a.rar"_s);
        rule->UsePassword = password;
        rule->Password = password ? u"secret"_s : QString();
        logic().settings().rules().Add(std::move(rule));

        ASSERT_TRUE(config().SaveConfig());
        ASSERT_TRUE(config().SaveConfig());

        EXPECT_EQ(permissionBits(configPath()), password ? 0600 : 0644);
        const QStringList expected{u"[I] configuration file \""_s + configPath() +
                                   u"\" holds passwords and was open to other users; it is now "
                                   u"readable by its owner only"_s};
        EXPECT_EQ(m_program->lines(), password ? expected : QStringList());
    }
}
#endif

// --- dependent controls -----------------------------------------------------

TEST_F(ConfigFileTest, UpdateSettingsEnablesWhatTheSettingsAllow)
{
    struct Case
    {
        bool callWebHook;
        bool useNumThreads;
        int periodHours;
        bool weekdaysEnabled;
    };
    const Case cases[] = {
        {false, false, 4, true},
        {true, true, 24, true},
        {true, false, 48, false},
        {false, true, 336, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.periodHours);
        logic().changeSettings([&](TSettings& edited) { edited.CallWebHook = c.callWebHook; },
                               false);
        logic().changeSettings([&](TSettings& edited) { edited.UseNumThreads = c.useNumThreads; },
                               false);
        logic().changeSettings(
            [&](TSettings& edited) { edited.Schedule.PeriodHours = c.periodHours; }, false);
        config().UpdateSettings();
        EXPECT_EQ(view().isEnabled(Control::EditWebhook), c.callWebHook);
        EXPECT_EQ(view().isEnabled(Control::CheckIncludeLog), c.callWebHook);
        EXPECT_EQ(view().isEnabled(Control::SpinNumThreads), c.useNumThreads);
        EXPECT_EQ(view().isEnabled(Control::CheckWeekdays), c.weekdaysEnabled);
    }
    EXPECT_FALSE(QFileInfo::exists(configPath()));
}

TEST_F(ConfigFileTest, UpdateSettingsListsTheDestinationFoldersAndEnablesAutoClean)
{
    const Control autoCleanControls[] = {
        Control::CheckAutoClean, Control::RadioNumFiles, Control::RadioDiskUsage,
        Control::SpinNumFiles,   Control::SpinDiskUsage, Control::ComboAutoCleanDestinationFolders,
    };

    config().UpdateSettings();
    EXPECT_EQ(view().autoCleanDestinationCalls, 1);
    EXPECT_TRUE(view().autoCleanDestinations.isEmpty());
    for (const Control control : autoCleanControls)
        EXPECT_FALSE(view().isEnabled(control)) << int(control);

    logic().settings().rules().Add(makeRule(u"C:\\A\\"_s, u"D:\\Backup\\"_s, u"a.rar"_s));
    logic().settings().rules().Add(makeRule(u"C:\\B\\"_s, u"E:\\Other\\"_s, u"b.rar"_s));
    logic().settings().rules().Add(makeRule(u"C:\\C\\"_s, u"d:\\backup\\"_s, u"c.rar"_s));
    config().UpdateSettings();
    EXPECT_EQ(view().autoCleanDestinations, (QStringList{u"D:\\Backup\\"_s, u"E:\\Other\\"_s}));
    for (const Control control : autoCleanControls)
        EXPECT_TRUE(view().isEnabled(control)) << int(control);

    // The last rule gone: the list is emptied and the section disabled again.
    logic().settings().rules().Clear();
    config().UpdateSettings();
    EXPECT_EQ(view().autoCleanDestinationCalls, 3);
    EXPECT_TRUE(view().autoCleanDestinations.isEmpty());
    for (const Control control : autoCleanControls)
        EXPECT_FALSE(view().isEnabled(control)) << int(control);
}

} // namespace
} // namespace tessaro
