#include "FullFileSystem.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "core/MemIniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cerrno>
#include <gtest/gtest.h>
#include <optional>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

// Bytes of a literal that holds NUL characters, without its terminating NUL.
template <size_t N>
QByteArray bytesOf(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

TMemIniFile documentFrom(const QByteArray& bytes)
{
    TMemIniFile ini(QString{});
    ini.loadFromBytes(bytes);
    return ini;
}

// --- value forms --------------------------------------------------------------

struct ValueFormCase
{
    std::optional<QString> stored; // nullopt: the key is missing
    int integerDefault;
    int expectedInteger;
    bool boolDefault;
    bool expectedBool;
};

TEST(IniValueForms, IntegersAndBooleansReadAsDescribed)
{
    const ValueFormCase cases[] = {
        {u"0x14"_s, 10, 20, false, true},
        {u"0X1f"_s, 10, 31, false, true},
        {u"-7"_s, 10, -7, false, true},
        {u"+3"_s, 10, 3, false, true},
        {u"007"_s, 10, 7, false, true},
        {u"0"_s, 10, 0, true, false},
        {u"abc"_s, 10, 10, true, true},
        {u""_s, 10, 10, true, true},
        {u"true"_s, 10, 10, false, false},
        {u"true"_s, 10, 10, true, true},
        {u"12a"_s, 10, 10, false, false},
        {u"1.5"_s, 10, 10, false, false},
        {u"-"_s, 10, 10, false, false},
        {u"0x"_s, 10, 10, false, false},
        {u"0xG1"_s, 10, 10, false, false},
        {u"-0x14"_s, 10, 10, false, false},
        {u"2147483647"_s, 10, 2147483647, false, true},
        {u"-2147483648"_s, 10, -2147483647 - 1, false, true},
        {u"2147483648"_s, 10, 10, false, false},
        {u"-2147483649"_s, 10, 10, false, false},
        {u"0x7FFFFFFF"_s, 10, 2147483647, false, true},
        {u"0x100000014"_s, 10, 10, false, false},
        {u"99999999999999999999999999999"_s, 10, 10, false, false},
        {std::nullopt, 10, 10, true, true},
        {std::nullopt, -1, -1, false, false},
    };
    for (const auto& c : cases) {
        TMemIniFile ini(QString{});
        if (c.stored)
            ini.WriteString(u"s"_s, u"k"_s, *c.stored);
        const QString label = c.stored.value_or(u"<missing>"_s);
        EXPECT_EQ(ini.ReadInteger(u"s"_s, u"k"_s, c.integerDefault), c.expectedInteger)
            << label.toStdString();
        EXPECT_EQ(ini.ReadBool(u"s"_s, u"k"_s, c.boolDefault), c.expectedBool)
            << label.toStdString();
    }
}

TEST(IniValueForms, WrittenInDecimalAndAsOneOrZero)
{
    TMemIniFile ini(QString{});
    ini.WriteInteger(u"s"_s, u"negative"_s, -42);
    ini.WriteInteger(u"s"_s, u"large"_s, 2147483647);
    ini.WriteBool(u"s"_s, u"yes"_s, true);
    ini.WriteBool(u"s"_s, u"no"_s, false);
    EXPECT_EQ(ini.toBytes(), "[s]\r\nnegative=-42\r\nlarge=2147483647\r\nyes=1\r\nno=0\r\n\r\n");
}

// --- syntax -------------------------------------------------------------------

TEST(IniSyntax, ReadingTrimsSkipsAndMergesSections)
{
    const TMemIniFile ini = documentFrom("orphan=before any section\r\n"
                                         "  ; a comment\r\n"
                                         "\r\n"
                                         "  [ Settings ]  \r\n"
                                         "  Name  =  value = with sign  \r\n"
                                         ";Name=commented out\r\n"
                                         "a line without equals\r\n"
                                         "\tTabbed\t=\tx\t\r\n"
                                         "Empty=\r\n"
                                         "[other]\n"
                                         "A=1\r"
                                         "[SETTINGS]\r\n"
                                         "Extra=2\r\n"
                                         "name=later duplicate\r\n");

    EXPECT_EQ(ini.sectionNames(), (QStringList{u"Settings"_s, u"other"_s}));
    EXPECT_EQ(ini.keyNames(u"settings"_s),
              (QStringList{u"Name"_s, u"Tabbed"_s, u"Empty"_s, u"Extra"_s}));
    EXPECT_EQ(ini.ReadString(u"SETTINGS"_s, u"nAmE"_s, {}), u"value = with sign"_s);
    EXPECT_EQ(ini.ReadString(u"settings"_s, u"tabbed"_s, {}), u"x"_s);
    EXPECT_EQ(ini.ReadString(u"Settings"_s, u"extra"_s, {}), u"2"_s);
    EXPECT_EQ(ini.ReadString(u"OTHER"_s, u"a"_s, {}), u"1"_s);
    // A key with an empty value exists and does not fall back to the default.
    EXPECT_TRUE(ini.ValueExists(u"settings"_s, u"empty"_s));
    EXPECT_EQ(ini.ReadString(u"settings"_s, u"empty"_s, u"default"_s), QString());
    EXPECT_EQ(ini.ReadString(u"settings"_s, u"orphan"_s, u"default"_s), u"default"_s);
    EXPECT_FALSE(ini.SectionExists(u"a line without equals"_s));
}

TEST(IniSyntax, WritingKeepsOrderAndPlacesNewEntriesLast)
{
    TMemIniFile ini = documentFrom("; dropped\r\n[Settings]\r\nFirst=1\r\n\r\n\r\n[b]\r\nx=y\r\n");
    ini.WriteString(u"settings"_s, u"first"_s, u"changed"_s); // keeps its place and spelling
    ini.WriteString(u"settings"_s, u"Second"_s, u"2"_s);      // goes to the end of the section
    ini.WriteString(u"New"_s, u"k"_s, u"v"_s);                // goes to the end of the file
    ini.EraseSection(u"B"_s);
    ini.EraseSection(u"absent"_s);
    ini.WriteString(u"b"_s, u"x"_s, u"again"_s); // written anew after erasing: now last

    EXPECT_EQ(ini.toBytes(), "[Settings]\r\nFirst=changed\r\nSecond=2\r\n\r\n"
                             "[New]\r\nk=v\r\n\r\n"
                             "[b]\r\nx=again\r\n\r\n");
}

TEST(IniSyntax, WrittenDocumentReadsBackUnchanged)
{
    TMemIniFile ini(QString{});
    for (int s = 0; s < 1000; ++s) {
        for (int k = 0; k < 10; ++k)
            ini.WriteString(u"section_"_s + QString::number(s), u"Key"_s + QString::number(k),
                            QString::number(s * 10 + k));
    }
    const TMemIniFile again = documentFrom(ini.toBytes());
    EXPECT_EQ(again.toBytes(), ini.toBytes());
    EXPECT_EQ(again.ReadString(u"SECTION_999"_s, u"key9"_s, {}), u"9999"_s);
    EXPECT_EQ(again.sectionNames().size(), 1000);
}

// --- files and encodings --------------------------------------------------------

class IniFileTest : public ::testing::Test
{
protected:
    QString path(const QString& name = u"tessaro.ini"_s) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

QByteArray withEncoder(const QByteArray& mark, const QString& text,
                       QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding);
    return mark + QByteArray(encoder.encode(text));
}

struct EncodingCase
{
    const char* name;
    QByteArray bytes;
    TMemIniFile::Encoding expected;
    QString password; // the value as the document reads it
};

TEST_F(IniFileTest, EveryEncodingSurvivesLoadAndSaveByteForByte)
{
    const QString canonical = u"[Settings]\r\nPassword=äöü€ \U0001D11E\r\n\r\n"_s;
    const QString latin1Text = u"äöü"_s;
    const EncodingCase cases[] = {
        {"UTF-8 with mark", withEncoder("\xEF\xBB\xBF", canonical, QStringConverter::Utf8),
         TMemIniFile::Encoding::Utf8Bom, u"äöü€ \U0001D11E"_s},
        {"UTF-16 LE with mark", withEncoder("\xFF\xFE", canonical, QStringConverter::Utf16LE),
         TMemIniFile::Encoding::Utf16LE, u"äöü€ \U0001D11E"_s},
        {"UTF-16 BE with mark",
         bytesOf("\xFE\xFF\0[\0a\0]\0\r\0\n\0k\0=\0\xE4\0\r\0\n\0\r\0\n"),
         TMemIniFile::Encoding::Utf16BE,
         {}},
#ifndef Q_OS_WIN
        // Windows reads files without a mark in its ANSI code page instead.
        {"no mark, UTF-8", canonical.toUtf8(), TMemIniFile::Encoding::Plain8Bit,
         u"äöü€ \U0001D11E"_s},
        // Not valid UTF-8: read as Latin-1 so that no byte changes.
        {"no mark, invalid UTF-8", "[Settings]\r\nPassword=\xE4\xF6\xFC\r\n\r\n",
         TMemIniFile::Encoding::Latin1, latin1Text},
        {"no mark, truncated sequence", "[Settings]\r\nPassword=\xE2\x82\r\n\r\n",
         TMemIniFile::Encoding::Latin1, u"\u00E2\u0082"_s},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(path(), c.bytes);
        TMemIniFile ini(path());
        ASSERT_TRUE(ini.load()) << ini.errorString().toStdString();
        EXPECT_EQ(ini.encoding(), c.expected);
        if (!c.password.isEmpty()) {
            EXPECT_EQ(ini.ReadString(u"settings"_s, u"password"_s, {}), c.password);
        }
        ASSERT_TRUE(ini.UpdateFile()) << ini.errorString().toStdString();
        EXPECT_EQ(test::readFile(path()), c.bytes);
    }
    // The big-endian case spelled out byte by byte reads as intended.
    TMemIniFile bigEndian = documentFrom(cases[2].bytes);
    EXPECT_EQ(bigEndian.ReadString(u"a"_s, u"k"_s, {}), u"ä"_s);
}

TEST_F(IniFileTest, CharactersOutsideAnEightBitFileSwitchItToUtf8WithMark)
{
    test::writeFile(path(), "[Settings]\r\nOld=\xE4\xFF\r\n\r\n");
    TMemIniFile ini(path());
    ASSERT_TRUE(ini.load());
    // Latin-1 here; the ANSI code page on Windows. Both are 8-bit.
    ASSERT_TRUE(ini.encoding() == TMemIniFile::Encoding::Latin1 ||
                ini.encoding() == TMemIniFile::Encoding::Plain8Bit);

    ini.WriteString(u"Settings"_s, u"Latin"_s, u"é"_s); // still fits
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(test::readFile(path()), "[Settings]\r\nOld=\xE4\xFF\r\nLatin=\xE9\r\n\r\n");

    ini.WriteString(u"Settings"_s, u"New"_s, u"€ 日本"_s);
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_TRUE(test::readFile(path()).startsWith("\xEF\xBB\xBF"));

    TMemIniFile reread(path());
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.encoding(), TMemIniFile::Encoding::Utf8Bom);
    EXPECT_EQ(reread.ReadString(u"settings"_s, u"old"_s, {}), u"äÿ"_s);
    EXPECT_EQ(reread.ReadString(u"settings"_s, u"new"_s, {}), u"€ 日本"_s);
}

#ifndef Q_OS_WIN
struct ForeignBytesCase
{
    const char* name;
    QByteArray bytes;
    QString erased; // a section erased before the save
};

// Windows reads files without a mark in its ANSI code page instead.
TEST(IniEncoding, LatinOneFileReadsTheSameAfterItsForeignBytesAreGone)
{
    const ForeignBytesCase cases[] = {
        {"foreign bytes in a comment", "; f\xFCr mich\r\n[a]\r\nk=Dokumente \xC3\xA4\r\n", {}},
        {"foreign bytes before the first section", "f\xFCr\r\n[a]\r\nk=Dokumente \xC3\xA4\r\n", {}},
        {"foreign bytes in an erased section",
         "[gone]\r\nk=\xFF\r\n[a]\r\nk=Dokumente \xC3\xA4\r\n", u"gone"_s},
    };
    for (const ForeignBytesCase& c : cases) {
        SCOPED_TRACE(c.name);
        TMemIniFile ini = documentFrom(c.bytes);
        ASSERT_EQ(ini.encoding(), TMemIniFile::Encoding::Latin1);
        ASSERT_EQ(ini.ReadString(u"a"_s, u"k"_s, {}), u"Dokumente \u00C3\u00A4"_s);
        if (!c.erased.isEmpty())
            ini.EraseSection(c.erased);

        const QByteArray saved = ini.toBytes();

        EXPECT_EQ(saved, "\xEF\xBB\xBF[a]\r\nk=Dokumente \xC3\x83\xC2\xA4\r\n\r\n");
        EXPECT_EQ(documentFrom(saved).ReadString(u"a"_s, u"k"_s, {}), u"Dokumente \u00C3\u00A4"_s);
    }
    // While the foreign bytes stay, so does the file, byte for byte.
    const QByteArray kept = "[a]\r\nk=Dokumente \xC3\xA4\r\nx=\xFF\r\n\r\n";
    EXPECT_EQ(documentFrom(kept).toBytes(), kept);
}
#endif

TEST_F(IniFileTest, MissingFileFailsToLoadAndKeepsTheDocument)
{
    TMemIniFile ini(path(u"absent.ini"_s));
    ini.WriteString(u"s"_s, u"k"_s, u"kept"_s);
    EXPECT_FALSE(ini.load());
    EXPECT_FALSE(ini.errorString().isEmpty());
    EXPECT_EQ(ini.ReadString(u"s"_s, u"k"_s, {}), u"kept"_s);
}

TEST_F(IniFileTest, SaveIntoMissingFolderFails)
{
    TMemIniFile ini(path(u"no/such/folder/tessaro.ini"_s));
    ini.WriteString(u"s"_s, u"k"_s, u"v"_s);
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_FALSE(ini.errorString().isEmpty());
}

// Content that a write-back would drop is kept once, as the file was, beside
// it; later writes never overwrite that copy.
TEST_F(IniFileTest, ContentTheReaderCannotPlaceIsKeptOnceBesideTheFile)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"two UTF-8 marks", "\xEF\xBB\xBF\xEF\xBB\xBF[Settings]\r\nA=1\r\n"},
        {"UTF-16 mark, UTF-8 body", "\xFF\xFE[Settings]\r\nA=1\r\n"},
        {"UTF-16 without a mark", bytesOf("[\0S\0]\0\r\0\n\0A\0=\0\x31\0\r\0\n\0")},
        {"text before the first section", "Password=secret\r\n[Settings]\r\nA=1\r\n"},
        {"invalid UTF-8 after a mark", "\xEF\xBB\xBF[Settings]\r\nA=\xC0\xAF\r\n"},
    };
    const QString copy = path(u"tessaro.ini.bak"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(copy);
        test::writeFile(path(), c.bytes);
        TMemIniFile ini(path());
        ASSERT_TRUE(ini.load());
        EXPECT_TRUE(ini.hasUnplacedContent());
        ASSERT_TRUE(ini.UpdateFile()) << ini.errorString().toStdString();
        EXPECT_EQ(ini.keptCopy(), copy);
        EXPECT_EQ(test::readFile(copy), c.bytes);

        // What was written back reads without loss, and a second bad file
        // leaves the first copy alone.
        TMemIniFile written(path());
        ASSERT_TRUE(written.load());
        EXPECT_FALSE(written.hasUnplacedContent());
        test::writeFile(path(), "stray\r\n[Settings]\r\n");
        TMemIniFile later(path());
        ASSERT_TRUE(later.load());
        ASSERT_TRUE(later.UpdateFile());
        EXPECT_TRUE(later.keptCopy().isEmpty());
        EXPECT_EQ(test::readFile(copy), c.bytes);
    }
}

// Files put together from several files carry byte-order marks inside: the
// section header after one still counts, and the copy is kept all the same
// since the write-back drops the mark.
TEST_F(IniFileTest, MarkAtALineStartHidesNoSection)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    const QByteArray later = "[backup_rules_1]\r\nSourceFolder=/data/\r\n";
    const Case cases[] = {
        {"unmarked file", "[backup_rules_0]\r\nSourceFolder=/a/\r\n\xEF\xBB\xBF" + later},
        {"marked file", "\xEF\xBB\xBF[backup_rules_0]\r\nSourceFolder=/a/\r\n\xEF\xBB\xBF" + later},
        {"8-bit file", "[backup_rules_0]\r\nSourceFolder=/\xE4/\r\n\xEF\xBB\xBF" + later},
        {"two marks and blanks", "[backup_rules_0]\r\n \xEF\xBB\xBF \xEF\xBB\xBF" + later},
        {"mark before a key", "[backup_rules_1]\r\n\xEF\xBB\xBFSourceFolder=/data/\r\n"},
    };
    const QString copy = path(u"tessaro.ini.bak"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(copy);
        test::writeFile(path(), c.bytes);
        TMemIniFile ini(path());
        ASSERT_TRUE(ini.load());
        EXPECT_EQ(ini.ReadString(u"backup_rules_1"_s, u"SourceFolder"_s, u"lost"_s), u"/data/"_s);
        EXPECT_TRUE(ini.hasUnplacedContent());

        ASSERT_TRUE(ini.UpdateFile()) << ini.errorString().toStdString();
        EXPECT_EQ(test::readFile(copy), c.bytes);
        EXPECT_TRUE(test::readFile(path()).contains("\r\n" + later) ||
                    test::readFile(path()).startsWith(later));
    }
}

TEST_F(IniFileTest, FilesTheReaderPlacesWholeKeepNoCopy)
{
    const QByteArray clean[] = {
        "[Settings]\r\nA=1\r\n",
        "\r\n\r\n[Settings]\r\n; a comment\r\nA=1\r\n",
        "\xEF\xBB\xBF[Settings]\r\nA=\xC3\xA4\r\n",
        "[Settings]\r\nA=\xE4\r\n", // Latin-1 carries every byte
        QByteArray(),
    };
    for (const QByteArray& bytes : clean) {
        test::writeFile(path(), bytes);
        TMemIniFile ini(path());
        ASSERT_TRUE(ini.load());
        EXPECT_FALSE(ini.hasUnplacedContent()) << bytes.toStdString();
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_TRUE(ini.keptCopy().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(path(u"tessaro.ini.bak"_s)));
}

// A file system with no byte left: the new content cannot be written, and
// the file must stay as it was rather than be replaced by an empty one.
TEST_F(IniFileTest, WriteOnAFullDiskLeavesThePreviousFileWhole)
{
    test::FullFileSystem disk;
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    QByteArray original = "[Settings]\r\n";
    for (int i = 0; original.size() < 7000; ++i)
        original += "Key" + QByteArray::number(i) + "=some value of a setting\r\n";
    const QString file = disk.filePath(u"tessaro.ini"_s);
    test::writeFile(file, original);
    TMemIniFile ini(file);
    ASSERT_TRUE(ini.load());
    ini.WriteString(u"Settings"_s, u"Value"_s, u"new"_s);
    ASSERT_TRUE(disk.fill());

    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_EQ(ini.errorString(), qt_error_string(ENOSPC));
    EXPECT_EQ(test::readFile(file), original);
    EXPECT_EQ(QDir(QFileInfo(file).path()).entryList(QDir::Files),
              (QStringList{u"filler"_s, u"tessaro.ini"_s}));
}

#ifndef Q_OS_WIN

// The permission bits as the file system holds them.
mode_t modeOf(const QString& path)
{
    struct stat status = {};
    EXPECT_EQ(stat(QFile::encodeName(path).constData(), &status), 0);
    return status.st_mode & 07777;
}

TEST_F(IniFileTest, NewFileIsPrivateAndExistingFileKeepsItsPermissions)
{
    TMemIniFile created(path());
    created.WriteString(u"Settings"_s, u"Password"_s, u"secret"_s);
    ASSERT_TRUE(created.UpdateFile());
    EXPECT_EQ(modeOf(path()), mode_t(0600));

    const QString sharedPath = path(u"shared.ini"_s);
    test::writeFile(sharedPath, "[s]\r\n");
    ASSERT_EQ(chmod(QFile::encodeName(sharedPath).constData(), 0644), 0);
    TMemIniFile existing(sharedPath);
    ASSERT_TRUE(existing.load());
    existing.WriteString(u"s"_s, u"k"_s, u"v"_s);
    ASSERT_TRUE(existing.UpdateFile());
    EXPECT_EQ(modeOf(sharedPath), mode_t(0644));
}

// A file that others can read is made private once it holds secrets, and
// the document tells so; a file that holds none keeps its permissions.
TEST_F(IniFileTest, FileOpenToOthersBecomesPrivateWhileItHoldsSecrets)
{
    struct Case
    {
        mode_t before;
        bool secrets;
        mode_t after;
        bool madePrivate;
    };
    const Case cases[] = {
        {0644, true, 0600, true},  {0640, true, 0600, true},   {0606, true, 0600, true},
        {0600, true, 0600, false}, {0644, false, 0644, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        test::writeFile(path(), "[s]\r\n");
        ASSERT_EQ(chmod(QFile::encodeName(path()).constData(), c.before), 0);
        TMemIniFile ini(path());
        ASSERT_TRUE(ini.load());
        ini.setHoldsSecrets(c.secrets);
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(modeOf(path()), c.after);
        EXPECT_EQ(ini.madePrivate(), c.madePrivate);
    }
}

// Taking the access of others away needs no space: it holds even when the
// write that follows fails on a full disk.
TEST_F(IniFileTest, FileOpenToOthersBecomesPrivateEvenWhenTheWriteFails)
{
    test::FullFileSystem disk;
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    const QString file = disk.filePath(u"tessaro.ini"_s);
    test::writeFile(file, "[backup_rules_0]\r\nPassword=secret\r\n");
    ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0644), 0);
    TMemIniFile ini(file);
    ASSERT_TRUE(ini.load());
    ini.setHoldsSecrets(true);
    ini.WriteString(u"Settings"_s, u"Value"_s, QString(8192, u'x'));
    ASSERT_TRUE(disk.fill());

    EXPECT_FALSE(ini.UpdateFile());

    EXPECT_EQ(modeOf(file), mode_t(0600));
    EXPECT_TRUE(ini.madePrivate());
    EXPECT_EQ(test::readFile(file), "[backup_rules_0]\r\nPassword=secret\r\n");
}

// The kept copy holds what the file held, passwords included.
TEST_F(IniFileTest, KeptCopyIsPrivate)
{
    test::writeFile(path(), "Password=secret\r\n[s]\r\n");
    ASSERT_EQ(chmod(QFile::encodeName(path()).constData(), 0644), 0);
    TMemIniFile ini(path());
    ASSERT_TRUE(ini.load());
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(modeOf(path(u"tessaro.ini.bak"_s)), mode_t(0600));
}

// Gives a folder back its permissions however the test ends, so that the
// temporary folder can be removed.
class PermissionsRestorer
{
public:
    explicit PermissionsRestorer(QString path)
        : m_path(std::move(path)), m_permissions(QFile::permissions(m_path))
    {}
    ~PermissionsRestorer() { QFile::setPermissions(m_path, m_permissions); }
    Q_DISABLE_COPY_MOVE(PermissionsRestorer)

private:
    QString m_path;
    QFile::Permissions m_permissions;
};

TEST_F(IniFileTest, FailedSaveInReadOnlyFolderLeavesThePreviousFileWhole)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not restrict root";
    const QByteArray original = "[Settings]\r\nValue=old\r\n\r\n";
    test::writeFile(path(), original);
    TMemIniFile ini(path());
    ASSERT_TRUE(ini.load());
    ini.WriteString(u"Settings"_s, u"Value"_s, u"new"_s);

    const PermissionsRestorer restorer(m_dir.path());
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_FALSE(ini.errorString().isEmpty());
    EXPECT_EQ(test::readFile(path()), original);
}

#endif

// --- robustness ---------------------------------------------------------------

// Loading any bytes must neither crash nor hang, and what the document writes
// must read back as the same document.
void expectStableRoundTrip(const QByteArray& bytes)
{
    const QByteArray written = documentFrom(bytes).toBytes();
    EXPECT_EQ(documentFrom(written).toBytes(), written) << bytes.toHex().left(200).toStdString();
}

TEST(IniRobustness, NastyInputsLoadAndRoundTrip)
{
    const QByteArray nasty[] = {
        QByteArray(),
        "\xEF\xBB\xBF",
        "\xEF\xBB",
        "\xFF\xFE",
        bytesOf("\xFF\xFE[\0a\0]\0\r\0\n\0k"),                  // odd length UTF-16
        bytesOf("\xFF\xFE[\0a\0]\0\n\0k\0=\0\x00\xD8"),         // lone high surrogate at the end
        bytesOf("\xFE\xFF\xDC\x00\0[\0a\0]\0\n\0k\0=\xDC\x01"), // lone low surrogates
        "\xFE\xFF\xFF\xFE",
        bytesOf("[a]\0\r\nk\0=v\0\r\n\0[b]\0"),          // NUL bytes
        "\xEF\xBB\xBF[a]\r\nk=\xC0\xAF\xED\xA0\x80\r\n", // invalid UTF-8 after a mark
        "[a]\r\nk=\xED\xA0\x80\r\n",                     // an encoded surrogate
        "[\r\n]\r\n=\r\n[]\r\n=\r\n=x\r\n[[x]]\r\n[a=b]\r\n[k=]c\r\n",
        "\r\r\r\n\n\n\r",
        QByteArray(1 << 20, 'x'),
        "[a]\r\n" + QByteArray(1 << 20, '=') + "\r\n",
        "[" + QByteArray(1 << 20, 'a') + "]",
        QByteArray(100000, '\r'),
    };
    for (const QByteArray& bytes : nasty)
        expectStableRoundTrip(bytes);
}

TEST(IniRobustness, RandomBytesLoadAndRoundTrip)
{
    // Mostly the characters that shape an INI file, so the parser's branches
    // are reached, mixed with anything else.
    const QByteArray alphabet = bytesOf("[]=;\r\n \t\0aZ\xE4\xC3\xA4\xFF\xFE\xEF\xBB\xBF\xD8\xDC");
    QRandomGenerator random(20260327);
    for (int round = 0; round < 500; ++round) {
        QByteArray bytes(random.bounded(300), Qt::Uninitialized);
        for (char& byte : bytes) {
            byte = random.bounded(4) == 0 ? char(random.bounded(256))
                                          : alphabet.at(random.bounded(int(alphabet.size())));
        }
        expectStableRoundTrip(bytes);
    }
}

} // namespace
} // namespace tessaro
