#pragma once

#include "core/CustomIniFile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>

namespace tessaro {

// An INI document held in memory, read whole from its file and written back
// whole.
//
// Reading: each line is trimmed, together with byte-order marks at its start
// (which a write-back then drops, as content the reader could not place);
// empty lines and lines starting with ";" are skipped; "[name]" starts a section (name trimmed); a
// section that occurs twice continues the first; inside a section "key=value" (both trimmed, split
// at the first "="); lines before the first section carry nothing.
//
// Writing: every section in document order as "[name]", its keys in
// insertion order, then one empty line; CR LF line ends. A key written anew
// goes to the end of its section, a new section to the end of the document.
//
// Encoding: a byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE and is
// written back. Without a mark the file is read in the platform's 8-bit
// encoding (the ANSI code page on Windows, UTF-8 elsewhere). Bytes that are
// not valid in that encoding make the document fall back to Latin-1, which
// carries every byte through a load and save unchanged. When a later value
// cannot be represented in an 8-bit encoding, the file is written as UTF-8
// with a mark rather than lose characters.
//
// The file is replaced atomically and only once its new content is known to
// be on the disk, and a file created by the document is readable and
// writable by its owner only (it may hold passwords).
//
// A load that meets content a write-back would drop (text before the first
// section, bytes that do not decode) makes the next write first keep the
// file as it was beside it, as "<name>.bak"; a copy kept before is never
// overwritten.
class TMemIniFile final : public TCustomIniFile
{
public:
    enum class Encoding
    {
        Plain8Bit, // no mark: the platform's 8-bit encoding
        Latin1,    // no mark, bytes that the platform encoding rejects
        Utf8Bom,
        Utf16LE,
        Utf16BE,
    };

    // An empty document bound to a file name; nothing is read yet.
    explicit TMemIniFile(QString fileName);

    // Reads the file into the document, replacing its contents. A missing or
    // unreadable file gives false with the reason in errorString().
    bool load();
    // Replaces the contents with the given bytes, as if read from the file.
    void loadFromBytes(const QByteArray& bytes);
    // The document as it would be written to the file.
    QByteArray toBytes() const;

    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const override;
    void WriteString(const QString& section, const QString& key, const QString& value) override;
    void EraseSection(const QString& section) override;
    bool SectionExists(const QString& section) const override;
    bool ValueExists(const QString& section, const QString& key) const override;
    QStringList ReadSection(const QString& section) const override { return keyNames(section); }
    bool UpdateFile() override;
    QString errorString() const override { return m_error; }

    // Whether the document holds content from its file that writing drops:
    // text before the first section, bytes that did not decode.
    bool hasUnplacedContent() const { return m_unplacedContent; }
    // The copy of the file as it was that a write of this document kept
    // before it dropped such content; empty when it kept none.
    QString keptCopy() const { return m_keptCopy; }
    // Whether a write of this document dropped such content, with or
    // without a copy of its own (an earlier copy is never overwritten).
    bool droppedContent() const { return m_droppedContent; }
    // Where the copy of the file as it was goes.
    QString copyName() const { return m_fileName + QStringLiteral(".bak"); }
    // A document that holds secrets (passwords) makes an existing file that
    // others can access private to its owner at the next write (POSIX).
    void setHoldsSecrets(bool holdsSecrets) { m_holdsSecrets = holdsSecrets; }
    // Whether a write of this document took such access away.
    bool madePrivate() const { return m_madePrivate; }

    QString fileName() const { return m_fileName; }
    Encoding encoding() const { return m_encoding; }
    void setEncoding(Encoding encoding) { m_encoding = encoding; }
    QStringList sectionNames() const;
    QStringList keyNames(const QString& section) const;

private:
    // A section or key name that hashes and compares without regard to
    // letter case, so lookups need no case-folded copy of every name.
    struct Name
    {
        QString text;

        size_t hash(size_t seed) const noexcept;
        // Whether two names are the same without regard to letter case.
        static bool same(QStringView a, QStringView b) noexcept;
        friend bool operator==(const Name& a, const Name& b) noexcept
        {
            return same(a.text, b.text);
        }
        friend size_t qHash(const Name& name, size_t seed) noexcept { return name.hash(seed); }
    };
    struct Entry
    {
        QString key;
        QString value;
    };
    struct Section
    {
        QString name;
        // A section of a few keys is searched from end to end, which costs
        // less than hashing names; a larger one gets an index.
        static constexpr qsizetype IndexedFrom = 16;

        QList<Entry> entries;
        // Key name -> position in entries, once the section has IndexedFrom
        // keys. Keys are never removed one by one, so positions stay valid.
        QHash<Name, qsizetype> keyIndex;

        const Entry* find(const QString& key) const;
        // Adds a key the section does not hold yet.
        void append(QString key, QString value);
        void set(const QString& key, const QString& value);
        // Adds the key unless the section already holds it; the first
        // occurrence in a file is the one that reads back.
        void addIfMissing(QString key, QString value);
    };

    const Section* findSection(const QString& name) const;
    Section* findSection(const QString& name);
    Section& sectionForWriting(const QString& name);
    void clear();
    void parse(QStringView text);
    QString toText() const;
    Encoding encodingForWriting(const QString& text) const;
    // Keeps the file as it was beside it, unless a copy exists already.
    bool keepCopy();

    QString m_fileName;
    Encoding m_encoding = Encoding::Plain8Bit;
    // Sections keyed by a creation number, so iteration gives document order
    // and erasing one in the middle costs no renumbering.
    std::map<quint64, Section> m_sections;
    // Section name -> creation number.
    QHash<Name, quint64> m_sectionIndex;
    quint64 m_nextSectionNumber = 0;
    // The section found last, by the spelling it was asked for: the rule
    // list reads and writes one section key after key. Numbers are not
    // reused until the document is cleared, so a section erased since is
    // simply not found under its number.
    mutable QString m_lastSectionName;
    mutable std::optional<quint64> m_lastSectionNumber;
    QString m_error;
    bool m_unplacedContent = false;
    bool m_holdsSecrets = false;
    bool m_madePrivate = false;
    QString m_keptCopy;
    bool m_droppedContent = false;
};

} // namespace tessaro
