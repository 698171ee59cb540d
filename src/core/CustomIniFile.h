#pragma once

#include <QString>
#include <QStringList>

namespace tessaro {

// The operations of an INI document that the rule list and the configuration
// file use. Section and key names match without regard to letter case.
//
// Value forms: integers are written in decimal and read as a decimal number
// with optional sign or as hexadecimal after "0x"/"0X"; anything else, an
// empty value included, reads as the default. Booleans are written as "1"
// and "0" and read as integers (the default as 1 or 0): any non-zero number
// is true, so a word such as "true" reads as the default.
class TCustomIniFile
{
public:
    virtual ~TCustomIniFile() = default;

    // The stored text, or the default when the key is missing.
    virtual QString ReadString(const QString& section, const QString& key,
                               const QString& defaultValue) const = 0;
    // Creates the section and the key as needed.
    virtual void WriteString(const QString& section, const QString& key, const QString& value) = 0;
    // Removes the section with all its keys; nothing happens when it is absent.
    virtual void EraseSection(const QString& section) = 0;
    virtual bool SectionExists(const QString& section) const = 0;
    virtual bool ValueExists(const QString& section, const QString& key) const = 0;
    // The key names of the section in document order; none when it is absent.
    virtual QStringList ReadSection(const QString& section) const = 0;
    // Writes the whole document to its file. False when that failed; the
    // document then says why in errorString().
    virtual bool UpdateFile() = 0;
    virtual QString errorString() const = 0;

    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    // The integer value form on its own, for callers that read text elsewhere.
    static int parseInteger(QStringView text, int defaultValue);

protected:
    TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = default;
    TCustomIniFile& operator=(const TCustomIniFile&) = default;
};

} // namespace tessaro
