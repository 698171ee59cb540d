#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace tessaro::test {

struct ToolResult
{
    int exitCode = -1;
    // Standard output and error together, for the failure message.
    QString output;
};

// Runs a tool to its end; exit code -1 when it could not start, crashed or
// ran for more than five minutes.
ToolResult runTool(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& extra = QProcessEnvironment());

// Every file and symbolic link below root, as paths relative to it, sorted.
QStringList filesBelow(const QString& root);

// What `cmake --install` and the .deb put under the prefix /usr, relative
// to the root of the installed tree.
QStringList expectedInstalledFiles();

// The icon theme's PNG sizes.
QList<int> iconSizes();

QString appId();

} // namespace tessaro::test
