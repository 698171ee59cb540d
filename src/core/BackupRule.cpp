#include "core/BackupRule.h"

#include "core/ExcludeMask.h"

#include <QHash>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

// Rule sections are numbered from 0; numbers past this are never read, so
// they are never erased either.
constexpr int maxRuleSections = 1000;

bool hasForbiddenFolderCharacter(const QString& path)
{
    return std::any_of(path.cbegin(), path.cend(), [](QChar c) {
        return c.unicode() < 31 || QStringView(u"<>\"|?*").contains(c);
    });
}

// Whether the path holds one of the dot sequences. Most folder names have no
// dot at all, which one cheap search settles for every sequence at once.
bool containsDotSequence(const QString& path, std::initializer_list<QStringView> sequences)
{
    if (!path.contains(u'.'))
        return false;
    return std::any_of(sequences.begin(), sequences.end(),
                       [&path](QStringView sequence) { return path.contains(sequence); });
}

bool isValidWindowsFolderPath(const QString& path)
{
    if (path.size() < 3 || path.at(1) != u':' || path.at(2) != u'\\')
        return false;
    // Only the drive's colon may appear; any later one would name an
    // alternate data stream.
    if (path.indexOf(u':', 3) >= 0)
        return false;
    if (hasForbiddenFolderCharacter(path))
        return false;
    // The forward slash passes as a character, but its dot sequences climb
    // out of the folder just like the backslash ones.
    return !containsDotSequence(path, {u"\\.\\", u"\\..", u"..\\", u"/./", u"/..", u"../"});
}

bool isValidPosixFolderPath(const QString& path)
{
    if (!path.startsWith(u'/'))
        return false;
    if (hasForbiddenFolderCharacter(path))
        return false;
    return !containsDotSequence(path, {u"/./", u"/..", u"../"});
}

QString ruleSectionName(const QString& prefix, int number)
{
    return prefix + u'_' + QString::number(number);
}

QString autoCleanModeText(TAutoCleanMode mode)
{
    switch (mode) {
    case acmNumFiles:
        return u"NumFiles"_s;
    case acmDiskUsage:
        return u"DiskUsage"_s;
    case acmOff:
        break;
    }
    return u"Off"_s;
}

// Exact comparison: a hand-edited "numfiles" switches auto clean off rather
// than guessing what was meant.
TAutoCleanMode autoCleanModeFromText(const QString& text)
{
    if (text == u"NumFiles"_s)
        return acmNumFiles;
    if (text == u"DiskUsage"_s)
        return acmDiskUsage;
    return acmOff;
}

std::unique_ptr<TBackupRule> readRule(const TCustomIniFile& ini, const QString& section)
{
    auto rule = std::make_unique<TBackupRule>();
    rule->SourceFolder = ini.ReadString(section, u"SourceFolder"_s, QString());
    rule->DestinationFolder = ini.ReadString(section, u"DestinationFolder"_s, QString());
    rule->DestinationFilename = ini.ReadString(section, u"DestinationFilename"_s, QString());
    rule->IncludeDate = ini.ReadBool(section, u"IncludeDate"_s, false);
    rule->IncludeSubFolders = ini.ReadBool(section, u"IncludeSubFolders"_s, false);
    rule->UsePassword = ini.ReadBool(section, u"UsePassword"_s, false);
    rule->Password = ini.ReadString(section, u"Password"_s, QString());
    rule->AutoCleanMode =
        autoCleanModeFromText(ini.ReadString(section, u"AutoCleanMode"_s, u"Off"_s));
    rule->NumFiles = ini.ReadInteger(section, u"NumFiles"_s, 10);
    rule->DiskUsage = ini.ReadInteger(section, u"DiskUsage"_s, 1000);
    rule->ExcludeMasks = ini.ReadString(section, u"ExcludeMasks"_s, QString());
    return rule;
}

void writeRule(TCustomIniFile& ini, const QString& section, const TBackupRule& rule)
{
    ini.WriteString(section, u"SourceFolder"_s, rule.SourceFolder);
    ini.WriteString(section, u"DestinationFolder"_s, rule.DestinationFolder);
    ini.WriteString(section, u"DestinationFilename"_s, rule.DestinationFilename);
    ini.WriteBool(section, u"IncludeDate"_s, rule.IncludeDate);
    ini.WriteBool(section, u"IncludeSubFolders"_s, rule.IncludeSubFolders);
    ini.WriteBool(section, u"UsePassword"_s, rule.UsePassword);
    ini.WriteString(section, u"Password"_s, rule.Password);
    ini.WriteString(section, u"AutoCleanMode"_s, autoCleanModeText(rule.AutoCleanMode));
    ini.WriteInteger(section, u"NumFiles"_s, rule.NumFiles);
    ini.WriteInteger(section, u"DiskUsage"_s, rule.DiskUsage);
    // Only when there are masks, so that a file without them is written
    // exactly as before and older versions, which ignore the key, read the
    // rest unchanged.
    if (!rule.ExcludeMasks.isEmpty())
        ini.WriteString(section, u"ExcludeMasks"_s, rule.ExcludeMasks);
}

// The text by which sameFolderAscii groups folders: ASCII letters folded on
// Windows, the folder as it is on POSIX.
QString folderKey(const QString& folder, PathStyle style)
{
    if (style == PathStyle::Posix)
        return folder;
    QString key = folder;
    for (QChar& c : key) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return key;
}

// The text by which sameFolderLocale groups folders: case-folded on Windows
// (the same folding as a case-insensitive comparison), as it is on POSIX.
QString localeFolderKey(const QString& folder, PathStyle style)
{
    return style == PathStyle::Posix ? folder : folder.toCaseFolded();
}

// Gives every rule the auto clean settings of the last rule of its
// destination folder. This is the outcome of calling UpdateAutoCleanRules for
// each rule as it is appended, without a scan of the list per rule, which
// would make reading a long list quadratic.
void shareLastAutoCleanSettings(const std::vector<std::unique_ptr<TBackupRule>>& rules,
                                PathStyle style)
{
    QList<QString> keys;
    keys.reserve(qsizetype(rules.size()));
    QHash<QString, const TBackupRule*> lastOfFolder;
    for (const auto& rule : rules) {
        keys.append(folderKey(rule->DestinationFolder, style));
        lastOfFolder.insert(keys.back(), rule.get());
    }
    for (size_t i = 0; i < rules.size(); ++i) {
        const TBackupRule* last = lastOfFolder.value(keys.at(qsizetype(i)));
        rules[i]->AutoCleanMode = last->AutoCleanMode;
        rules[i]->NumFiles = last->NumFiles;
        rules[i]->DiskUsage = last->DiskUsage;
    }
}

} // namespace

// --- TBackupRule -----------------------------------------------------------

void TBackupRule::CopyTo(TBackupRule& target) const
{
    target.SourceFolder = SourceFolder;
    target.DestinationFolder = DestinationFolder;
    target.DestinationFilename = DestinationFilename;
    target.IncludeDate = IncludeDate;
    target.IncludeSubFolders = IncludeSubFolders;
    target.UsePassword = UsePassword;
    target.Password = Password;
    target.AutoCleanMode = AutoCleanMode;
    target.NumFiles = NumFiles;
    target.DiskUsage = DiskUsage;
    target.ExcludeMasks = ExcludeMasks;
}

bool TBackupRule::IsValidSourceFolder(PathStyle style) const
{
    return IsValidFolderPath(SourceFolder, style);
}

bool TBackupRule::IsValidDestinationFolder(PathStyle style) const
{
    return IsValidFolderPath(DestinationFolder, style);
}

bool TBackupRule::IsValidDestinationFilename() const
{
    return IsValidFilename(DestinationFilename);
}

bool TBackupRule::IsValid(PathStyle style) const
{
    return IsValidSourceFolder(style) && IsValidDestinationFolder(style) &&
           IsValidDestinationFilename();
}

bool TBackupRule::HasUnsafePassword() const
{
    return !UnsafePasswordCharacter().isEmpty();
}

QString TBackupRule::UnsafePasswordCharacter() const
{
    if (!UsePassword)
        return {};
    // The password travels inside one double-quoted token of the parameter
    // string; a quote in it would end the token early and let the rest be
    // read as further switches of the archiver.
    if (Password.contains(QLatin1Char('"')))
        return QStringLiteral("a double quote character");
    // A command line and an argument vector both end a text at its NUL: the
    // archiver would silently get a shorter password than the user set.
    if (Password.contains(QChar(u'\0')))
        return QStringLiteral("a NUL character");
    return {};
}

bool TBackupRule::HasUnsafeExcludeMasks() const
{
    return tessaro::HasUnsafeExcludeMasks(ExcludeMasks);
}

void TBackupRule::Normalize(PathStyle style)
{
    SourceFolder = withTrailingSeparator(trimControlAndBlanks(SourceFolder), style);
    DestinationFolder = withTrailingSeparator(trimControlAndBlanks(DestinationFolder), style);
    DestinationFilename = trimControlAndBlanks(DestinationFilename);
    ExcludeMasks = trimControlAndBlanks(ExcludeMasks);
    if (UsePassword) {
        Password = trimControlAndBlanks(Password);
        UsePassword = !Password.isEmpty();
    } else {
        Password.clear();
    }
}

// --- TBackupRules ----------------------------------------------------------

TBackupRules::TBackupRules(PathStyle style) : m_style(style) {}

TBackupRules::~TBackupRules()
{
    Clear();
}

TBackupRule* TBackupRules::Add(std::unique_ptr<TBackupRule> rule)
{
    m_rules.push_back(std::move(rule));
    return m_rules.back().get();
}

void TBackupRules::Delete(qsizetype index)
{
    m_rules.erase(m_rules.begin() + index);
}

std::unique_ptr<TBackupRule> TBackupRules::TakeAt(qsizetype index)
{
    std::unique_ptr<TBackupRule> rule = std::move(m_rules.at(size_t(index)));
    m_rules.erase(m_rules.begin() + index);
    return rule;
}

qsizetype TBackupRules::IndexOf(const TBackupRule* rule) const
{
    const auto it = std::find_if(m_rules.cbegin(), m_rules.cend(),
                                 [rule](const auto& owned) { return owned.get() == rule; });
    return it == m_rules.cend() ? -1 : qsizetype(it - m_rules.cbegin());
}

void TBackupRules::Clear()
{
    // The order is part of the contract: rules go from the first to the
    // last, which std::vector's own destruction does not promise.
    for (auto& rule : m_rules)
        rule.reset();
    m_rules.clear();
}

std::unique_ptr<TBackupRules> TBackupRules::Clone() const
{
    auto copy = std::make_unique<TBackupRules>(m_style);
    for (const auto& rule : m_rules) {
        auto ruleCopy = std::make_unique<TBackupRule>();
        rule->CopyTo(*ruleCopy);
        copy->Add(std::move(ruleCopy));
    }
    return copy;
}

bool TBackupRules::FromIniFile(TCustomIniFile& iniFile, const QString& sectionName)
{
    Clear();
    for (int number = 0; number < maxRuleSections; ++number) {
        const QString section = ruleSectionName(sectionName, number);
        if (iniFile.ReadString(section, u"SourceFolder"_s, QString()).isEmpty())
            continue;
        auto rule = readRule(iniFile, section);
        rule->Normalize(m_style);
        if (rule->IsValid(m_style))
            Add(std::move(rule));
    }
    shareLastAutoCleanSettings(m_rules, m_style);
    return iniFile.UpdateFile();
}

bool TBackupRules::ToIniFile(TCustomIniFile& iniFile, const QString& sectionName) const
{
    for (int number = 0; number < maxRuleSections; ++number)
        iniFile.EraseSection(ruleSectionName(sectionName, number));
    for (size_t position = 0; position < m_rules.size(); ++position)
        writeRule(iniFile, ruleSectionName(sectionName, int(position)), *m_rules[position]);
    return iniFile.UpdateFile();
}

QList<TBackupRule*> TBackupRules::FirstRulesOfDestinationFolders() const
{
    QList<TBackupRule*> firstRules;
    QSet<QString> seen;
    for (const auto& rule : m_rules) {
        if (const QString key = localeFolderKey(rule->DestinationFolder, m_style);
            !seen.contains(key)) {
            seen.insert(key);
            firstRules.append(rule.get());
        }
    }
    return firstRules;
}

QStringList TBackupRules::GetDestinationFolders() const
{
    QStringList folders;
    for (const TBackupRule* rule : FirstRulesOfDestinationFolders())
        folders.append(rule->DestinationFolder);
    return folders;
}

TBackupRule* TBackupRules::RuleByDestinationFolder(const QString& f) const
{
    const auto it = std::find_if(m_rules.cbegin(), m_rules.cend(), [&](const auto& rule) {
        return sameFolderAscii(rule->DestinationFolder, f, m_style);
    });
    return it == m_rules.cend() ? nullptr : it->get();
}

void TBackupRules::UpdateAutoCleanRules(const TBackupRule& r)
{
    // Copied first: r may be one of the rules being updated.
    const QString folder = r.DestinationFolder;
    const TAutoCleanMode mode = r.AutoCleanMode;
    const int numFiles = r.NumFiles;
    const int diskUsage = r.DiskUsage;
    for (const auto& rule : m_rules) {
        if (!sameFolderAscii(rule->DestinationFolder, folder, m_style))
            continue;
        rule->AutoCleanMode = mode;
        rule->NumFiles = numFiles;
        rule->DiskUsage = diskUsage;
    }
}

// --- free functions --------------------------------------------------------

bool IsValidFolderPath(const QString& path, PathStyle style)
{
    return style == PathStyle::Windows ? isValidWindowsFolderPath(path)
                                       : isValidPosixFolderPath(path);
}

bool IsValidFilename(const QString& name)
{
    if (name.isEmpty())
        return false;
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() < 31 || QStringView(u"<>:\"/\\|?*").contains(c);
    });
}

QString BoolToYesNo(bool value)
{
    return value ? u"yes"_s : u"no"_s;
}

} // namespace tessaro
