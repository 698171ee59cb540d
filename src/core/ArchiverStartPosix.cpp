#include "core/ArchiverStart.h"

#include <QProcess>

namespace tessaro {

namespace {

// The locale that decides the character set, as the C library picks it
// from the variables read by value.
template <typename Value>
QString characterLocale(Value value)
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString locale = value(name);
        if (!locale.isEmpty())
            return locale;
    }
    return {};
}

bool isUtf8Locale(const QString& locale)
{
    const QString lower = locale.toLower();
    return lower.contains(QLatin1String("utf-8")) || lower.contains(QLatin1String("utf8"));
}

} // namespace

QProcessEnvironment archiverEnvironment(const QProcessEnvironment& inherited)
{
    if (isUtf8Locale(characterLocale(
            [&inherited](const char* name) { return inherited.value(QLatin1String(name)); })))
        return inherited;
    QProcessEnvironment environment = inherited;
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return environment;
}

void prepareArchiverStart(QProcess& process, const ArchiverTokens& tokens)
{
    process.setArguments(ArgumentVector(tokens));
    // In a UTF-8 locale (the usual case) the archiver inherits the program's
    // environment as it is, which spares copying it for every start.
    if (!isUtf8Locale(characterLocale([](const char* name) { return qEnvironmentVariable(name); })))
        process.setProcessEnvironment(
            archiverEnvironment(QProcessEnvironment::systemEnvironment()));
}

} // namespace tessaro
