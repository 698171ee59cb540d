// Message boxes show the icon of their kind, and a question that deletes
// something has No as its default button.

#include "MainWindowHarness.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

struct BoxCase
{
    const char* name;
    QString caption;
    MessageButtons buttons;
    QMessageBox::Icon icon;
    // What Enter picks; Ok for a box with one button.
    MessageAnswer byDefault;
};

class MessageBoxKindTest : public ::testing::TestWithParam<BoxCase>
{};

TEST_P(MessageBoxKindTest, ShowsTheIconOfItsKindAndTheSafeDefault)
{
    test::MainWindowHarness window;
    window.showLoaded();

    // The box is read and answered with its default button, as Enter does,
    // from inside its own event loop.
    std::optional<QMessageBox::Icon> icon;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, &answer, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        icon = box->icon();
        answer.stop();
        if (QPushButton* button = box->defaultButton())
            button->click();
        else
            box->reject();
    });
    answer.start(1);

    const MessageAnswer given =
        window.form->showMessage(u"text"_s, GetParam().caption, GetParam().buttons);

    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(*icon, GetParam().icon);
    EXPECT_EQ(given, GetParam().byDefault);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, MessageBoxKindTest,
    ::testing::Values(
        BoxCase{"Error", u"Error"_s, MessageButtons::Ok, QMessageBox::Critical, MessageAnswer::Ok},
        BoxCase{"Information", u"Help"_s, MessageButtons::Ok, QMessageBox::Information,
                MessageAnswer::Ok},
        BoxCase{"Question", u"Periodic Run"_s, MessageButtons::YesNo, QMessageBox::Question,
                MessageAnswer::Yes},
        BoxCase{"QuestionThatDeletes", u"Delete rule"_s, MessageButtons::YesNoDefaultNo,
                QMessageBox::Question, MessageAnswer::No}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tessaro
