#include "core/AutocleanPreview.h"

#include "QtPrinters.h"
#include "TestFiles.h"
#include "core/PathRules.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

// Five archives, a.rar the oldest, e.rar the newest, 100 bytes each but
// c.rar with 300; a ZIP that is never counted.
class AutocleanPreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QDateTime newest(QDate(2026, 3, 27), QTime(14, 5));
        const char* names[] = {"a.rar", "b.rar", "c.rar", "d.rar", "e.rar"};
        for (int i = 0; i < 5; ++i) {
            const QString path = folder() + QString::fromLatin1(names[i]);
            test::writeFile(path, QByteArray(i == 2 ? 300 : 100, 'x'));
            test::setModified(path, newest.addSecs(-3600LL * (5 - i)));
        }
        test::writeFile(folder() + u"old.zip"_s, "zip");
        test::setModified(folder() + u"old.zip"_s, newest.addDays(-30));
    }

    QString folder() const
    {
        return withTrailingSeparator(QDir::toNativeSeparators(m_dir.path()), nativePathStyle());
    }

    QStringList names(const std::vector<TFileEntry>& entries) const
    {
        QStringList list;
        for (const TFileEntry& entry : entries) {
            EXPECT_EQ(entry.Size, QFileInfo(entry.Filename).size());
            list.append(QFileInfo(entry.Filename).fileName());
        }
        return list;
    }

    QTemporaryDir m_dir;
};

struct PreviewCase
{
    const char* name;
    int maxFiles;
    qint64 maxBytes;
    int newArchives;
    QStringList doomed;
};

class AutocleanPreviewCases : public AutocleanPreviewTest,
                              public ::testing::WithParamInterface<PreviewCase>
{};

TEST_P(AutocleanPreviewCases, NamesWhatAutoCleanWouldDeleteOldestFirstAndDeletesNothing)
{
    const PreviewCase& c = GetParam();
    const std::vector<TFileEntry> doomed =
        PreviewAutoCleanFolder(folder(), u"rar"_s, c.maxFiles, c.maxBytes, c.newArchives);
    EXPECT_EQ(names(doomed), c.doomed);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files).size(), 6) << "nothing deleted";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutocleanPreviewCases,
    ::testing::Values(PreviewCase{"NoLimit", 0, 0, 1, {}},
                      PreviewCase{"WithinTheCount", 5, 0, 0, {}},
                      PreviewCase{"AboveTheCount", 3, 0, 0, {u"a.rar"_s, u"b.rar"_s}},
                      PreviewCase{"NewArchivesTakeTheirPlaces", 5, 0, 2, {u"a.rar"_s, u"b.rar"_s}},
                      PreviewCase{"NewArchivesFillTheLimit",
                                  2,
                                  0,
                                  2,
                                  {u"a.rar"_s, u"b.rar"_s, u"c.rar"_s, u"d.rar"_s, u"e.rar"_s}},
                      PreviewCase{"AboveTheSize", 0, 350, 0, {u"a.rar"_s, u"b.rar"_s, u"c.rar"_s}},
                      PreviewCase{"TheNewestStaysWhateverItsSize",
                                  0,
                                  50,
                                  0,
                                  {u"a.rar"_s, u"b.rar"_s, u"c.rar"_s, u"d.rar"_s}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutocleanPreviewTest, AMissingFolderGivesNothing)
{
    EXPECT_TRUE(PreviewAutoCleanFolder(folder() + u"gone"_s, u"rar"_s, 1, 0, 1).empty());
}

} // namespace
} // namespace tessaro
