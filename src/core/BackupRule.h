#pragma once

#include "core/CustomIniFile.h"
#include "core/PathRules.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace tessaro {

enum TAutoCleanMode
{
    acmOff = 0,
    acmNumFiles = 1,
    acmDiskUsage = 2,
};

// One backup rule: archive the files of a source folder into one archive in
// a destination folder.
class TBackupRule
{
public:
    TBackupRule() = default;
    virtual ~TBackupRule() = default;

    QString SourceFolder;
    QString DestinationFolder;
    // Archive file name without folder; may carry date tokens between "#".
    QString DestinationFilename;
    // Stored with the rule; no decision depends on it.
    bool IncludeDate = false;
    bool IncludeSubFolders = false;
    bool UsePassword = false;
    QString Password;
    // Auto clean settings of the destination folder, kept equal in every
    // rule of that folder by TBackupRules::UpdateAutoCleanRules.
    TAutoCleanMode AutoCleanMode = acmOff;
    int NumFiles = 0;
    // The number shown as "Limit by disk usage (GB):".
    int DiskUsage = 0;
    // What the archive leaves out: masks separated by ";", as the user typed
    // them (ExcludeMask.h says what each matches). Empty: nothing.
    QString ExcludeMasks;
    // Run-time only: the archive path a backup pass forms for this rule on
    // its working copy. Never stored, never copied.
    QString OutputFileName;

    // Copies every field except OutputFileName.
    void CopyTo(TBackupRule& target) const;

    bool IsValidSourceFolder(PathStyle style = nativePathStyle()) const;
    bool IsValidDestinationFolder(PathStyle style = nativePathStyle()) const;
    bool IsValidDestinationFilename() const;
    bool IsValid(PathStyle style = nativePathStyle()) const;
    // True when the password in use holds a character that must never reach
    // the archiver's command line: a double quote or a NUL.
    bool HasUnsafePassword() const;
    // True when a mask holds a double quote or a control character, which
    // must never reach the archiver's command line either.
    bool HasUnsafeExcludeMasks() const;
    // The first such character of the password in use, named for a message
    // ("a double quote character", "a NUL character"); empty when none.
    QString UnsafePasswordCharacter() const;

    // Trims the folders, the file name and the masks, ends both folders
    // with a separator, and keeps UsePassword and Password consistent.
    void Normalize(PathStyle style = nativePathStyle());

protected:
    TBackupRule(const TBackupRule&) = default;
    TBackupRule& operator=(const TBackupRule&) = default;
};

// The ordered list of rules. The list owns its rules; TakeAt hands one over
// to the caller.
class TBackupRules
{
public:
    explicit TBackupRules(PathStyle style = nativePathStyle());
    ~TBackupRules();
    Q_DISABLE_COPY_MOVE(TBackupRules)

    PathStyle pathStyle() const { return m_style; }

    qsizetype Count() const { return qsizetype(m_rules.size()); }
    TBackupRule* Item(qsizetype index) const { return m_rules.at(size_t(index)).get(); }
    // Takes ownership of the rule and appends it.
    TBackupRule* Add(std::unique_ptr<TBackupRule> rule);
    // Destroys the rule at the index.
    void Delete(qsizetype index);
    // Removes the rule at the index and hands it to the caller.
    std::unique_ptr<TBackupRule> TakeAt(qsizetype index);
    // Position of the given rule object, or -1.
    qsizetype IndexOf(const TBackupRule* rule) const;
    void Clear();

    // A new list with a copy of every rule, in order, without OutputFileName.
    std::unique_ptr<TBackupRules> Clone() const;

    // Replaces the contents with the rules of sections prefix_0..prefix_999,
    // dropping invalid ones, then writes the document back. Returns what the
    // document's UpdateFile returned.
    bool FromIniFile(TCustomIniFile& iniFile, const QString& sectionName);
    // Replaces the rule sections with the list's rules, numbered from 0, then
    // writes the document back. Returns what UpdateFile returned.
    bool ToIniFile(TCustomIniFile& iniFile, const QString& sectionName) const;

    // Distinct destination folders in order of first appearance (case
    // ignored by the locale's rules on Windows rules).
    QStringList GetDestinationFolders() const;
    // The first rule of each of those folders, in the same order: the rule
    // RuleByDestinationFolder finds for the folder, found in one pass over
    // the list instead of one pass per folder.
    QList<TBackupRule*> FirstRulesOfDestinationFolders() const;
    // First rule whose destination folder equals f (ASCII case ignored on
    // Windows rules), or nullptr.
    TBackupRule* RuleByDestinationFolder(const QString& f) const;
    // Copies r's auto clean settings to every rule of r's destination folder.
    void UpdateAutoCleanRules(const TBackupRule& r);

private:
    PathStyle m_style;
    std::vector<std::unique_ptr<TBackupRule>> m_rules;
};

bool IsValidFolderPath(const QString& path, PathStyle style = nativePathStyle());
bool IsValidFilename(const QString& name);
QString BoolToYesNo(bool value);

} // namespace tessaro
