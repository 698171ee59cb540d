#include "core/ArchiverCommandLine.h"

#include <QFileInfo>

namespace tessaro {

namespace {

const QLatin1String errorLogName("winrar_errors.log");

// Where the extension of a file name starts (its last dot), or -1 when the
// name has none: a dot before the last path barrier does not count.
qsizetype extensionStart(const QString& name, PathStyle style)
{
    for (qsizetype i = name.size() - 1; i >= 0; --i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('.'))
            return i;
        if (isExtensionBarrier(c, style))
            return -1;
    }
    return -1;
}

// The value of one letter inside a "#...#" date pattern, or a null string
// for letters that stand for themselves.
QString patternValue(QChar letter, const LocalDateTime& now)
{
    // Two-digit values come from the program's own date patterns.
    const auto twoDigit = [&now](QStringView pattern) {
        return now.format(pattern, QLatin1Char(':'));
    };
    switch (letter.unicode()) {
    case u'Y':
        return QString::number(now.year());
    case u'y':
        return QString::number(now.year() % 100);
    case u'M':
    case u'm':
        return twoDigit(u"mm");
    case u'D':
    case u'd':
        return twoDigit(u"dd");
    case u'H':
    case u'h':
        return twoDigit(u"hh");
    case u'N':
    case u'n':
    case u'I':
    case u'i':
        return twoDigit(u"nn");
    case u'S':
    case u's':
        return twoDigit(u"ss");
    default:
        return {};
    }
}

QString expandDatePattern(const QString& name, const LocalDateTime& now)
{
    QString out;
    out.reserve(name.size() + 16);
    bool inPattern = false;
    for (const QChar c : name) {
        if (c == QLatin1Char('#')) {
            inPattern = !inPattern;
            continue;
        }
        const QString value = inPattern ? patternValue(c, now) : QString();
        if (value.isNull())
            out += c;
        else
            out += value;
    }
    return out;
}

} // namespace

QString ExpandArchiveName(const QString& fileName, TArchiveFormat archiveFormat,
                          const LocalDateTime& now, PathStyle style)
{
    QString name = fileName;
    if (extensionStart(name, style) < 0)
        name += QLatin1String(".rar");
    name.truncate(extensionStart(name, style));
    name += QLatin1Char('.') + ArchiveExtension(archiveFormat);
    return expandDatePattern(name, now);
}

QString BuildArchiveFileName(const TBackupRule& rule, const TWinRAROptions& options,
                             const LocalDateTime& now, PathStyle style)
{
    return withTrailingSeparator(rule.DestinationFolder, style) +
           ExpandArchiveName(rule.DestinationFilename, options.ArchiveFormat, now, style);
}

QString GetErrorLogFile(const TWinRAROptions& options)
{
    if (!options.LogFile.isEmpty()) {
        const QString folder = withTrailingSeparator(options.LogFile, nativePathStyle());
        if (QFileInfo(folder).isDir())
            return folder + errorLogName;
    }
    return options.DefaultErrorLogFile;
}

ArchiverTokens PlatformArchiverSwitches(PathStyle style)
{
    if (style == PathStyle::Windows)
        return {};
    return {{QStringLiteral("-cfg-"), false}};
}

ArchiverTokens ExclusionTokens(const ExcludeMaskList& masks, const QString& sourceFolder,
                               PathStyle style)
{
    const QChar separator = pathSeparator(style);
    const auto native = [separator](QString text) {
        return text.replace(QLatin1Char('/'), separator);
    };
    const QString prefix = QStringLiteral("-x");
    ArchiverTokens tokens;
    for (const ExcludeMask& mask : masks) {
        switch (mask.kind) {
        case ExcludeMask::Kind::Name:
            tokens.append({prefix + QLatin1Char('*') + separator + mask.pattern, true});
            break;
        case ExcludeMask::Kind::Wildcard:
            tokens.append({prefix + mask.pattern, true});
            tokens.append({prefix + mask.pattern + separator, true});
            break;
        case ExcludeMask::Kind::Path:
            // Only separators: it would name the source folder itself.
            if (!mask.pattern.isEmpty()) {
                tokens.append(
                    {prefix + withTrailingSeparator(sourceFolder, style) + native(mask.pattern),
                     true});
            }
            break;
        }
    }
    return tokens;
}

ArchiverTokens BuildArchiverTokens(const TBackupRule& rule, const TWinRAROptions& options,
                                   const QString& archivePath, const QString& errorLogPath,
                                   PathStyle style)
{
    ArchiverTokens tokens;
    const auto add = [&tokens](const QString& text, bool quoted = false) {
        tokens.append({text, quoted});
    };
    add(options.UpdateMode ? QStringLiteral("u") : QStringLiteral("a"));
    add(rule.IncludeSubFolders ? QStringLiteral("-r") : QStringLiteral("-r-"));
    if (options.Compression)
        add(EntryOf(*options.Compression).archiverText);
    if (rule.UsePassword && !rule.Password.isEmpty())
        add(QLatin1String("-p") + rule.Password, true);
    add(QStringLiteral("-IBCK"));
    add(QStringLiteral("-INUL"));
    if (options.NumThreads > 0)
        add(QLatin1String("-mt") + QString::number(options.NumThreads));
    add(QLatin1String("-ILOG") + errorLogPath, true);
    add(EntryOf(options.StorePaths).archiverText);
    if (style == PathStyle::Posix)
        add(QStringLiteral("-ol"));
    tokens.append(PlatformArchiverSwitches(style));
    tokens.append(
        ExclusionTokens(ParseExcludeMasks(rule.ExcludeMasks, style), rule.SourceFolder, style));
    add(archivePath, true);
    add(rule.SourceFolder, true);
    return tokens;
}

QString JoinParameterString(const ArchiverTokens& tokens)
{
    QStringList parts;
    parts.reserve(tokens.size());
    for (const ArchiverToken& token : tokens) {
        parts.append(token.quoted ? QLatin1Char('"') + token.text + QLatin1Char('"') : token.text);
    }
    return parts.join(QLatin1Char(' '));
}

QStringList ArgumentVector(const ArchiverTokens& tokens)
{
    QStringList arguments;
    arguments.reserve(tokens.size());
    for (const ArchiverToken& token : tokens)
        arguments.append(token.text);
    return arguments;
}

QString BuildCommandLine(const TBackupRule& rule, const TWinRAROptions& options,
                         const QString& archivePath, const QString& errorLogPath, PathStyle style)
{
    return JoinParameterString(
        BuildArchiverTokens(rule, options, archivePath, errorLogPath, style));
}

} // namespace tessaro
