// Feeds arbitrary bytes to the configuration file reader and to the rule
// reading, as a hand-edited, damaged or hostile tessaro.ini would reach them.
// Besides the sanitizers' checks, two properties must hold for every input:
//  - a document written and read back writes the same bytes again;
//  - the rules read from a document, saved and read again, are the same.

#include "core/ArchiverCommandLine.h"
#include "core/BackupRule.h"
#include "core/MemIniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace tessaro;

const QString rulesSection = QStringLiteral("backup_rules");

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

// A document whose saves stay in memory: reading the rules writes the file
// back, and the fuzzer must not touch the disk.
class InMemoryIniFile final : public TCustomIniFile
{
public:
    explicit InMemoryIniFile(const QByteArray& bytes) { m_document.loadFromBytes(bytes); }

    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const override
    {
        return m_document.ReadString(section, key, defaultValue);
    }
    void WriteString(const QString& section, const QString& key, const QString& value) override
    {
        m_document.WriteString(section, key, value);
    }
    void EraseSection(const QString& section) override { m_document.EraseSection(section); }
    bool SectionExists(const QString& section) const override
    {
        return m_document.SectionExists(section);
    }
    bool ValueExists(const QString& section, const QString& key) const override
    {
        return m_document.ValueExists(section, key);
    }
    QStringList ReadSection(const QString& section) const override
    {
        return m_document.ReadSection(section);
    }
    bool UpdateFile() override
    {
        m_saved = m_document.toBytes();
        return true;
    }
    QString errorString() const override { return {}; }

    QByteArray saved() const { return m_saved; }

private:
    TMemIniFile m_document{QString()};
    QByteArray m_saved;
};

void checkDocumentRoundTrip(const QByteArray& bytes)
{
    TMemIniFile document{QString()};
    document.loadFromBytes(bytes);
    const QByteArray written = document.toBytes();
    TMemIniFile reread{QString()};
    reread.loadFromBytes(written);
    if (reread.toBytes() != written)
        fail("a written document reads back differently");
}

bool sameRule(const TBackupRule& a, const TBackupRule& b)
{
    return a.SourceFolder == b.SourceFolder && a.DestinationFolder == b.DestinationFolder &&
           a.DestinationFilename == b.DestinationFilename && a.IncludeDate == b.IncludeDate &&
           a.IncludeSubFolders == b.IncludeSubFolders && a.UsePassword == b.UsePassword &&
           a.Password == b.Password && a.AutoCleanMode == b.AutoCleanMode &&
           a.NumFiles == b.NumFiles && a.DiskUsage == b.DiskUsage;
}

void printRule(const char* label, const TBackupRule& rule)
{
    const QString text =
        QStringLiteral("Source=[%1] Destination=[%2] Filename=[%3] Date=%4 Sub=%5 UsePassword=%6 "
                       "Password=[%7] AutoClean=%8 NumFiles=%9 DiskUsage=%10")
            .arg(rule.SourceFolder, rule.DestinationFolder, rule.DestinationFilename)
            .arg(rule.IncludeDate)
            .arg(rule.IncludeSubFolders)
            .arg(rule.UsePassword)
            .arg(rule.Password)
            .arg(int(rule.AutoCleanMode))
            .arg(rule.NumFiles)
            .arg(rule.DiskUsage);
    std::fprintf(stderr, "%s: %s\n", label, text.toUtf8().constData());
}

// What a pass makes of a rule read from the file: archive name and command line.
void useRule(const TBackupRule& rule, PathStyle style)
{
    TWinRAROptions options;
    options.ArchiveFormat = TArchiveFormat::Zip;
    options.StorePaths = TStorePaths::Full;
    const QString archive =
        BuildArchiveFileName(rule, options, LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9), style);
    BuildCommandLine(rule, options, archive, QStringLiteral("errors.log"));
}

void checkRuleRoundTrip(const QByteArray& bytes, PathStyle style)
{
    InMemoryIniFile file(bytes);
    TBackupRules rules(style);
    rules.FromIniFile(file, rulesSection);
    for (qsizetype i = 0; i < rules.Count(); ++i)
        useRule(*rules.Item(i), style);

    rules.ToIniFile(file, rulesSection);
    InMemoryIniFile savedFile(file.saved());
    TBackupRules reread(style);
    reread.FromIniFile(savedFile, rulesSection);
    if (reread.Count() != rules.Count())
        fail("saved rules read back as a different number of rules");
    for (qsizetype i = 0; i < rules.Count(); ++i) {
        if (!sameRule(*rules.Item(i), *reread.Item(i))) {
            printRule("read", *rules.Item(i));
            printRule("read again", *reread.Item(i));
            std::fprintf(stderr, "saved:\n%s\n",
                         file.saved().toPercentEncoding(" =[]/\r\n").constData());
            fail("a saved rule reads back differently");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    checkDocumentRoundTrip(bytes);
    // Reading the rules walks all thousand rule sections; one path style per
    // input keeps the runs fast, and the inputs reach both.
    checkRuleRoundTrip(bytes, size % 2 == 0 ? PathStyle::Posix : PathStyle::Windows);
    return 0;
}
