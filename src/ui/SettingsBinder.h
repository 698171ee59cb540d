#pragma once

#include "app/MainWindowLogic.h"
#include "app/Settings.h"

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
    // A drop-down whose item texts are the field's values.
    void bindComboText(QComboBox* combo, QString TSettings::*field);
    // Radio buttons that each stand for one value of the field; they form
    // one group.
    void bindChoice(const QList<std::pair<QRadioButton*, QString>>& radios,
                    QString TSettings::*field);

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
    MainWindowLogic& m_logic;
    QList<std::function<void(const TSettings&)>> m_views;
    bool m_filling = false;
};

} // namespace tessaro
