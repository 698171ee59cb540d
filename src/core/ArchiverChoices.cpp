#include "core/ArchiverChoices.h"

namespace tessaro {

using namespace Qt::StringLiterals;

template <>
std::span<const ChoiceEntry<TArchiveFormat>> ChoiceTable<TArchiveFormat>()
{
    // The archiver takes the format from the archive's extension alone.
    static constexpr ChoiceEntry<TArchiveFormat> table[] = {
        {TArchiveFormat::Rar, "RAR"_L1, "RAR"_L1, "rar"_L1},
        {TArchiveFormat::Rar4, "RAR4 (Compatible)"_L1, "RAR4 (Compatible)"_L1, "rar"_L1},
        {TArchiveFormat::Zip, "ZIP"_L1, "ZIP"_L1, "zip"_L1},
    };
    return table;
}

template <>
std::span<const ChoiceEntry<TCompression>> ChoiceTable<TCompression>()
{
    static constexpr ChoiceEntry<TCompression> table[] = {
        {TCompression::Best, "Best"_L1, "Best"_L1, "-m5"_L1},
        {TCompression::Good, "Good"_L1, "Good"_L1, "-m4"_L1},
        {TCompression::Normal, "Normal"_L1, "Normal"_L1, "-m3"_L1},
        {TCompression::Fast, "Fast"_L1, "Fast"_L1, "-m2"_L1},
        {TCompression::Fastest, "Fastest"_L1, "Fastest"_L1, "-m1"_L1},
        {TCompression::Store, "Store"_L1, "Store (No Compression)"_L1, "-m0"_L1},
    };
    return table;
}

template <>
std::span<const ChoiceEntry<TStorePaths>> ChoiceTable<TStorePaths>()
{
    static constexpr ChoiceEntry<TStorePaths> table[] = {
        {TStorePaths::Relative, "Relative paths"_L1, "Relative paths"_L1, "-ep1"_L1},
        {TStorePaths::Full, "Full paths"_L1, "Full paths"_L1, "-ep2"_L1},
        {TStorePaths::FullWithDrive, "Full paths + drive"_L1, "Full paths + drive letter"_L1,
         "-ep3"_L1},
    };
    return table;
}

QString ArchiveExtension(TArchiveFormat format)
{
    return EntryOf(format).archiverText;
}

} // namespace tessaro
