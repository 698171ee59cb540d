#pragma once

#include "app/MainWindowLogic.h"
#include "app/Settings.h"
#include "core/ArchiverChoices.h"

#include <QList>
#include <QString>

#include <functional>
#include <utility>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace tessaro {

// Ties the setting controls to the settings record: every change of a
// control goes into its field at once, and refresh() shows the whole record.
// While refresh() fills the controls their change handlers do nothing, so
// showing the record never writes it back or runs the settings update.
class SettingsBinder final
{
public:
    // What a change does after storing its field.
    enum class After
    {
        Nothing,
        UpdateSettings,
    };

    explicit SettingsBinder(MainWindowLogic& logic) : m_logic(logic) {}
    Q_DISABLE_COPY_MOVE(SettingsBinder)

    void bindCheck(QAbstractButton* box, bool TSettings::*field, After after);
    void bindText(QLineEdit* edit, QString TSettings::*field);
    void bindSpin(QSpinBox* spin, int TSettings::*field, After after);
    // A drop-down listing every value of the field's choice by its caption.
    template <typename Choice>
    void bindCombo(QComboBox* combo, Choice TSettings::*field)
    {
        QList<std::pair<QString, int>> items;
        for (const ChoiceEntry<Choice>& entry : ChoiceTable<Choice>())
            items.append({entry.caption, int(entry.value)});
        bindComboItems(combo, items, accessorOf(field));
    }
    // Radio buttons that each stand for one value of the field; they form
    // one group.
    template <typename Choice>
    void bindChoice(const QList<std::pair<QRadioButton*, Choice>>& radios, Choice TSettings::*field)
    {
        QList<std::pair<QRadioButton*, int>> values;
        for (const auto& [radio, value] : radios)
            values.append({radio, int(value)});
        bindRadios(values, accessorOf(field));
    }

    // For controls that need more than one field or a conversion: how to
    // show the record, and, through store(), how to write it.
    void addView(std::function<void(const TSettings&)> show);
    // Applies the change to the record unless the controls are being
    // filled, then runs the settings update when asked to.
    void store(const std::function<void(TSettings&)>& change, After after);

    void refresh();
    bool isFilling() const { return m_filling; }
    MainWindowLogic& logic() { return m_logic; }

private:
    // Reads and writes a choice field as the number of its value.
    struct ChoiceAccessor
    {
        std::function<int(const TSettings&)> get;
        std::function<void(TSettings&, int)> set;
    };
    template <typename Choice>
    static ChoiceAccessor accessorOf(Choice TSettings::*field)
    {
        return {[field](const TSettings& settings) { return int(settings.*field); },
                [field](TSettings& settings, int value) {
                    settings.*field = Choice(value);
                }};
    }
    void bindComboItems(QComboBox* combo, const QList<std::pair<QString, int>>& items,
                        const ChoiceAccessor& field);
    void bindRadios(const QList<std::pair<QRadioButton*, int>>& radios,
                    const ChoiceAccessor& field);

    MainWindowLogic& m_logic;
    QList<std::function<void(const TSettings&)>> m_views;
    bool m_filling = false;
};

} // namespace tessaro
