#include "core/ExcludeMask.h"

#include <algorithm>

namespace tessaro {

namespace {

bool isSeparator(QChar c, PathStyle style)
{
    return c == QLatin1Char('/') || (style == PathStyle::Windows && c == QLatin1Char('\\'));
}

bool hasWildcard(QStringView text)
{
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

Qt::CaseSensitivity caseOf(PathStyle style)
{
    return style == PathStyle::Windows ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

// The path in "/" form without separators at its ends; runs of separators
// count as one.
QString pathPattern(const QString& mask, PathStyle style)
{
    QStringList parts;
    QString part;
    for (const QChar c : mask) {
        if (!isSeparator(c, style)) {
            part += c;
            continue;
        }
        if (!part.isEmpty())
            parts.append(part);
        part.clear();
    }
    if (!part.isEmpty())
        parts.append(part);
    return parts.join(QLatin1Char('/'));
}

ExcludeMask classify(const QString& mask, PathStyle style)
{
    const bool hasSeparator =
        std::any_of(mask.cbegin(), mask.cend(), [style](QChar c) { return isSeparator(c, style); });
    if (hasSeparator)
        return {ExcludeMask::Kind::Path, pathPattern(mask, style)};
    if (hasWildcard(mask))
        return {ExcludeMask::Kind::Wildcard, mask};
    return {ExcludeMask::Kind::Name, mask};
}

QStringView lastComponent(QStringView path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

bool pathMaskExcludes(const QString& pattern, const QString& path, Qt::CaseSensitivity cs)
{
    // A path mask of separators alone names the source folder itself, which
    // is never one of its own entries.
    if (pattern.isEmpty())
        return false;
    if (path.startsWith(pattern, cs) &&
        (path.size() == pattern.size() || path.at(pattern.size()) == QLatin1Char('/')))
        return true;
    return hasWildcard(pattern) && WildcardMatch(pattern, path, cs);
}

} // namespace

QStringList ExcludeMaskTexts(const QString& text)
{
    QStringList masks;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const QString mask = trimControlAndBlanks(part);
        if (!mask.isEmpty())
            masks.append(mask);
    }
    return masks;
}

ExcludeMaskList ParseExcludeMasks(const QString& text, PathStyle style)
{
    ExcludeMaskList masks;
    for (const QString& mask : ExcludeMaskTexts(text))
        masks.append(classify(mask, style));
    return masks;
}

bool HasUnsafeExcludeMasks(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == QLatin1Char('"') || c.unicode() < 32 || c.unicode() == 127;
    });
}

bool IsExcluded(const ExcludeMaskList& masks, const QString& relativePath, PathStyle style)
{
    const Qt::CaseSensitivity cs = caseOf(style);
    const QStringView name = lastComponent(relativePath);
    return std::any_of(masks.cbegin(), masks.cend(), [&](const ExcludeMask& mask) {
        switch (mask.kind) {
        case ExcludeMask::Kind::Name:
            return name.compare(mask.pattern, cs) == 0;
        case ExcludeMask::Kind::Wildcard:
            return WildcardMatch(mask.pattern, name, cs);
        case ExcludeMask::Kind::Path:
            return pathMaskExcludes(mask.pattern, relativePath, cs);
        }
        return false;
    });
}

bool WildcardMatch(QStringView pattern, QStringView text, Qt::CaseSensitivity sensitivity)
{
    // Greedy matching with one remembered star: linear in practice, and no
    // recursion however many stars the pattern holds.
    const auto same = [sensitivity](QChar a, QChar b) {
        return sensitivity == Qt::CaseSensitive ? a == b : a.toCaseFolded() == b.toCaseFolded();
    };
    qsizetype p = 0;
    qsizetype t = 0;
    qsizetype starAt = -1;
    qsizetype starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern.at(p) == QLatin1Char('*')) {
            starAt = p++;
            starText = t;
        } else if (p < pattern.size() &&
                   (pattern.at(p) == QLatin1Char('?') || same(pattern.at(p), text.at(t)))) {
            ++p;
            ++t;
        } else if (starAt >= 0) {
            p = starAt + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p) == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace tessaro
