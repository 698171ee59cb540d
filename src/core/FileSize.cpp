#include "core/FileSize.h"

#include <QFileInfo>

namespace tessaro {

qint64 FileSizeOf(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.size() : -1;
}

bool IsExistingFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString FormatFileSize(qint64 size, const QLocale& locale)
{
    constexpr qint64 kibi = 1024;
    constexpr qint64 mebi = kibi * 1024;
    constexpr qint64 gibi = mebi * 1024;

    double quotient = 0;
    QString unit;
    if (size < mebi) {
        quotient = double(size) / double(kibi);
        unit = QStringLiteral(" kB");
    } else if (size < gibi) {
        quotient = double(size) / double(mebi);
        unit = QStringLiteral(" MB");
    } else {
        quotient = double(size) / double(gibi);
        unit = QStringLiteral(" GB");
    }

    // Grouping would make "1,024.00 kB" out of a plain byte count; the size
    // reads as printf's "%.2f" with only the decimal separator localized.
    QLocale plain = locale;
    plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    // Like "%.2f", this keeps the sign of a negative size that rounds to zero:
    // the -1 of a missing file reads "-0.00 kB".
    return plain.toString(quotient, 'f', 2) + unit;
}

QString FormatFileSize(qint64 size)
{
    return FormatFileSize(size, QLocale::system());
}

} // namespace tessaro
