#include "core/CustomIniFile.h"

#include <limits>

namespace tessaro {

namespace {

int hexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Accumulates the digits of one base into a magnitude. Stops as soon as the
// magnitude leaves the range of a 32-bit integer, so a line of thousands of
// digits cannot overflow the accumulator. Empty digit texts fail.
bool accumulateDigits(QStringView digits, int base, qint64 limit, qint64& magnitude)
{
    if (digits.isEmpty())
        return false;
    magnitude = 0;
    for (const QChar c : digits) {
        const int value = hexDigitValue(c.unicode());
        if (value < 0 || value >= base)
            return false;
        magnitude = magnitude * base + value;
        if (magnitude > limit)
            return false;
    }
    return true;
}

} // namespace

int TCustomIniFile::parseInteger(QStringView text, int defaultValue)
{
    constexpr qint64 maxPositive = std::numeric_limits<int>::max();
    qint64 magnitude = 0;

    if (text.size() >= 2 && text.at(0) == u'0' && (text.at(1) == u'x' || text.at(1) == u'X'))
        return accumulateDigits(text.mid(2), 16, maxPositive, magnitude) ? int(magnitude)
                                                                         : defaultValue;

    bool negative = false;
    if (!text.isEmpty() && (text.at(0) == u'+' || text.at(0) == u'-')) {
        negative = text.at(0) == u'-';
        text = text.mid(1);
    }
    // The negative range reaches one further than the positive one.
    const qint64 limit = negative ? maxPositive + 1 : maxPositive;
    if (!accumulateDigits(text, 10, limit, magnitude))
        return defaultValue;
    return int(negative ? -magnitude : magnitude);
}

int TCustomIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    return parseInteger(ReadString(section, key, QString()), defaultValue);
}

bool TCustomIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TCustomIniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace tessaro
