#pragma once

#include <QByteArray>
#include <QFile>

#include <limits>
#include <optional>

namespace tessaro {

// Reads a file's lines from its end towards its start, a block at a time,
// so a reader that wants the last lines of a large file reads only those.
// Lines are the pieces between "\n" bytes, returned without the "\n" (a
// "\r" before it stays, like any other byte): "a\nb\n" gives "", "b", "a";
// "a\nb" gives "b", "a". What it holds at any time is one block and the
// part of a line that runs on beyond it.
class ReverseLineReader final
{
public:
    static constexpr qint64 DefaultBlockSize = 64 * 1024;

    // The file must be open for reading; it stays open and is only read
    // from, at positions the reader seeks to.
    explicit ReverseLineReader(QFile& file, qint64 blockSize = DefaultBlockSize);

    // Lines longer than this are not held whole: previousLine passes over
    // one with an empty text and lastLineTooLong() true, having held no more
    // of it than about a block.
    void setLineLimit(qint64 bytes) { m_lineLimit = bytes; }
    bool lastLineTooLong() const { return m_tooLong; }
    Q_DISABLE_COPY_MOVE(ReverseLineReader)

    // The line before the one returned last; nothing once the file's first
    // line has been returned, or when a read fails.
    std::optional<QByteArray> previousLine();

private:
    // Puts the block before the bytes held in front of them; false when
    // the file's start was reached before or the read failed.
    bool readBlockBefore();

    QFile& m_file;
    qint64 m_blockSize;
    // Where the bytes held begin in the file.
    qint64 m_position;
    // The bytes from m_position up to the start of the line returned last.
    QByteArray m_held;
    bool m_finished = false;
    qint64 m_lineLimit = std::numeric_limits<qint64>::max();
    bool m_tooLong = false;
};

} // namespace tessaro
