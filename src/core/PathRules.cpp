#include "core/PathRules.h"

#include <QDir>

namespace tessaro {

QChar pathSeparator(PathStyle style)
{
    return style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/');
}

QString withTrailingSeparator(const QString& path, PathStyle style)
{
    const QChar separator = pathSeparator(style);
    if (path.isEmpty())
        return style == PathStyle::Windows ? QString(separator) : QString();
    if (path.endsWith(separator))
        return path;
    return path + separator;
}

QString nativeFolder(const QString& folder)
{
    return withTrailingSeparator(QDir::toNativeSeparators(folder), nativePathStyle());
}

bool isExtensionBarrier(QChar c, PathStyle style)
{
    if (style == PathStyle::Windows)
        return c == QLatin1Char('\\') || c == QLatin1Char(':');
    return c == QLatin1Char('/');
}

namespace {

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

} // namespace

bool sameFolderAscii(const QString& a, const QString& b, PathStyle style)
{
    if (style == PathStyle::Posix)
        return a == b;
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a.at(i).unicode()) != asciiLower(b.at(i).unicode()))
            return false;
    }
    return true;
}

bool sameFolderLocale(const QString& a, const QString& b, PathStyle style)
{
    if (style == PathStyle::Posix)
        return a == b;
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringView trimControlAndBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.sliced(begin, end - begin);
}

QString trimControlAndBlanks(const QString& text)
{
    return trimControlAndBlanks(QStringView(text)).toString();
}

} // namespace tessaro
