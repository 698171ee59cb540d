#include "core/ReverseLineReader.h"

#include <algorithm>
#include <utility>

namespace tessaro {

ReverseLineReader::ReverseLineReader(QFile& file, qint64 blockSize)
    : m_file(file), m_blockSize(std::max<qint64>(blockSize, 1)), m_position(file.size())
{}

std::optional<QByteArray> ReverseLineReader::previousLine()
{
    m_tooLong = false;
    while (!m_finished) {
        const qsizetype end = m_held.lastIndexOf('\n');
        if (end >= 0) {
            QByteArray line = m_held.sliced(end + 1);
            m_held.truncate(end);
            if (line.size() > m_lineLimit)
                m_tooLong = true;
            return m_tooLong ? QByteArray() : line;
        }
        // The line runs on beyond the limit: its bytes are dropped as they
        // are read, up to its start.
        if (m_held.size() > m_lineLimit)
            m_tooLong = true;
        if (m_tooLong)
            m_held.clear();
        if (m_position == 0) {
            m_finished = true;
            return m_tooLong ? QByteArray() : std::exchange(m_held, {});
        }
        if (!readBlockBefore()) {
            m_finished = true;
            break;
        }
    }
    return std::nullopt;
}

bool ReverseLineReader::readBlockBefore()
{
    // A line longer than a block would be read a block at a time; doubling
    // keeps that linear in the line's length.
    if (m_held.size() >= m_blockSize)
        m_blockSize *= 2;
    const qint64 from = std::max<qint64>(0, m_position - m_blockSize);
    const qint64 length = m_position - from;
    if (!m_file.seek(from))
        return false;
    QByteArray block = m_file.read(length);
    if (block.size() != length)
        return false;
    m_held.prepend(block);
    m_position = from;
    return true;
}

} // namespace tessaro
