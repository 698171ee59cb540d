#include "app/LogLine.h"

namespace tessaro {

using namespace Qt::StringLiterals;

QString formatLogLine(const LocalDateTime& now, const QString& level, const QString& text)
{
    return now.format(u"dd.mm.yyyy hh:MM:ss") + u" ["_s + level + u"] "_s +
           trimControlAndBlanks(text);
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
    return logPath + now.format(u"yymm") + u"_tessaro.log"_s;
}

} // namespace tessaro
