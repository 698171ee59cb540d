#pragma once

#include "app/ActivityLog.h"
#include "app/ConfigFile.h"
#include "app/PassRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// The run history: one JSON object a line in "history.jsonl" in the data
// folder, one line per pass. A line is written whole with a single write, so
// a crash leaves at worst one damaged last line, which readers skip.
class RunHistory final : public PassObserver
{
public:
    static constexpr int ShownPasses = 100;

    RunHistory(const ConfigFile& config, ActivityLog& log);
    Q_DISABLE_COPY_MOVE(RunHistory)

    QString fileName() const;

    void passStarted(PassTrigger) override {}
    // Appends the pass; a failed write is logged as an error.
    void passEnded(const PassRecord& record) override;

    // The last passes of the file, oldest first. A missing file gives none;
    // damaged lines are skipped and reported once per run of the program.
    QList<PassRecord> lastPasses(int count = ShownPasses);

    // The log lines written while the rule's job ran, read from its month's
    // log file, timestamps included.
    static QStringList logLinesOf(const RuleRecord& rule);

    static QByteArray toJsonLine(const PassRecord& record);
    static std::optional<PassRecord> fromJsonLine(const QByteArray& line);

private:
    const ConfigFile& m_config;
    ActivityLog& m_log;
    bool m_damageReported = false;
};

} // namespace tessaro
