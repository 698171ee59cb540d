#include "ui/SettingsBinder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSpinBox>

namespace tessaro {

void SettingsBinder::bindCheck(QAbstractButton* box, bool TSettings::*field, After after)
{
    addView([box, field](const TSettings& settings) { box->setChecked(settings.*field); });
    // toggled, not clicked: a box set by the program counts as a click too.
    QObject::connect(box, &QAbstractButton::toggled, box, [this, field, after](bool checked) {
        store([&](TSettings& settings) { settings.*field = checked; }, after);
    });
}

void SettingsBinder::bindText(QLineEdit* edit, QString TSettings::*field)
{
    addView([edit, field](const TSettings& settings) {
        // Setting the same text again would move the cursor while typing.
        if (edit->text() != settings.*field)
            edit->setText(settings.*field);
    });
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this, field](const QString& text) {
        store([&](TSettings& settings) { settings.*field = text; }, After::Nothing);
    });
}

void SettingsBinder::bindSpin(QSpinBox* spin, int TSettings::*field, After after)
{
    addView([spin, field](const TSettings& settings) { spin->setValue(settings.*field); });
    QObject::connect(spin, &QSpinBox::valueChanged, spin, [this, field, after](int value) {
        store([&](TSettings& settings) { settings.*field = value; }, after);
    });
}

void SettingsBinder::bindComboItems(QComboBox* combo, const QList<std::pair<QString, int>>& items,
                                    const ChoiceAccessor& field)
{
    for (const auto& [caption, value] : items)
        combo->addItem(caption, value);
    addView([combo, get = field.get](const TSettings& settings) {
        combo->setCurrentIndex(combo->findData(get(settings)));
    });
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [this, combo, set = field.set] {
        const int value = combo->currentData().toInt();
        store([&](TSettings& settings) { set(settings, value); }, After::Nothing);
    });
}

void SettingsBinder::bindRadios(const QList<std::pair<QRadioButton*, int>>& radios,
                                const ChoiceAccessor& field)
{
    if (radios.isEmpty())
        return;
    // A group of their own, so that the choices stay exclusive however the
    // page lays them out.
    auto* group = new QButtonGroup(radios.first().first->parent());
    for (const auto& [radio, value] : radios) {
        group->addButton(radio);
        QObject::connect(radio, &QRadioButton::toggled, radio,
                         [this, set = field.set, value = value](bool checked) {
                             if (checked)
                                 store([&](TSettings& settings) { set(settings, value); },
                                       After::Nothing);
                         });
    }
    addView([radios, get = field.get](const TSettings& settings) {
        for (const auto& [radio, value] : radios) {
            if (value == get(settings))
                radio->setChecked(true);
        }
    });
}

void SettingsBinder::addView(std::function<void(const TSettings&)> show)
{
    m_views.append(std::move(show));
}

void SettingsBinder::store(const std::function<void(TSettings&)>& change, After after)
{
    if (m_filling)
        return;
    m_logic.changeSettings(change, after == After::UpdateSettings);
}

void SettingsBinder::refresh()
{
    const QScopedValueRollback filling(m_filling, true);
    for (const auto& show : m_views)
        show(m_logic.settings().settings());
}

} // namespace tessaro
