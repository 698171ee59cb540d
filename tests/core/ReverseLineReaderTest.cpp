#include "core/ReverseLineReader.h"

#include "QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

struct TailCase
{
    const char* name;
    QByteArray content;
    // Every line from the last to the first.
    QList<QByteArray> backwards;
};

class ReverseLineReaderTest : public ::testing::TestWithParam<TailCase>
{};

// Block sizes that cut lines anywhere, one that holds the whole file, and
// the default.
TEST_P(ReverseLineReaderTest, GivesEveryLineFromTheLastToTheFirst)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("lines.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().content);
    file.close();
    for (const qint64 blockSize : {qint64(1), qint64(2), qint64(3), qint64(7), qint64(1000),
                                   ReverseLineReader::DefaultBlockSize}) {
        SCOPED_TRACE(blockSize);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ReverseLineReader reader(file, blockSize);
        QList<QByteArray> lines;
        while (const std::optional<QByteArray> line = reader.previousLine())
            lines.append(*line);
        EXPECT_EQ(lines, GetParam().backwards);
        EXPECT_FALSE(reader.previousLine()) << "stays at the start";
        file.close();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReverseLineReaderTest,
    ::testing::Values(
        TailCase{"Empty", "", {""}},
        TailCase{"TrailingNewline", "first\nsecond\n", {"", "second", "first"}},
        TailCase{"NoTrailingNewline", "first\nsecond", {"second", "first"}},
        TailCase{"CrLfKeepsTheCarriageReturn", "first\r\nsecond\r\n", {"", "second\r", "first\r"}},
        TailCase{"EmptyLinesBetween", "\n\na\n\nb", {"b", "", "a", "", ""}},
        TailCase{"LongLineAcrossManyBlocks",
                 QByteArray(5000, 'x') + "\nshort\n" + QByteArray(3, 'y'),
                 {"yyy", "short", QByteArray(5000, 'x')}}),
    [](const ::testing::TestParamInfo<TailCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tessaro
