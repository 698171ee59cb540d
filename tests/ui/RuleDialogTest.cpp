#include "QtPrinters.h"
#include "ui/RuleForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

template <typename T>
T* child(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Runs the action; the first modal window it opens is handed to onModal from
// inside that window's own event loop.
void withModal(const std::function<void()>& action, const std::function<void(QWidget*)>& onModal)
{
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&onModal] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        onModal(modal);
    });
    timer.start(0);
    action();
}

// A rule dialog on a rule, the way Add opens it, over a main list in the
// given path style. Windows paths keep the examples close to what users type.
class RuleDialog
{
public:
    explicit RuleDialog(PathStyle style = PathStyle::Windows) : rules(style)
    {
        rule.NumFiles = 10;
        rule.DiskUsage = 5;
        rule.IncludeSubFolders = true;
    }

    void open()
    {
        form.fRules = &rules;
        form.fRule = &rule;
        form.UpdateControls();
        form.show();
    }

    // Adds a rule to the main list.
    TBackupRule* listRule(const QString& destination, TAutoCleanMode mode, int numFiles,
                          int diskUsage)
    {
        auto other = std::make_unique<TBackupRule>();
        other->SourceFolder = u"C:\\Other\\"_s;
        other->DestinationFolder = destination;
        other->DestinationFilename = u"other"_s;
        other->AutoCleanMode = mode;
        other->NumFiles = numFiles;
        other->DiskUsage = diskUsage;
        return rules.Add(std::move(other));
    }

    void type(const char* field, const QString& text)
    {
        QLineEdit* edit = child<QLineEdit>(form, field);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    QString text(const char* field) const { return child<QLineEdit>(form, field)->text(); }
    void click(const char* name) { child<QAbstractButton>(form, name)->click(); }
    bool isChecked(const char* name) const
    {
        return child<QAbstractButton>(form, name)->isChecked();
    }
    bool isEnabled(const char* name) const { return child<QWidget>(form, name)->isEnabled(); }
    int spin(const char* name) const { return child<QSpinBox>(form, name)->value(); }

    // Clicks OK and answers the message box it may show; returns the box's
    // "title: text", or an empty text when OK closed the dialog.
    QString clickOk()
    {
        QString shown;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &timer, [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            shown = box->windowTitle() + u": "_s + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        timer.start(0);
        click("ButtonOK");
        return shown;
    }

    void fill(const QString& source, const QString& destination, const QString& filename)
    {
        type("EditSourceFolder", source);
        type("EditDestinationFolder", destination);
        type("EditDestinationFilename", filename);
    }

    TBackupRules rules;
    TBackupRule rule;
    TRuleForm form;
};

// OK takes in the number still being typed and puts it into the allowed
// range: 0 where 1 is the least, 5000 where 1000 is the most.
TEST(RuleDialogNumbers, OkStoresOutOfRangeLimitsAsTheNearestAllowedValue)
{
    RuleDialog dialog;
    dialog.rule.AutoCleanMode = acmNumFiles;
    dialog.open();
    dialog.fill(u"C:\\Data\\"_s, u"D:\\Backup\\"_s, u"data"_s);
    for (const auto& [name, typed] :
         {std::pair{"SpinNumFiles", u"0"_s}, std::pair{"SpinDiskUsage", u"5000"_s}}) {
        QLineEdit* edit = child<QSpinBox>(dialog.form, name)->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, typed);
    }

    EXPECT_EQ(dialog.clickOk(), QString());
    EXPECT_EQ(dialog.rule.NumFiles, 1);
    EXPECT_EQ(dialog.rule.DiskUsage, 1000);
}

TEST(RuleDialogLayout, ControlsStartEmptyWithTheirCaptions)
{
    TRuleForm form;
    EXPECT_EQ(form.fRule, nullptr);
    EXPECT_EQ(form.fRules, nullptr);
    // The described size (taller by the exclusions row), widened only as far
    // as the content needs.
    EXPECT_EQ(form.height(), 327);
    EXPECT_EQ(form.width(), std::max(416, form.minimumSizeHint().width()));

    const struct
    {
        const char* name;
        const char* caption;
    } captions[] = {
        {"LabelSourceFolder", "Source folder:"},
        {"LabelDestinationFolder", "Destination folder:"},
        {"LabelDestinationFilename", "Destination filename:"},
        {"CheckAddDate", "Add date to filename"},
        {"CheckIncludeSubFolders", "Include subfolders"},
        {"CheckPassword", "Password"},
        {"LabelExcludeMasks", "Exclude:"},
        {"LabelExcludeExample", "for example: *.tmp; node_modules; photos/raw"},
        {"CheckAutoClean", "Auto clean:"},
        {"RadioNumFiles", "Limit by number of files:"},
        {"RadioDiskUsage", "Limit by disk usage (GB):"},
        {"ButtonOK", "OK"},
        {"ButtonCancel", "Cancel"},
    };
    for (const auto& c : captions) {
        const QObject* control = child<QObject>(form, c.name);
        const QVariant text = control ? control->property("text") : QVariant();
        EXPECT_EQ(text.toString(), QString::fromLatin1(c.caption)) << c.name;
    }

    for (const char* edit : {"EditSourceFolder", "EditDestinationFolder", "EditDestinationFilename",
                             "EditPassword", "EditExcludeMasks"})
        EXPECT_TRUE(child<QLineEdit>(form, edit)->text().isEmpty()) << edit;
    EXPECT_EQ(child<QLineEdit>(form, "EditPassword")->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(child<QLineEdit>(form, "EditPassword")->isEnabled());
    for (const char* box : {"CheckAddDate", "CheckIncludeSubFolders", "CheckPassword",
                            "CheckAutoClean", "RadioNumFiles", "RadioDiskUsage"})
        EXPECT_FALSE(child<QAbstractButton>(form, box)->isChecked()) << box;
    for (const auto& [name, value] : {std::pair{"SpinNumFiles", 10}, {"SpinDiskUsage", 5}}) {
        const QSpinBox* spin = child<QSpinBox>(form, name);
        EXPECT_EQ(spin->value(), value) << name;
        EXPECT_EQ(spin->minimum(), 1) << name;
        EXPECT_EQ(spin->maximum(), 1000) << name;
    }
    for (const char* name : {"ButtonBrowseSourceFolder", "ButtonBrowseDestinationFolder"})
        EXPECT_NE(child<QToolButton>(form, name), nullptr);
}

TEST(RuleDialogLayout, FillsTheControlsForEachAutoCleanMode)
{
    const struct
    {
        TAutoCleanMode mode;
        bool numFilesSelected;
        bool diskUsageSelected;
    } cases[] = {
        {acmNumFiles, true, false},
        {acmOff, false, false},
        {acmDiskUsage, false, true},
        {acmOff, false, false},
    };
    // One dialog for every case, so each mode must also undo the one before.
    RuleDialog dialog;
    dialog.rule.SourceFolder = u"C:\\Data\\"_s;
    dialog.rule.DestinationFolder = u"D:\\Backup\\"_s;
    dialog.rule.DestinationFilename = u"data"_s;
    dialog.rule.UsePassword = true;
    dialog.rule.Password = u"secret"_s;
    dialog.rule.NumFiles = 0;
    dialog.rule.DiskUsage = 5000;
    dialog.open();
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        dialog.rule.AutoCleanMode = c.mode;
        dialog.form.UpdateControls();

        const bool on = c.mode != acmOff;
        EXPECT_EQ(dialog.isChecked("CheckAutoClean"), on);
        for (const char* control :
             {"RadioNumFiles", "RadioDiskUsage", "SpinNumFiles", "SpinDiskUsage"})
            EXPECT_EQ(dialog.isEnabled(control), on) << control;
        EXPECT_EQ(dialog.isChecked("RadioNumFiles"), c.numFilesSelected);
        EXPECT_EQ(dialog.isChecked("RadioDiskUsage"), c.diskUsageSelected);
        EXPECT_EQ(dialog.spin("SpinNumFiles"), 1) << "clamped up";
        EXPECT_EQ(dialog.spin("SpinDiskUsage"), 1000) << "clamped down";
    }
    EXPECT_EQ(dialog.text("EditSourceFolder"), u"C:\\Data\\"_s);
    EXPECT_EQ(dialog.text("EditDestinationFolder"), u"D:\\Backup\\"_s);
    EXPECT_EQ(dialog.text("EditDestinationFilename"), u"data"_s);
    EXPECT_TRUE(dialog.isChecked("CheckIncludeSubFolders"));
    EXPECT_TRUE(dialog.isChecked("CheckPassword"));
    EXPECT_EQ(dialog.text("EditPassword"), u"secret"_s);
    EXPECT_TRUE(dialog.isEnabled("EditPassword"));
    EXPECT_FALSE(dialog.isChecked("CheckAddDate"));
}

// OK with a rule that cannot be stored names the first problem and keeps the
// dialog open with the fields as typed.
TEST(RuleDialogOk, RefusesTheFirstInvalidInput)
{
    const struct
    {
        const char* source;
        const char* destination;
        const char* filename;
        const char* password;
        const char* masks;
        const char* message;
    } cases[] = {
        {"", "D:\\Backup", "data", nullptr, nullptr, "Please enter a valid source folder"},
        {"C:\\Data", "data", "a:b", nullptr, nullptr, "Please enter a valid destination folder"},
        {"C:\\Data", "D:\\Backup", "a:b", nullptr, nullptr,
         "Please enter a valid destination filename"},
        {"C:\\Data", "D:\\Backup", "data", "pa\"ss -df", nullptr,
         "The password must not contain a double quote character"},
        {"C:\\Data", "D:\\Backup", "data", nullptr, "*.tmp; a\" -df",
         "The exclude masks must not contain a double quote or a control character"},
        // Typed keys cannot carry a control character; a paste can.
        {"C:\\Data", "D:\\Backup", "data", nullptr, "cache\x01; *.tmp",
         "The exclude masks must not contain a double quote or a control character"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        RuleDialog dialog;
        dialog.open();
        dialog.fill(QString::fromLatin1(c.source), QString::fromLatin1(c.destination),
                    QString::fromLatin1(c.filename));
        if (c.password) {
            dialog.click("CheckPassword");
            dialog.type("EditPassword", QString::fromLatin1(c.password));
        }
        if (c.masks)
            child<QLineEdit>(dialog.form, "EditExcludeMasks")
                ->setText(QString::fromLatin1(c.masks));

        EXPECT_EQ(dialog.clickOk(), u"Error: "_s + QString::fromLatin1(c.message));

        EXPECT_TRUE(dialog.form.isVisible());
        EXPECT_NE(dialog.form.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.text("EditSourceFolder"), QString::fromLatin1(c.source));
        EXPECT_EQ(dialog.text("EditDestinationFolder"), QString::fromLatin1(c.destination));
    }
}

TEST(RuleDialogOk, StoresTheNormalizedRule)
{
    const struct
    {
        PathStyle style;
        const char* source;
        const char* destination;
        const char* storedSource;
        const char* storedDestination;
    } cases[] = {
        {PathStyle::Windows, " C:\\Data ", "D:\\Backup", "C:\\Data\\", "D:\\Backup\\"},
        {PathStyle::Posix, "/home/me/data", "/srv/backup/", "/home/me/data/", "/srv/backup/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        RuleDialog dialog(c.style);
        dialog.open();
        dialog.fill(QString::fromLatin1(c.source), QString::fromLatin1(c.destination), u" data "_s);
        // A password of blanks means no password.
        dialog.click("CheckPassword");
        dialog.type("EditPassword", u"   "_s);

        EXPECT_EQ(dialog.clickOk(), QString());

        EXPECT_EQ(dialog.form.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.rule.SourceFolder, QString::fromLatin1(c.storedSource));
        EXPECT_EQ(dialog.rule.DestinationFolder, QString::fromLatin1(c.storedDestination));
        EXPECT_EQ(dialog.rule.DestinationFilename, u"data"_s);
        EXPECT_TRUE(dialog.rule.IncludeSubFolders);
        EXPECT_FALSE(dialog.rule.UsePassword);
        EXPECT_TRUE(dialog.rule.Password.isEmpty());
        EXPECT_EQ(dialog.rule.AutoCleanMode, acmOff);
    }
}

TEST(RuleDialogOk, StoresAPasswordTrimmed)
{
    RuleDialog dialog;
    dialog.open();
    dialog.fill(u"C:\\Data"_s, u"D:\\Backup"_s, u"data"_s);
    dialog.click("CheckPassword");
    dialog.type("EditPassword", u"  se cret "_s);

    EXPECT_EQ(dialog.clickOk(), QString());
    EXPECT_TRUE(dialog.rule.UsePassword);
    EXPECT_EQ(dialog.rule.Password, u"se cret"_s);
}

// The masks are stored as typed, only trimmed at the ends, and an Edit shows
// them again.
TEST(RuleDialogOk, StoresTheExcludeMasksAsTypedAndShowsThemOnEdit)
{
    RuleDialog dialog;
    dialog.open();
    dialog.fill(u"C:\\Data"_s, u"D:\\Backup"_s, u"data"_s);
    dialog.type("EditExcludeMasks", u"  node_modules; *.tmp;My Files\\old  "_s);

    EXPECT_EQ(dialog.clickOk(), QString());
    EXPECT_EQ(dialog.rule.ExcludeMasks, u"node_modules; *.tmp;My Files\\old"_s);

    RuleDialog edit;
    dialog.rule.CopyTo(edit.rule);
    edit.open();
    EXPECT_EQ(edit.text("EditExcludeMasks"), u"node_modules; *.tmp;My Files\\old"_s);
}

TEST(RuleDialogControls, AddDateAppendsTheTokenOnEveryTick)
{
    RuleDialog dialog;
    dialog.open();
    dialog.fill(u"C:\\Data"_s, u"D:\\Backup"_s, u"data"_s);
    const char* expected[] = {"data#ymd_hns#", "data#ymd_hns#", "data#ymd_hns##ymd_hns#"};
    for (const char* name : expected) {
        dialog.click("CheckAddDate");
        EXPECT_EQ(dialog.text("EditDestinationFilename"), QString::fromLatin1(name));
    }

    EXPECT_EQ(dialog.clickOk(), QString());
    EXPECT_EQ(dialog.rule.DestinationFilename, u"data#ymd_hns##ymd_hns#"_s);
    EXPECT_FALSE(dialog.rule.IncludeDate);
}

TEST(RuleDialogControls, PasswordBoxFollowsItsCheckBoxAndKeepsItsText)
{
    RuleDialog dialog;
    dialog.open();
    EXPECT_FALSE(dialog.isEnabled("EditPassword")) << "no password yet";
    dialog.click("CheckPassword");
    EXPECT_TRUE(dialog.isEnabled("EditPassword"));
    dialog.type("EditPassword", u"secret"_s);
    dialog.click("CheckPassword");
    EXPECT_FALSE(dialog.isEnabled("EditPassword"));
    EXPECT_EQ(dialog.text("EditPassword"), u"secret"_s);
}

TEST(RuleDialogControls, AutoCleanTickChoosesALimitAndUntickClearsTheChoice)
{
    RuleDialog dialog;
    dialog.open();
    dialog.fill(u"C:\\Data"_s, u"D:\\Backup"_s, u"data"_s);

    dialog.click("CheckAutoClean");
    EXPECT_TRUE(dialog.isChecked("RadioNumFiles"));
    EXPECT_TRUE(dialog.isEnabled("SpinDiskUsage"));
    dialog.click("RadioDiskUsage");
    child<QSpinBox>(dialog.form, "SpinDiskUsage")->setValue(7);

    dialog.click("CheckAutoClean");
    for (const char* control : {"RadioNumFiles", "RadioDiskUsage", "SpinNumFiles", "SpinDiskUsage"})
        EXPECT_FALSE(dialog.isEnabled(control)) << control;
    EXPECT_FALSE(dialog.isChecked("RadioNumFiles"));
    EXPECT_FALSE(dialog.isChecked("RadioDiskUsage"));
    EXPECT_EQ(dialog.spin("SpinDiskUsage"), 7);

    dialog.click("CheckAutoClean");
    EXPECT_TRUE(dialog.isChecked("RadioNumFiles")) << "neither was selected";
    dialog.click("RadioDiskUsage");
    EXPECT_EQ(dialog.clickOk(), QString());
    EXPECT_EQ(dialog.rule.AutoCleanMode, acmDiskUsage);
    EXPECT_EQ(dialog.rule.DiskUsage, 7);
    EXPECT_EQ(dialog.rule.NumFiles, 10);
}

// Typing the folder of other rules brings their auto clean settings, and
// refills every field from the rule being edited.
TEST(RuleDialogControls, DestinationOfAnotherRuleBringsItsAutoClean)
{
    const struct
    {
        PathStyle style;
        const char* listed;
        const char* typed;
        const char* shown;
    } cases[] = {
        {PathStyle::Windows, "D:\\Backup\\", "d:\\backup", "d:\\backup\\"},
        {PathStyle::Posix, "/srv/backup/", "/srv/backup", "/srv/backup/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        RuleDialog dialog(c.style);
        dialog.listRule(QString::fromLatin1(c.listed), acmNumFiles, 3, 9);
        dialog.open();
        dialog.type("EditSourceFolder", u"C:\\Data"_s);
        dialog.type("EditDestinationFolder", QString::fromLatin1(c.typed));

        EXPECT_TRUE(dialog.isChecked("CheckAutoClean"));
        EXPECT_TRUE(dialog.isChecked("RadioNumFiles"));
        EXPECT_EQ(dialog.spin("SpinNumFiles"), 3);
        EXPECT_EQ(dialog.spin("SpinDiskUsage"), 9);
        EXPECT_EQ(dialog.text("EditDestinationFolder"), QString::fromLatin1(c.shown));
        EXPECT_TRUE(dialog.text("EditSourceFolder").isEmpty())
            << "the source field shows the rule's value again";
    }
}

TEST(RuleDialogControls, FolderOfAnotherCaseIsADifferentFolderOnPosix)
{
    RuleDialog dialog(PathStyle::Posix);
    dialog.listRule(u"/srv/Backup/"_s, acmNumFiles, 3, 9);
    dialog.open();
    dialog.type("EditDestinationFolder", u"/srv/backup"_s);
    EXPECT_FALSE(dialog.isChecked("CheckAutoClean"));
    EXPECT_EQ(dialog.text("EditDestinationFolder"), u"/srv/backup"_s);
}

TEST(RuleDialogControls, BrowseAsksForAFolder)
{
    QTemporaryDir folder;
    RuleDialog dialog(PathStyle::Posix);
    dialog.open();
    withModal([&] { dialog.click("ButtonBrowseDestinationFolder"); },
              [&](QWidget* modal) {
                  auto* picker = qobject_cast<QFileDialog*>(modal);
                  ASSERT_NE(picker, nullptr);
                  EXPECT_EQ(picker->windowTitle(), u"Select Directory"_s);
                  EXPECT_EQ(picker->fileMode(), QFileDialog::Directory);
                  EXPECT_FALSE(picker->testOption(QFileDialog::ReadOnly))
                      << "new folders can be made";
                  picker->setDirectory(folder.path());
                  static_cast<QDialog*>(picker)->accept();
              });
    EXPECT_EQ(dialog.text("EditDestinationFolder"), QDir::toNativeSeparators(folder.path()));
}

// Only OK and Cancel or the close box end the dialog; Enter and Escape do not.
TEST(RuleDialogKeys, OnlyTheButtonsAndTheCloseBoxEndTheDialog)
{
    TBackupRules rules(PathStyle::Windows);
    TBackupRule rule;
    rule.SourceFolder = u"C:\\Data\\"_s;
    rule.DestinationFolder = u"D:\\Backup\\"_s;
    rule.DestinationFilename = u"data"_s;
    QWidget parent;
    parent.setGeometry(100, 100, 800, 600);
    parent.show();

    bool confirmed = true;
    withModal([&] { confirmed = TRuleForm::Execute(&parent, rule, rules, u"Edit backup rule"_s); },
              [&](QWidget* modal) {
                  auto* form = qobject_cast<TRuleForm*>(modal);
                  ASSERT_NE(form, nullptr);
                  EXPECT_EQ(form->windowTitle(), u"Edit backup rule"_s);
                  // Centred on the window that opened it, give or take rounding.
                  EXPECT_LE(
                      (form->geometry().center() - parent.geometry().center()).manhattanLength(),
                      2);
                  auto* ok = child<QPushButton>(*form, "ButtonOK");
                  EXPECT_EQ(form->focusWidget(), ok);
                  for (const char* name : {"ButtonOK", "ButtonCancel"}) {
                      EXPECT_FALSE(child<QPushButton>(*form, name)->isDefault()) << name;
                      EXPECT_FALSE(child<QPushButton>(*form, name)->autoDefault()) << name;
                  }
                  for (const char* target : {"ButtonOK", "EditDestinationFilename"}) {
                      for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
                          QTest::keyClick(child<QWidget>(*form, target), key);
                  }
                  EXPECT_TRUE(form->isVisible()) << "a key ended the dialog";
                  form->close();
              });
    EXPECT_FALSE(confirmed) << "the close box counts as Cancel";

    withModal([&] { confirmed = TRuleForm::Execute(&parent, rule, rules, u"Edit backup rule"_s); },
              [](QWidget* modal) { child<QPushButton>(*modal, "ButtonOK")->click(); });
    EXPECT_TRUE(confirmed);

    withModal([&] { confirmed = TRuleForm::Execute(&parent, rule, rules, u"Edit backup rule"_s); },
              [](QWidget* modal) { child<QPushButton>(*modal, "ButtonCancel")->click(); });
    EXPECT_FALSE(confirmed);
}

// With a larger desktop font the dialog grows with its texts: no label is
// cut, and the folder fields show a whole path of some length.
TEST(RuleDialogLayout, GrowsWithALargerFont)
{
    const QFont previous = QApplication::font();
    QFont large = previous;
    large.setPixelSize(20);
    QApplication::setFont(large);
    {
        TRuleForm form;
        form.show();
        EXPECT_GT(form.width(), 416);
        for (QLabel* label : form.findChildren<QLabel*>()) {
            if (label->isVisible()) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
            }
        }
        for (QAbstractButton* button : form.findChildren<QAbstractButton*>())
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
        auto* source = child<QLineEdit>(form, "EditSourceFolder");
        EXPECT_GE(source->width(), source->fontMetrics().averageCharWidth() * 26);
    }
    QApplication::setFont(previous);
}

// A source folder that is not there now is said beside it, and OK still
// takes the rule: the folder may be on a drive that is not plugged in.
TEST(RuleDialogSource, AMissingFolderIsSaidWithoutBlockingOk)
{
    QTemporaryDir dir;
    RuleDialog dialog(PathStyle::Posix);
    dialog.open();
    auto* warning = child<QLabel>(dialog.form, "LabelSourceMissing");
    EXPECT_FALSE(warning->isVisible());

    dialog.fill(dir.path() + u"/not-plugged-in/"_s, dir.path() + u"/backup/"_s, u"data"_s);
    EXPECT_TRUE(warning->isVisible());
    EXPECT_EQ(warning->text(), u"This folder does not exist now. The rule can be saved all the "
                               u"same, for example for a drive that is not plugged in."_s);
    dialog.type("EditSourceFolder", dir.path());
    EXPECT_FALSE(warning->isVisible());

    dialog.type("EditSourceFolder", dir.path() + u"/not-plugged-in/"_s);
    EXPECT_EQ(dialog.clickOk(), QString());
    EXPECT_EQ(dialog.form.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.rule.SourceFolder, dir.path() + u"/not-plugged-in/"_s);
}

} // namespace
} // namespace tessaro
