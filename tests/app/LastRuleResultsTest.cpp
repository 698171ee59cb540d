#include "app/LastRuleResults.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

RuleRecord ruleRun(const QString& source, const QString& archive, int result, int minute)
{
    RuleRecord record;
    record.source = source;
    record.archive = archive;
    record.result = result;
    record.end = LocalDateTime::fromParts(2026, 3, 27, 14, minute, 9);
    return record;
}

std::unique_ptr<TBackupRule> rule(const QString& source, const QString& destination)
{
    auto rule = std::make_unique<TBackupRule>();
    rule->SourceFolder = source;
    rule->DestinationFolder = destination;
    return rule;
}

// A rule is known again in the passes by its source folder and the folder its
// archive went to; the newest pass that ran it decides.
TEST(LastRuleResults, TheNewestRunOfEachRuleDecides)
{
    LastRuleResults results(PathStyle::Windows);
    PassRecord older;
    older.rules = {ruleRun(u"C:\\Docs\\"_s, u"D:\\Backup\\docs_1.rar"_s, 10001, 1),
                   ruleRun(u"C:\\Mail\\"_s, u"D:\\Backup\\mail.rar"_s, 0, 1)};
    PassRecord newer;
    newer.rules = {ruleRun(u"C:\\Docs\\"_s, u"E:\\Other\\docs.rar"_s, 0, 2),
                   ruleRun(u"C:\\Mail\\"_s, u"D:\\Backup\\mail.rar"_s, 2, 2)};
    results.takeFrom({older, newer});

    EXPECT_EQ(results.failureOf(*rule(u"c:\\docs\\"_s, u"d:\\backup\\"_s)),
              u"Last run failed: WinRAR did not create an archive file (27.03.2026 14:01:09)"_s)
        << "folders compared as Windows compares them";
    EXPECT_EQ(results.failureOf(*rule(u"C:\\Docs\\"_s, u"E:\\Other\\"_s)), QString());
    EXPECT_EQ(results.failureOf(*rule(u"C:\\Mail\\"_s, u"D:\\Backup\\"_s)),
              u"Last run failed: A fatal error occurred (27.03.2026 14:02:09)"_s);
    EXPECT_FALSE(results.lastRunOf(*rule(u"C:\\New\\"_s, u"D:\\Backup\\"_s)).has_value());

    int changes = 0;
    results.setChanged([&changes] { ++changes; });
    PassRecord good;
    good.rules = {ruleRun(u"C:\\Mail\\"_s, u"D:\\Backup\\mail.rar"_s, 0, 3)};
    results.passEnded(good);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(results.failureOf(*rule(u"C:\\Mail\\"_s, u"D:\\Backup\\"_s)), QString());
}

TEST(LastRuleResults, ResultTextsNameEveryReason)
{
    EXPECT_EQ(ruleResultText(0), u"Successful operation"_s);
    EXPECT_EQ(ruleResultText(10001), u"WinRAR did not create an archive file"_s);
    EXPECT_EQ(ruleResultText(10002), u"No files found in the source folder"_s);
    EXPECT_EQ(ruleResultText(10003), u"Password contains a double quote character"_s);
}

} // namespace
} // namespace tessaro
