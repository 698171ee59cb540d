#pragma once

#include "core/PathRules.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tessaro {

// One mask of a rule's "Exclude:" text, by what it leaves out of the archive:
//
// - Name (no wildcard, no separator): every file and every folder of exactly
//   that name, in the source folder and in any subfolder.
// - Wildcard (a "*" or "?", no separator): every file and every folder whose
//   name matches, at any depth; "*" stands for any run of characters, "?"
//   for one character.
// - Path (a separator anywhere): the file or folder at that path below the
//   source folder, with everything in it. A leading or trailing separator
//   changes nothing. Wildcards work as above, and a "*" may reach into
//   subfolders ("build/*.o" leaves out every .o file anywhere below build).
//
// A folder left out takes everything in it along. Letter case counts on
// POSIX systems and is ignored on Windows, as the file systems do. On Windows
// both "\" and "/" separate folders; on POSIX only "/".
struct ExcludeMask
{
    enum class Kind
    {
        Name,
        Wildcard,
        Path,
    };

    Kind kind = Kind::Name;
    // Name and Wildcard: the name pattern. Path: the path below the source
    // folder, "/"-separated, without a separator at either end.
    QString pattern;

    friend bool operator==(const ExcludeMask&, const ExcludeMask&) = default;
};

using ExcludeMaskList = QList<ExcludeMask>;

// The masks of the text as the user typed them: split at ";", blanks around
// each trimmed, empty ones dropped.
QStringList ExcludeMaskTexts(const QString& text);

// The masks of the text, each classified and its path in "/" form.
ExcludeMaskList ParseExcludeMasks(const QString& text, PathStyle style);

// True when a mask holds a double quote or a control character: the masks
// travel inside double-quoted tokens of the archiver's parameter string,
// where a quote would end the token and let the rest be read as switches.
bool HasUnsafeExcludeMasks(const QString& text);

// True when one of the masks leaves out the file or folder itself:
// relativePath is its path below the source folder, "/"-separated. Entries
// inside a folder that is left out need not be asked about.
bool IsExcluded(const ExcludeMaskList& masks, const QString& relativePath, PathStyle style);

// Whether the pattern covers the whole text: "*" any run of characters
// (separators included), "?" exactly one character.
bool WildcardMatch(QStringView pattern, QStringView text, Qt::CaseSensitivity sensitivity);

} // namespace tessaro
