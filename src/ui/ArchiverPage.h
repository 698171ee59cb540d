#pragma once

#include "ui/PageParts.h"

#include <QWidget>

class QGridLayout;
class QLineEdit;

namespace tessaro {

struct PlatformTexts;

// The archiver page ("WinRAR®" on Windows, "RAR" on Linux): where the
// archiver is and how it is to archive.
class ArchiverPage final : public QWidget
{
    Q_OBJECT

public:
    ArchiverPage(const PageContext& context, QWidget* parent = nullptr);

    // Lets the user pick the archiver's program file, starting from the
    // given text. Empty when the dialog was cancelled.
    QString chooseArchiverFile(const QString& current);

private:
    // The labels naming this platform's archiver.
    const PlatformTexts& texts() const;
    void buildLocation(QGridLayout* grid);
    void buildFormatAndCompression(QGridLayout* grid);
    void buildPathsAndThreads(QGridLayout* grid);
    void buildErrorLog(QGridLayout* grid);
    // The field with a browse button ("...") that opens a file or folder
    // dialog, and an extra control after it when given.
    QWidget* withBrowseButton(QLineEdit* edit, const char* buttonName, std::function<void()> browse,
                              QWidget* extra = nullptr);

    PageContext m_context;
    QLineEdit* EditWinRARLocation = nullptr;
    QLineEdit* EditWinRARLogFile = nullptr;
};

} // namespace tessaro
