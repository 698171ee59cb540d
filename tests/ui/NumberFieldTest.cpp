// Numeric fields take any whole number while typing and put an
// out-of-range entry to the nearest allowed value when the focus leaves
// them, in the rule dialog as in the settings.

#include "MainWindowHarness.h"
#include "ui/RangeSpinBox.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

struct EntryCase
{
    const char* name;
    QString typed;
    int expected;
};

class RangeSpinBoxTest : public ::testing::TestWithParam<EntryCase>
{};

// A field for 1 to 1000 holding 10, with the text typed over it key by key.
void typeOver(RangeSpinBox& spin, const QString& typed)
{
    spin.setRange(1, 1000);
    spin.setValue(10);
    QLineEdit* edit = spin.findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, typed);
}

// Typed key by key, as a user does, then the focus leaves.
TEST_P(RangeSpinBoxTest, CorrectsToTheNearestAllowedValueWhenTheFocusLeaves)
{
    RangeSpinBox spin;
    typeOver(spin, GetParam().typed);

    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&spin, &leave);

    EXPECT_EQ(spin.value(), GetParam().expected);
    EXPECT_EQ(spin.text(), QString::number(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Entries, RangeSpinBoxTest,
                         ::testing::Values(EntryCase{"InRange", u"250"_s, 250},
                                           // A plain spin box refuses the last 0 and keeps 500.
                                           EntryCase{"AboveTheMaximum", u"5000"_s, 1000},
                                           EntryCase{"FarAbove", u"99999999999"_s, 1000},
                                           EntryCase{"BelowTheMinimum", u"0"_s, 1},
                                           // No minus sign in a field without negative numbers.
                                           EntryCase{"MinusIsRefused", u"-7"_s, 7},
                                           // Nothing typed: the previous value stays.
                                           EntryCase{"Emptied", u""_s, 10}),
                         [](const ::testing::TestParamInfo<EntryCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(RangeSpinBox, ReadingTheCommittedValueTakesInWhatIsTyped)
{
    RangeSpinBox spin;
    typeOver(spin, u"0"_s);

    EXPECT_EQ(spin.committedValue(), 1);
}

// Every number field of the window and of the rule dialog corrects this way.
TEST(NumberFields, EveryNumberFieldOfTheWindowCorrectsOutOfRangeEntries)
{
    test::MainWindowHarness window;
    window.showLoaded();
    const QList<QSpinBox*> spins = window.form->findChildren<QSpinBox*>();
    ASSERT_FALSE(spins.isEmpty());
    for (QSpinBox* spin : spins) {
        EXPECT_NE(qobject_cast<RangeSpinBox*>(spin), nullptr) << spin->objectName().toStdString();
        EXPECT_EQ(spin->correctionMode(), QAbstractSpinBox::CorrectToNearestValue);
    }
}

} // namespace
} // namespace tessaro
