#pragma once

#include <QString>

namespace tessaro::manual {

struct ManualInput
{
    // The Markdown file; images are named relative to its folder.
    QString markdownFile;
    QString pdfFile;
    // Shown on the title page.
    QString version;
};

// Turns the Markdown manual into an A4 PDF: a title page, then the text with
// each chapter (a level-one heading) on a new page, and a running header and
// page number on every text page. Returns an empty text on success, else
// what went wrong.
QString writeManualPdf(const ManualInput& input);

} // namespace tessaro::manual
