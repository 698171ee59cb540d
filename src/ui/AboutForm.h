#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tessaro {

// The About dialog: the program's title as the main window shows it, a short
// notice, the contact mail address and the homepage. Both links open with
// the desktop's default handler while the dialog stays open.
//
// The main window shows it with TAboutForm::Execute(this) from its Help menu;
// each call builds a fresh dialog, so the title always matches the caption
// the window has at that moment.
class TAboutForm final : public QDialog
{
    Q_OBJECT

public:
    // The title is taken from the owner's caption; without an owner it stays
    // empty.
    explicit TAboutForm(QWidget* owner = nullptr);

    // Shows a new dialog modally over owner and destroys it when it closes.
    // Returns the dialog's result.
    static int Execute(QWidget* owner);

    // Opens a link of the notice text with the desktop's default handler:
    // the mail program for the contact address, the browser for the homepage.
    void lblCompanyLinkClick(const QString& link);

    // The notice text: a short credit, the contact address and the homepage,
    // as anchor markup.
    static QString NoticeText();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate(QWidget* owner);
    void centreOnOwner();
    void Button1Click();

    QLabel* lblTitle = nullptr;
    QLabel* lblCompany = nullptr;
    QPushButton* Button1 = nullptr;
};

} // namespace tessaro
