#pragma once

#include "state/profilesettings.h"

#include <QList>
#include <QPalette>
#include <QString>
#include <QVariant>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QSlider;
class QWidget;

// A bar's position for a stored value, and the other way round.
struct BarScale
{
    std::function<int(qint16)> toBar = [](qint16 value) { return int(value); };
    std::function<qint16(int)> fromBar = [](int position) { return qint16(position); };
};

// A control bound to one row of the settings table, as a kcfg_ widget is
// bound to its entry: it shows the row's value and writes back what the
// teacher sets on it. A window shows a pupil's settings by walking its
// bindings, so no control is left showing another pupil's value.
class SettingBinding
{
public:
    // Runs after the teacher changed the value through the control.
    using Changed = std::function<void()>;

    using Scale = BarScale;

    const QString &settingName() const { return m_name; }
    // The control shows the row's value; the control's handlers do not run.
    void show(const ProfileSettings &values) const;
    // The value the control shows, as the row holds it.
    QVariant shown() const { return m_shown(); }

    static SettingBinding check(
        bool ProfileSettings::*member, QCheckBox *box, ProfileSettings &settings, Changed changed = {});
    // The option at the index of the value in force is selected.
    static SettingBinding options(bool ProfileSettings::*member, const QList<QRadioButton *> &buttons,
        const QList<bool> &values, ProfileSettings &settings, Changed changed = {});
    static SettingBinding options(qint16 ProfileSettings::*member, const QList<QRadioButton *> &buttons,
        const QList<qint16> &values, ProfileSettings &settings, Changed changed = {});
    static SettingBinding options(QString ProfileSettings::*member, const QList<QRadioButton *> &buttons,
        const QStringList &values, ProfileSettings &settings, Changed changed = {});
    static SettingBinding slider(qint16 ProfileSettings::*member, QSlider *bar, ProfileSettings &settings,
        Changed changed = {}, Scale scale = {});
    // The row whose value is in force is current. rowOf gives -1 for a value
    // no row shows; valueOf the value of a row.
    static SettingBinding list(QString ProfileSettings::*member, QListWidget *list, ProfileSettings &settings,
        std::function<int(const QString &)> rowOf, std::function<QString(int)> valueOf, Changed changed = {});
    // Shown only: the colour dialogs set these.
    static SettingBinding colour(
        double ProfileSettings::*member, const QList<QWidget *> &controls, QPalette::ColorRole role);
    static SettingBinding fontFamily(QString ProfileSettings::*member, QLabel *sample);
    static SettingBinding fontSize(qint16 ProfileSettings::*member, QLabel *sample);
    // Shown only, as "Sensore 1: tasto spazio": the switch set-up sets it.
    // The label names the switch in force, the default for a damaged line.
    static SettingBinding switchInput(QString ProfileSettings::*member, QLabel *name);

private:
    explicit SettingBinding(const QString &name);

    // `none` is what shows when no option is selected.
    template<typename T>
    static SettingBinding makeOptions(T ProfileSettings::*member, const QList<QRadioButton *> &buttons,
        const QList<T> &values, const T &none, ProfileSettings &settings, const Changed &changed);

    QString m_name;
    std::function<void(const ProfileSettings &)> m_show;
    std::function<QVariant()> m_shown;
};
