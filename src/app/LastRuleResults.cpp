#include "app/LastRuleResults.h"

#include "core/ArchiverExitCodes.h"

namespace tessaro {

namespace {

// The folder an archive lies in, with its separator at the end, as the
// rule's destination folder is held.
QString folderOfPath(const QString& path, PathStyle style)
{
    return path.left(path.lastIndexOf(pathSeparator(style)) + 1);
}

} // namespace

QString ruleResultText(int code)
{
    switch (code) {
    case ResultSourceEmpty:
        return QStringLiteral("No files found in the source folder");
    case ResultUnsafePassword:
        return QStringLiteral("Password contains a double quote character");
    default:
        return WinRARExitCodeText(code);
    }
}

void LastRuleResults::take(const PassRecord& record)
{
    for (const RuleRecord& rule : record.rules) {
        // One record per rule: a later run replaces the earlier one.
        const auto same = [&](const RuleRecord& known) {
            return sameFolderAscii(known.source, rule.source, m_style) &&
                   sameFolderAscii(folderOfPath(known.archive, m_style),
                                   folderOfPath(rule.archive, m_style), m_style);
        };
        m_records.removeIf(same);
        m_records.append(rule);
    }
}

void LastRuleResults::passEnded(const PassRecord& record)
{
    take(record);
    if (m_changed)
        m_changed();
}

void LastRuleResults::takeFrom(const QList<PassRecord>& passes)
{
    for (const PassRecord& pass : passes)
        take(pass);
}

std::optional<RuleRecord> LastRuleResults::lastRunOf(const TBackupRule& rule) const
{
    for (const RuleRecord& known : m_records) {
        if (sameFolderAscii(known.source, rule.SourceFolder, m_style) &&
            sameFolderAscii(folderOfPath(known.archive, m_style), rule.DestinationFolder, m_style))
            return known;
    }
    return std::nullopt;
}

QString LastRuleResults::failureOf(const TBackupRule& rule) const
{
    const std::optional<RuleRecord> last = lastRunOf(rule);
    if (!last || !last->failed())
        return {};
    return QStringLiteral("Last run failed: ") + ruleResultText(last->result) +
           QStringLiteral(" (") + last->end.format(u"dd.mm.yyyy hh:MM:ss") + QStringLiteral(")");
}

} // namespace tessaro
