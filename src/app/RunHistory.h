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
// folder, one line per pass. A line is written with a single write and
// always starts on a line of its own, so a crash leaves at worst one damaged
// last line, which readers skip and the next record does not join.
class RunHistory final : public PassObserver
{
public:
    static constexpr int ShownPasses = 100;
    // What one record may hold: longer lines and records of more rules
    // count as damaged, so a hostile or broken file cannot make the reader
    // take in more than this per line.
    static constexpr qint64 MaxLineBytes = 2 * 1024 * 1024;
    static constexpr qsizetype MaxRulesPerRecord = 5000;

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
    // Writes the line at the file's end, on a line of its own; on failure
    // the file keeps its old length and reason says why.
    static bool appendRecord(const QString& fileName, QByteArray line, QString* reason);

    const ConfigFile& m_config;
    ActivityLog& m_log;
    bool m_damageReported = false;
};

} // namespace tessaro
