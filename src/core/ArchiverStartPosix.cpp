#include "core/ArchiverStart.h"

#include <QProcess>

namespace tessaro {

namespace {

// The locale that decides the character set, as the C library picks it.
QString characterLocale(const QProcessEnvironment& environment)
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString value = environment.value(QLatin1String(name));
        if (!value.isEmpty())
            return value;
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
    if (isUtf8Locale(characterLocale(inherited)))
        return inherited;
    QProcessEnvironment environment = inherited;
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return environment;
}

void prepareArchiverStart(QProcess& process, const ArchiverTokens& tokens)
{
    process.setArguments(ArgumentVector(tokens));
    process.setProcessEnvironment(archiverEnvironment(QProcessEnvironment::systemEnvironment()));
}

} // namespace tessaro
