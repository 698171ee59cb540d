#include "app/LogLine.h"

#include "core/TimestampFormatter.h"

namespace tessaro {

using namespace Qt::StringLiterals;

QString escapeControlCharacters(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        switch (code) {
        case u'\r':
            escaped += u"\\r"_s;
            continue;
        case u'\n':
            escaped += u"\\n"_s;
            continue;
        case u'\t':
            escaped += u"\\t"_s;
            continue;
        default:
            break;
        }
        if (c.category() == QChar::Other_Control)
            escaped += u"\\x"_s + QString::number(code, 16).toUpper().rightJustified(2, u'0');
        else if (code == 0x2028 || code == 0x2029) // line and paragraph separators
            escaped += u"\\u"_s + QString::number(code, 16).toUpper();
        else
            escaped += c;
    }
    return escaped;
}

QString formatLogLine(const LocalDateTime& now, const QString& level, const QString& text)
{
    // Lines come in bursts within the same minute: the formatter keeps the
    // minute's text and writes only the seconds anew. One per thread, as it
    // is a cache that changes with every line.
    thread_local TimestampFormatter timestamps(u"dd.mm.yyyy hh:MM:ss");
    const QString stamp = timestamps.format(now);
    const QStringView trimmed = trimControlAndBlanks(QStringView(text));
    QString line;
    line.reserve(stamp.size() + level.size() + trimmed.size() + 4);
    line += stamp;
    line += u" ["_s;
    line += level;
    line += u"] "_s;
    // Texts come from outside too (file names, archiver output, server
    // answers): a raw line end in one would start a line of its own making.
    line += escapeControlCharacters(trimmed.toString());
    return line;
}

RgbColor logLevelColor(const QString& level)
{
    if (level == u"W"_s)
        return LogColorMagenta;
    if (level == u"E"_s || level == u"F"_s)
        return LogColorRed;
    return LogColorBlack;
}

QStringList splitLogLine(const QString& line)
{
    return line.split(QLatin1Char('"'), Qt::KeepEmptyParts);
}

bool isLogLink(const QString& piece, PathStyle style)
{
    if (style == PathStyle::Windows)
        return piece.indexOf(u":\\"_s) == 1;
    return piece.startsWith(QLatin1Char('/'));
}

QString logFileName(const QString& logPath, const LocalDateTime& now)
{
    thread_local TimestampFormatter month(u"yymm");
    return logPath + month.format(now) + u"_tessaro.log"_s;
}

} // namespace tessaro
