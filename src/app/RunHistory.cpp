#include "app/RunHistory.h"

#include "core/Quoted.h"
#include "core/ReverseLineReader.h"
#include "core/SystemConventions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <deque>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

QJsonObject ruleToJson(const RuleRecord& rule)
{
    QJsonObject object{
        {u"source"_s, rule.source},       {u"result"_s, rule.result},
        {u"archive"_s, rule.archive},     {u"size"_s, rule.size},
        {u"seconds"_s, rule.seconds},     {u"start"_s, rule.start.toIso8601()},
        {u"end"_s, rule.end.toIso8601()}, {u"log"_s, rule.logFile},
    };
    // Only for rules with exclusions: the lines of other rules stay as
    // they were, and so readable by older versions.
    if (!rule.excluded.isEmpty())
        object.insert(u"exclude"_s, QJsonArray::fromStringList(rule.excluded));
    return object;
}

// Every value must be there with its type; anything else marks the line as
// damaged rather than filling in a guess.
bool readTime(const QJsonObject& object, const QString& key, LocalDateTime* time)
{
    const QJsonValue value = object.value(key);
    bool ok = false;
    if (value.isString())
        *time = LocalDateTime::fromIso8601(value.toString(), &ok);
    return ok;
}

bool readString(const QJsonObject& object, const QString& key, QString* text)
{
    const QJsonValue value = object.value(key);
    *text = value.toString();
    return value.isString();
}

bool readInteger(const QJsonObject& object, const QString& key, qint64* number)
{
    const QJsonValue value = object.value(key);
    *number = value.toInteger();
    return value.isDouble();
}

// Absent means none; present, it must be a list of texts.
bool readOptionalTexts(const QJsonObject& object, const QString& key, QStringList* texts)
{
    texts->clear();
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return true;
    if (!value.isArray())
        return false;
    for (const QJsonValue& item : value.toArray()) {
        if (!item.isString())
            return false;
        texts->append(item.toString());
    }
    return true;
}

std::optional<RuleRecord> ruleFromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    RuleRecord rule;
    qint64 result = 0;
    const bool ok = readString(object, u"source"_s, &rule.source) &&
                    readInteger(object, u"result"_s, &result) &&
                    readString(object, u"archive"_s, &rule.archive) &&
                    readInteger(object, u"size"_s, &rule.size) &&
                    readInteger(object, u"seconds"_s, &rule.seconds) &&
                    readTime(object, u"start"_s, &rule.start) &&
                    readTime(object, u"end"_s, &rule.end) &&
                    readString(object, u"log"_s, &rule.logFile) &&
                    readOptionalTexts(object, u"exclude"_s, &rule.excluded);
    if (!ok)
        return std::nullopt;
    rule.result = int(result);
    return rule;
}

// The log line's timestamp "dd.mm.yyyy hh:MM:ss"; the time separator may be
// any one character.
std::optional<LocalDateTime> logLineTime(const QString& line)
{
    if (line.size() < 19)
        return std::nullopt;
    const auto number = [&line](qsizetype from, qsizetype length, bool* ok) {
        return QStringView(line).mid(from, length).toInt(ok);
    };
    bool ok[6] = {};
    const LocalDateTime time = LocalDateTime::fromParts(
        number(6, 4, &ok[0]), number(3, 2, &ok[1]), number(0, 2, &ok[2]), number(11, 2, &ok[3]),
        number(14, 2, &ok[4]), number(17, 2, &ok[5]));
    for (bool part : ok) {
        if (!part)
            return std::nullopt;
    }
    return time.isNever() ? std::nullopt : std::optional<LocalDateTime>(time);
}

LocalDateTime wholeSecond(LocalDateTime time)
{
    const qint64 ms = time.milliseconds();
    return LocalDateTime::fromMilliseconds(ms - ms % LocalDateTime::MsPerSecond);
}

QString decodeLogFile(const QByteArray& bytes)
{
    // Log files are 8-bit text unless they start with a byte order mark.
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(bytes);
    if (!marked)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(*marked);
    return decoder.decode(bytes);
}

// A short write tells no reason; the write of the rest does.
bool writeWhole(QFile& file, const QByteArray& bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

} // namespace

RunHistory::RunHistory(const ConfigFile& config, ActivityLog& log) : m_config(config), m_log(log) {}

QString RunHistory::fileName() const
{
    const QString folder = QFileInfo(m_config.fileName()).absolutePath();
    return QDir::toNativeSeparators(folder + u"/history.jsonl"_s);
}

QByteArray RunHistory::toJsonLine(const PassRecord& record)
{
    QJsonArray rules;
    for (const RuleRecord& rule : record.rules)
        rules.append(ruleToJson(rule));
    QJsonObject object{
        {u"start"_s, record.start.toIso8601()},
        {u"end"_s, record.end.toIso8601()},
        {u"trigger"_s, passTriggerName(record.trigger)},
        {u"errors"_s, record.errors()},
        {u"rules"_s, rules},
    };
    // Only a stopped pass says so: the lines of whole passes stay as they were.
    if (record.stopped)
        object.insert(u"stopped"_s, true);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<PassRecord> RunHistory::fromJsonLine(const QByteArray& line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    PassRecord record;
    QString trigger;
    if (!readTime(object, u"start"_s, &record.start) || !readTime(object, u"end"_s, &record.end) ||
        !readString(object, u"trigger"_s, &trigger) ||
        !passTriggerFromName(trigger, &record.trigger) || !object.value(u"rules"_s).isArray())
        return std::nullopt;
    const QJsonValue stopped = object.value(u"stopped"_s);
    if (!stopped.isUndefined() && !stopped.isBool())
        return std::nullopt;
    record.stopped = stopped.toBool();
    const QJsonArray rules = object.value(u"rules"_s).toArray();
    if (rules.size() > MaxRulesPerRecord)
        return std::nullopt;
    for (const QJsonValue& value : rules) {
        const std::optional<RuleRecord> rule = ruleFromJson(value);
        if (!rule)
            return std::nullopt;
        record.rules.append(*rule);
    }
    return record;
}

void RunHistory::passEnded(const PassRecord& record)
{
    QString reason;
    if (appendRecord(fileName(), toJsonLine(record), &reason))
        return;
    m_log.LogError(u"history: could not write "_s + Quoted(fileName()) + u": "_s + reason);
}

bool RunHistory::appendRecord(const QString& fileName, QByteArray line, QString* reason)
{
    QFile file(fileName);
    // Unbuffered: what a failed write leaves behind is on the disk, not in a
    // buffer that the truncation below would first try to flush.
    if (!openRegularFile(file, QIODevice::ReadWrite | QIODevice::Unbuffered, reason))
        return false;
    const qint64 oldSize = file.size();
    // A last line without its line end (a crash, a full disk, an edit) would
    // swallow the new record into a line that no reader can parse.
    if (oldSize > 0 && (!file.seek(oldSize - 1) || file.read(1) != "\n"))
        line.prepend('\n');
    if (file.seek(oldSize) && writeWhole(file, line))
        return true;
    // A record that is not there whole is not there at all.
    *reason = file.errorString();
    file.resize(oldSize);
    return false;
}

QList<PassRecord> RunHistory::lastPasses(int count)
{
    QFile file(fileName());
    if (!openRegularFile(file, QIODevice::ReadOnly))
        return {};
    // Read from the end: the file grows by a line a pass for as long as the
    // program is used, and only its last lines are shown.
    ReverseLineReader lines(file);
    lines.setLineLimit(MaxLineBytes);
    std::deque<PassRecord> passes;
    int damaged = 0;
    while (qsizetype(passes.size()) < count) {
        const std::optional<QByteArray> read = lines.previousLine();
        if (!read)
            break;
        if (lines.lastLineTooLong()) {
            ++damaged;
            continue;
        }
        const QByteArray line = read->trimmed();
        if (line.isEmpty())
            continue;
        std::optional<PassRecord> record = fromJsonLine(line);
        if (!record) {
            ++damaged;
            continue;
        }
        passes.push_front(std::move(*record));
    }
    if (damaged > 0 && !m_damageReported) {
        m_damageReported = true;
        m_log.LogWarn(u"history: skipped %1 damaged line(s) in "_s.arg(damaged) +
                      Quoted(fileName()));
    }
    return {passes.begin(), passes.end()};
}

QStringList RunHistory::logLinesOf(const RuleRecord& rule)
{
    QFile file(rule.logFile);
    if (rule.logFile.isEmpty() || !openRegularFile(file, QIODevice::ReadOnly))
        return {};
    const LocalDateTime from = wholeSecond(rule.start);
    const LocalDateTime to = rule.end;
    QStringList lines;
    const QString text = decodeLogFile(file.readAll());
    for (const QString& line : text.split(u"\r\n"_s, Qt::SkipEmptyParts)) {
        const std::optional<LocalDateTime> time = logLineTime(line);
        if (time && *time >= from && *time <= to)
            lines.append(line);
    }
    return lines;
}

} // namespace tessaro
