#include "app/CleanupPreview.h"

#include "app/BackupPass.h"
#include "core/AutocleanPreview.h"

namespace tessaro {

std::vector<TFileEntry> PreviewAutoClean(const TBackupRules& rules, const TSettings& settings,
                                         const QString& folder)
{
    const TBackupRule* first = rules.RuleByDestinationFolder(folder);
    if (!first)
        return {};
    const BackupPass::AutoCleanLimits limits = BackupPass::LimitsOf(*first);
    if (!limits.any())
        return {};
    // Every rule of the folder adds one archive at the next pass.
    int newArchives = 0;
    for (qsizetype i = 0; i < rules.Count(); ++i) {
        if (rules.RuleByDestinationFolder(rules.Item(i)->DestinationFolder) == first)
            ++newArchives;
    }
    return PreviewAutoCleanFolder(first->DestinationFolder,
                                  ArchiveExtension(settings.ArchiveFormat), limits.maxFiles,
                                  limits.maxBytes, newArchives);
}

} // namespace tessaro
