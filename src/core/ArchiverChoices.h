#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace tessaro {

// The archiver settings that are a choice among a few values. Inside the
// program they are these enums; they become text only where they are stored
// or shown, through the one table of each.
enum class TArchiveFormat
{
    Rar,
    Rar4,
    Zip,
};

enum class TCompression
{
    Best,
    Good,
    Normal,
    Fast,
    Fastest,
    Store,
};

enum class TStorePaths
{
    Relative,
    Full,
    FullWithDrive,
};

// One value of a choice: how the configuration file stores it, how the
// window shows it, and what it gives the archiver (the archive extension of
// a format, the switch of a compression level or store-paths mode).
template <typename Choice>
struct ChoiceEntry
{
    Choice value;
    QLatin1StringView text;
    QLatin1StringView caption;
    QLatin1StringView archiverText;
};

// The values of each choice in the order the window lists them.
template <typename Choice>
std::span<const ChoiceEntry<Choice>> ChoiceTable();

template <>
std::span<const ChoiceEntry<TArchiveFormat>> ChoiceTable<TArchiveFormat>();
template <>
std::span<const ChoiceEntry<TCompression>> ChoiceTable<TCompression>();
template <>
std::span<const ChoiceEntry<TStorePaths>> ChoiceTable<TStorePaths>();

template <typename Choice>
const ChoiceEntry<Choice>& EntryOf(Choice value)
{
    for (const ChoiceEntry<Choice>& entry : ChoiceTable<Choice>()) {
        if (entry.value == value)
            return entry;
    }
    return ChoiceTable<Choice>().front();
}

template <typename Choice>
QString ChoiceText(Choice value)
{
    return EntryOf(value).text;
}

// The value whose stored text is the given one under the given comparison.
template <typename Choice>
std::optional<Choice> ChoiceOfText(QStringView text, Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    for (const ChoiceEntry<Choice>& entry : ChoiceTable<Choice>()) {
        if (text.compare(entry.text, cs) == 0)
            return entry.value;
    }
    return std::nullopt;
}

// "rar" or "zip": the archive extension of a format, without the dot.
QString ArchiveExtension(TArchiveFormat format);

} // namespace tessaro
