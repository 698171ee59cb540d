// RAR for Linux reads its arguments in its locale's character set; the
// program hands it UTF-8 names, so the archiver always gets a UTF-8 locale.

#include "QtPrinters.h"
#include "core/ArchiverStart.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

#ifndef Q_OS_WIN
TEST(ArchiverEnvironment, ALocaleThatIsNotUtf8GetsCUtf8)
{
    const struct
    {
        const char* name;
        QList<std::pair<QString, QString>> variables;
        // LC_ALL as the archiver sees it; null when it is left unset.
        QString lcAll;
    } cases[] = {
        {"no locale at all, as under cron", {}, u"C.UTF-8"_s},
        {"the C locale", {{u"LANG"_s, u"C"_s}}, u"C.UTF-8"_s},
        {"a Latin-1 locale", {{u"LANG"_s, u"de_DE.ISO-8859-1"_s}}, u"C.UTF-8"_s},
        {"LC_ALL decides over LANG",
         {{u"LANG"_s, u"de_DE.UTF-8"_s}, {u"LC_ALL"_s, u"C"_s}},
         u"C.UTF-8"_s},
        {"a UTF-8 language", {{u"LANG"_s, u"de_DE.UTF-8"_s}}, QString()},
        {"utf8 spelt the short way", {{u"LC_CTYPE"_s, u"en_GB.utf8"_s}}, QString()},
        {"LC_ALL in UTF-8", {{u"LANG"_s, u"C"_s}, {u"LC_ALL"_s, u"C.UTF-8"_s}}, u"C.UTF-8"_s},
    };
    for (const auto& c : cases) {
        QProcessEnvironment inherited;
        inherited.insert(u"PATH"_s, u"/usr/bin"_s);
        for (const auto& [name, value] : c.variables)
            inherited.insert(name, value);

        const QProcessEnvironment environment = archiverEnvironment(inherited);

        EXPECT_EQ(environment.value(u"LC_ALL"_s), c.lcAll) << c.name;
        EXPECT_EQ(environment.value(u"PATH"_s), u"/usr/bin"_s) << c.name;
        for (const auto& [name, value] : c.variables) {
            if (name != u"LC_ALL"_s) {
                EXPECT_EQ(environment.value(name), value) << c.name;
            }
        }
    }
}
#endif

} // namespace
} // namespace tessaro
