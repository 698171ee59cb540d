#include "core/MemIniFile.h"

#include "core/FileSync.h"
#include "core/PathRules.h"
#include "core/Quoted.h"
#include "core/SystemConventions.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace tessaro {

namespace {

constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF");
constexpr QByteArrayView utf16LEMark("\xFF\xFE");
constexpr QByteArrayView utf16BEMark("\xFE\xFF");

// Decodes without dropping a leading U+FEFF: the file's own mark has been
// taken off already, so another one is content and must come back on saving.
// *failed tells whether some bytes did not decode.
QString decode(QByteArrayView bytes, QStringConverter::Encoding encoding, bool* failed = nullptr)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (failed)
        *failed = decoder.hasError();
    return text;
}

QByteArray encode(QStringView text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

// The same bytes as encode(), put together a slice at a time: an encoder
// asks for room for the worst case (three bytes a character for UTF-8), and
// for a whole document that would be several times the file's size.
QByteArray encodeInSlices(QStringView text, QStringConverter::Encoding encoding,
                          QByteArray prefix = {})
{
    constexpr qsizetype slice = 16 * 1024;
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    QByteArray bytes = std::move(prefix);
    const qsizetype unitSize =
        encoding == QStringConverter::Utf16LE || encoding == QStringConverter::Utf16BE ? 2 : 1;
    bytes.reserve(bytes.size() + text.size() * unitSize);
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype length = std::min(slice, text.size() - pos);
        // A surrogate pair stays whole within one slice.
        if (pos + length < text.size() && text.at(pos + length - 1).isHighSurrogate())
            ++length;
        bytes += encoder.encode(text.sliced(pos, length));
        pos += length;
    }
    return bytes;
}

// Hand-edited files carry blanks and control characters around names and
// values.
QStringView trimmedView(QStringView text)
{
    return trimControlAndBlanks(text);
}

// A byte-order mark at the start of a line: files put together from several
// files carry their marks inside. It reads as U+FEFF, or as the three
// characters of its bytes in an 8-bit encoding.
qsizetype strayMarkLength(QStringView line)
{
    if (line.startsWith(u'\uFEFF'))
        return 1;
    if (line.startsWith(u"\u00EF\u00BB\u00BF"))
        return 3;
    return 0;
}

struct UnmarkedText
{
    QString text;
    TMemIniFile::Encoding encoding;
};

// How a file without a byte-order mark reads. Bytes that do not survive a
// round trip through the platform encoding were written in some other 8-bit
// encoding. Latin-1 maps every byte to one character and back, so such a
// file is saved exactly as it came, whatever it was meant to be.
UnmarkedText readUnmarked(QByteArrayView bytes)
{
    bool failed = false;
    QString text = decode(bytes, plainTextEncoding(), &failed);
    // UTF-8 that decodes without an error encodes back to the same bytes, so
    // the decoder's verdict spares encoding the whole text again.
    const bool roundTrips = plainTextEncoding() == QStringConverter::Utf8
                                ? !failed
                                : encode(text, plainTextEncoding()) == bytes;
    if (roundTrips)
        return {std::move(text), TMemIniFile::Encoding::Plain8Bit};
    return {QString::fromLatin1(bytes), TMemIniFile::Encoding::Latin1};
}

// Whether an 8-bit encoding keeps every character of the text.
bool fitsEncoding(const QString& text, TMemIniFile::Encoding encoding)
{
    switch (encoding) {
    case TMemIniFile::Encoding::Latin1:
        // Once the bytes that made the file Latin-1 are gone (a comment, a
        // rule dropped), the rest may pass for the platform encoding and
        // would read back as other characters: a folder "Ã¤" turning into
        // "ä".
        return std::all_of(text.cbegin(), text.cend(),
                           [](QChar c) { return c.unicode() <= 0xFF; }) &&
               readUnmarked(text.toLatin1()).text == text;
    case TMemIniFile::Encoding::Plain8Bit:
        // UTF-8 holds every character; a code page may not.
        return plainTextEncoding() == QStringConverter::Utf8 ||
               decode(encode(text, plainTextEncoding()), plainTextEncoding()) == text;
    case TMemIniFile::Encoding::Utf8Bom:
    case TMemIniFile::Encoding::Utf16LE:
    case TMemIniFile::Encoding::Utf16BE:
        break;
    }
    return true;
}

QByteArray encodeDocument(const QString& text, TMemIniFile::Encoding encoding)
{
    switch (encoding) {
    case TMemIniFile::Encoding::Plain8Bit:
        return encodeInSlices(text, plainTextEncoding());
    case TMemIniFile::Encoding::Latin1:
        return text.toLatin1();
    case TMemIniFile::Encoding::Utf8Bom:
        return encodeInSlices(text, QStringConverter::Utf8, utf8Mark.toByteArray());
    case TMemIniFile::Encoding::Utf16LE:
        return encodeInSlices(text, QStringConverter::Utf16LE, utf16LEMark.toByteArray());
    case TMemIniFile::Encoding::Utf16BE:
        return encodeInSlices(text, QStringConverter::Utf16BE, utf16BEMark.toByteArray());
    }
    return {};
}

// Replaces the file with the bytes: written beside it, checked to have
// reached the disk, then renamed over it. On any failure the previous file
// stays whole and *error says why.
bool replaceFile(const QString& fileName, const QByteArray& bytes, bool ownerOnly, QString* error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) ||
        (ownerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))) {
        *error = file.errorString();
        return false;
    }
    // The bytes wait in a buffer until commit(), which checks neither that
    // they reached the file nor that the sync worked: on a full disk it
    // would rename an empty file over the previous one. An uncommitted
    // QSaveFile removes its temporary file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    if (!syncToStorage(file, error))
        return false;
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

TMemIniFile::TMemIniFile(QString fileName) : m_fileName(std::move(fileName)) {}

bool TMemIniFile::load()
{
    QFile file(m_fileName);
    if (!openRegularFile(file, QIODevice::ReadOnly, &m_error))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_error = file.errorString();
        return false;
    }
    loadFromBytes(bytes);
    m_error.clear();
    return true;
}

void TMemIniFile::loadFromBytes(const QByteArray& bytes)
{
    const QByteArrayView view(bytes);
    bool undecodable = false;
    if (view.startsWith(utf8Mark)) {
        m_encoding = Encoding::Utf8Bom;
        parse(decode(view.sliced(utf8Mark.size()), QStringConverter::Utf8, &undecodable));
    } else if (view.startsWith(utf16LEMark)) {
        m_encoding = Encoding::Utf16LE;
        parse(decode(view.sliced(utf16LEMark.size()), QStringConverter::Utf16LE, &undecodable));
    } else if (view.startsWith(utf16BEMark)) {
        m_encoding = Encoding::Utf16BE;
        parse(decode(view.sliced(utf16BEMark.size()), QStringConverter::Utf16BE, &undecodable));
    } else {
        const UnmarkedText read = readUnmarked(view);
        m_encoding = read.encoding;
        parse(read.text);
    }
    m_unplacedContent = m_unplacedContent || undecodable;
}

QByteArray TMemIniFile::toBytes() const
{
    const QString text = toText();
    return encodeDocument(text, encodingForWriting(text));
}

TMemIniFile::Encoding TMemIniFile::encodingForWriting(const QString& text) const
{
    // Losing characters of a value (a password, a folder) is worse than a
    // file that changes its encoding.
    return fitsEncoding(text, m_encoding) ? m_encoding : Encoding::Utf8Bom;
}

void TMemIniFile::clear()
{
    m_lastSectionNumber.reset();
    m_sections.clear();
    m_sectionIndex.clear();
    m_nextSectionNumber = 0;
}

void TMemIniFile::parse(QStringView text)
{
    clear();
    // NUL is no character of a text file: such a file is in an encoding the
    // reader did not recognise (UTF-16 without a mark).
    m_unplacedContent = text.contains(QChar(u'\0'));
    Section* current = nullptr;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        QStringView line = trimmedView(text.sliced(pos, end - pos));
        pos = end + 1;
        if (end + 1 < text.size() && text.at(end) == u'\r' && text.at(end + 1) == u'\n')
            ++pos;
        // The line still counts, so no section is lost; the mark itself is
        // dropped by the write-back, which therefore keeps a copy first.
        while (const qsizetype mark = strayMarkLength(line)) {
            line = trimmedView(line.sliced(mark));
            m_unplacedContent = true;
        }

        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
            current = &sectionForWriting(trimmedView(line.sliced(1, line.size() - 2)).toString());
            continue;
        }
        if (current == nullptr) {
            m_unplacedContent = true;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        current->addIfMissing(trimmedView(line.first(equals)).toString(),
                              trimmedView(line.sliced(equals + 1)).toString());
    }
}

QString TMemIniFile::toText() const
{
    // Sized once: growing by appending would copy the text over and over
    // and leave up to twice the room.
    qsizetype length = 0;
    for (const auto& [number, section] : m_sections) {
        length += section.name.size() + 5;
        for (const Entry& entry : section.entries)
            length += entry.key.size() + entry.value.size() + 3;
    }
    QString text;
    text.reserve(length);
    for (const auto& [number, section] : m_sections) {
        text += u'[';
        text += section.name;
        text += QLatin1String("]\r\n");
        for (const Entry& entry : section.entries) {
            text += entry.key;
            text += u'=';
            text += entry.value;
            text += QLatin1String("\r\n");
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

size_t TMemIniFile::Name::hash(size_t seed) const noexcept
{
    // Must agree with the case-insensitive comparison: every unit is folded
    // the way QString folds it. Surrogates are left out because the
    // comparison folds them as pairs, which one unit cannot reproduce.
    size_t hash = seed ^ size_t(text.size());
    for (const QChar c : text) {
        char16_t unit = c.unicode();
        if (unit < 0x80) {
            if (unit >= u'A' && unit <= u'Z')
                unit = char16_t(unit + (u'a' - u'A'));
        } else if (c.isSurrogate()) {
            continue;
        } else {
            unit = c.toCaseFolded().unicode();
        }
        hash = (hash ^ unit) * size_t(0x100000001B3ULL);
    }
    return hash;
}

bool TMemIniFile::Name::same(QStringView a, QStringView b) noexcept
{
    if (a.size() != b.size())
        return false;
    // Names mostly come back in the spelling they were stored in, and most
    // that differ do so in their first letters: ASCII is compared here, and
    // only the rest is left to the full case folding.
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80)
            return a.sliced(i).compare(b.sliced(i), Qt::CaseInsensitive) == 0;
        if (x >= u'A' && x <= u'Z')
            x = char16_t(x + (u'a' - u'A'));
        if (y >= u'A' && y <= u'Z')
            y = char16_t(y + (u'a' - u'A'));
        if (x != y)
            return false;
    }
    return true;
}

const TMemIniFile::Entry* TMemIniFile::Section::find(const QString& key) const
{
    if (entries.size() < IndexedFrom) {
        for (const Entry& entry : entries) {
            if (entry.key == key)
                return &entry;
        }
        for (const Entry& entry : entries) {
            if (Name::same(entry.key, key))
                return &entry;
        }
        return nullptr;
    }
    const auto it = keyIndex.constFind(Name{key});
    return it == keyIndex.cend() ? nullptr : &entries.at(*it);
}

void TMemIniFile::Section::append(QString key, QString value)
{
    entries.append(Entry{std::move(key), std::move(value)});
    if (entries.size() > IndexedFrom) {
        keyIndex.emplace(Name{entries.last().key}, entries.size() - 1);
    } else if (entries.size() == IndexedFrom) {
        for (qsizetype i = 0; i < entries.size(); ++i)
            keyIndex.emplace(Name{entries.at(i).key}, i);
    }
}

void TMemIniFile::Section::set(const QString& key, const QString& value)
{
    if (const Entry* found = find(key)) {
        entries[found - entries.constData()].value = value;
        return;
    }
    append(key, value);
}

void TMemIniFile::Section::addIfMissing(QString key, QString value)
{
    if (!find(key))
        append(std::move(key), std::move(value));
}

const TMemIniFile::Section* TMemIniFile::findSection(const QString& name) const
{
    if (m_lastSectionNumber && name == m_lastSectionName) {
        const auto last = m_sections.find(*m_lastSectionNumber);
        if (last != m_sections.end())
            return &last->second;
    }
    const auto it = m_sectionIndex.constFind(Name{name});
    if (it == m_sectionIndex.cend())
        return nullptr;
    m_lastSectionNumber = *it;
    m_lastSectionName = name;
    return &m_sections.at(*it);
}

TMemIniFile::Section* TMemIniFile::findSection(const QString& name)
{
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

TMemIniFile::Section& TMemIniFile::sectionForWriting(const QString& name)
{
    if (Section* existing = findSection(name))
        return *existing;
    const quint64 number = m_nextSectionNumber++;
    m_sectionIndex.emplace(Name{name}, number);
    Section& section = m_sections[number];
    section.name = name;
    return section;
}

QString TMemIniFile::ReadString(const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    const Section* found = findSection(section);
    const Entry* entry = found ? found->find(key) : nullptr;
    return entry ? entry->value : defaultValue;
}

void TMemIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    sectionForWriting(section).set(key, value);
}

void TMemIniFile::EraseSection(const QString& section)
{
    const auto it = m_sectionIndex.constFind(Name{section});
    if (it == m_sectionIndex.cend())
        return;
    m_sections.erase(*it);
    m_sectionIndex.erase(it);
}

bool TMemIniFile::SectionExists(const QString& section) const
{
    return findSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const QString& section, const QString& key) const
{
    const Section* found = findSection(section);
    return found && found->find(key);
}

QStringList TMemIniFile::sectionNames() const
{
    QStringList names;
    names.reserve(qsizetype(m_sections.size()));
    for (const auto& [number, section] : m_sections)
        names.append(section.name);
    return names;
}

QStringList TMemIniFile::keyNames(const QString& section) const
{
    QStringList names;
    if (const Section* found = findSection(section)) {
        for (const Entry& entry : found->entries)
            names.append(entry.key);
    }
    return names;
}

bool TMemIniFile::UpdateFile()
{
    // QSaveFile would write an unnamed file into the working folder first and
    // only fail when it tries to give it the empty name.
    if (m_fileName.isEmpty()) {
        m_error = QStringLiteral("No file name given");
        return false;
    }
    // The file may hold archive passwords: one that the document creates is
    // private to its owner, and so becomes one that others could read while
    // it holds secrets. Otherwise QSaveFile keeps the permissions it had.
    // The change is made in place first: it needs no space, so it holds even
    // when the write below fails (a full disk).
    const bool created = !QFileInfo::exists(m_fileName);
    const bool narrowed =
        !created && m_holdsSecrets && openToOtherUsers(m_fileName) &&
        QFile::setPermissions(m_fileName, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_madePrivate = m_madePrivate || narrowed;
    const bool ownerOnly = hasOwnerOnlyFiles() && (created || narrowed);

    if (m_unplacedContent && !keepCopy())
        return false;
    const QString text = toText();
    const Encoding encoding = encodingForWriting(text);
    const QByteArray bytes = encodeDocument(text, encoding);
    if (!replaceFile(m_fileName, bytes, ownerOnly, &m_error))
        return false;
    m_encoding = encoding;
    m_droppedContent = m_droppedContent || m_unplacedContent;
    m_unplacedContent = false;
    m_error.clear();
    return true;
}

bool TMemIniFile::keepCopy()
{
    const QString copy = copyName();
    if (QFileInfo::exists(copy) || !QFileInfo::exists(m_fileName))
        return true;
    QFile original(m_fileName);
    QString reason;
    const bool read = openRegularFile(original, QIODevice::ReadOnly, &reason);
    const QByteArray bytes = read ? original.readAll() : QByteArray();
    if (read)
        reason = original.errorString();
    if (!read || original.error() != QFileDevice::NoError ||
        // The copy holds what the file held, passwords included.
        !replaceFile(copy, bytes, hasOwnerOnlyFiles(), &reason)) {
        m_error = QStringLiteral("could not keep a copy as ") + Quoted(copy) +
                  QStringLiteral(": ") + reason;
        return false;
    }
    m_keptCopy = copy;
    return true;
}

} // namespace tessaro
