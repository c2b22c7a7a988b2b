#include "settingbinding.h"

#include "feedback/colours.h"
#include "layout/legible.h"
#include "scanning/switchinput.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include <vector>

namespace {

// Options select themselves; the option of a value outside the list is the first.
template<typename T>
void selectOption(const QList<QRadioButton *> &buttons, const QList<T> &values, const T &value)
{
    const qsizetype index = std::max<qsizetype>(0, values.indexOf(value));
    QRadioButton *chosen = buttons.value(index);
    if (!chosen)
        return;
    // The other options clear as the chosen one is selected: none of them may run its handler.
    std::vector<QSignalBlocker> blockers;
    blockers.reserve(std::size_t(buttons.size()));
    for (QRadioButton *button : buttons)
        blockers.emplace_back(button);
    chosen->setChecked(true);
}

template<typename T>
T optionValue(const QList<QRadioButton *> &buttons, const QList<T> &values, const T &none)
{
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked())
            return values.value(i, none);
    }
    return none;
}

template<typename T>
void connectOptions(T ProfileSettings::*member, const QList<QRadioButton *> &buttons, const QList<T> &values,
    ProfileSettings &settings, const SettingBinding::Changed &changed)
{
    for (qsizetype i = 0; i < buttons.size() && i < values.size(); ++i) {
        const T value = values[i];
        QObject::connect(
            buttons[i], &QRadioButton::toggled, buttons[i], [member, &settings, value, changed](bool on) {
                if (!on)
                    return;
                settings.*member = value;
                if (changed)
                    changed();
            });
    }
}

} // namespace

SettingBinding::SettingBinding(const QString &name)
    : m_name(name)
{ }

void SettingBinding::show(const ProfileSettings &values) const
{
    m_show(values);
}

SettingBinding SettingBinding::check(
    bool ProfileSettings::*member, QCheckBox *box, ProfileSettings &settings, Changed changed)
{
    SettingBinding binding(ProfileSchema::of(member).name);
    binding.m_show = [member, box](const ProfileSettings &values) {
        const QSignalBlocker blocker(box);
        box->setChecked(values.*member);
    };
    binding.m_shown = [box] { return QVariant(box->isChecked()); };
    QObject::connect(
        box, &QCheckBox::toggled, box, [member, &settings, changed = std::move(changed)](bool on) {
            settings.*member = on;
            if (changed)
                changed();
        });
    return binding;
}

template<typename T>
SettingBinding SettingBinding::makeOptions(T ProfileSettings::*member, const QList<QRadioButton *> &buttons,
    const QList<T> &values, const T &none, ProfileSettings &settings, const Changed &changed)
{
    SettingBinding binding(ProfileSchema::of(member).name);
    binding.m_show
        = [member, buttons, values](const ProfileSettings &v) { selectOption(buttons, values, v.*member); };
    binding.m_shown
        = [buttons, values, none] { return QVariant::fromValue(optionValue(buttons, values, none)); };
    connectOptions(member, buttons, values, settings, changed);
    return binding;
}

SettingBinding SettingBinding::options(bool ProfileSettings::*member, const QList<QRadioButton *> &buttons,
    const QList<bool> &values, ProfileSettings &settings, Changed changed)
{
    return makeOptions(member, buttons, values, false, settings, changed);
}

SettingBinding SettingBinding::options(qint16 ProfileSettings::*member, const QList<QRadioButton *> &buttons,
    const QList<qint16> &values, ProfileSettings &settings, Changed changed)
{
    return makeOptions(member, buttons, values, qint16(-1), settings, changed);
}

SettingBinding SettingBinding::options(QString ProfileSettings::*member, const QList<QRadioButton *> &buttons,
    const QStringList &values, ProfileSettings &settings, Changed changed)
{
    return makeOptions(member, buttons, QList<QString>(values), QString(), settings, changed);
}

SettingBinding SettingBinding::slider(
    qint16 ProfileSettings::*member, QSlider *bar, ProfileSettings &settings, Changed changed, Scale scale)
{
    SettingBinding binding(ProfileSchema::of(member).name);
    binding.m_show = [member, bar, toBar = scale.toBar](const ProfileSettings &values) {
        const QSignalBlocker blocker(bar);
        bar->setValue(toBar(values.*member));
    };
    binding.m_shown = [bar, fromBar = scale.fromBar] { return QVariant::fromValue(fromBar(bar->value())); };
    // A bar shows a stored value it cannot reach (set outside this window) at
    // its nearest position, and that value stays until the bar is moved.
    QObject::connect(bar, &QSlider::valueChanged, bar,
        [member, &settings, scale, changed = std::move(changed)](int position) {
            if (scale.toBar(settings.*member) != position)
                settings.*member = scale.fromBar(position);
            if (changed)
                changed();
        });
    return binding;
}

SettingBinding SettingBinding::list(QString ProfileSettings::*member, QListWidget *list,
    ProfileSettings &settings, std::function<int(const QString &)> rowOf, std::function<QString(int)> valueOf,
    Changed changed)
{
    SettingBinding binding(ProfileSchema::of(member).name);
    binding.m_show = [member, list, rowOf](const ProfileSettings &values) {
        const QSignalBlocker blocker(list);
        const int row = rowOf(values.*member);
        list->setCurrentRow(row);
        if (row < 0)
            list->clearSelection();
    };
    binding.m_shown = [list, valueOf] {
        const int row = list->currentRow();
        return row < 0 ? QVariant(QString()) : QVariant(valueOf(row));
    };
    QObject::connect(list, &QListWidget::currentRowChanged, list,
        [member, &settings, valueOf, changed = std::move(changed)](int row) {
            if (row < 0)
                return;
            settings.*member = valueOf(row);
            if (changed)
                changed();
        });
    return binding;
}

SettingBinding SettingBinding::colour(
    double ProfileSettings::*member, const QList<QWidget *> &controls, QPalette::ColorRole role)
{
    SettingBinding binding(ProfileSchema::of(member).name);
    binding.m_show = [member, controls, role](const ProfileSettings &values) {
        const QColor colour = Colours::fromNumber(values.*member);
        for (QWidget *control : controls) {
            QPalette palette = control->palette();
            palette.setColor(role, colour);
            if (role == QPalette::Button) {
                palette.setColor(QPalette::ButtonText,
                    Legible::textColour(QApplication::palette().color(QPalette::ButtonText), colour));
            }
            control->setPalette(palette);
            if (role == QPalette::Window)
                control->setAutoFillBackground(true);
        }
    };
    QWidget *shownOn = controls.value(0);
    binding.m_shown = [shownOn, role] { return QVariant(Colours::toNumber(shownOn->palette().color(role))); };
    return binding;
}

SettingBinding SettingBinding::switchInput(QString ProfileSettings::*member, QLabel *name)
{
    SettingBinding binding(ProfileSchema::of(member).name);
    const bool first = member == &ProfileSettings::Switch1Input;
    binding.m_show = [first, name](const ProfileSettings &values) {
        const SwitchMap switches(values.Switch1Input, values.Switch2Input);
        const SwitchInput input = first ? switches.first() : switches.second();
        name->setText(QStringLiteral("Sensore %1: ").arg(first ? 1 : 2) + input.italianName());
        name->setProperty("switchInput", input.toText());
    };
    binding.m_shown = [name] { return name->property("switchInput"); };
    return binding;
}

SettingBinding SettingBinding::fontFamily(QString ProfileSettings::*member, QLabel *sample)
{
    SettingBinding binding(ProfileSchema::of(member).name);
    // A fresh font: a style picked in the font dialog is not kept.
    binding.m_show = [member, sample](const ProfileSettings &values) {
        QFont font(values.*member);
        font.setPointSize(sample->font().pointSize());
        sample->setFont(font);
    };
    binding.m_shown = [sample] { return QVariant(sample->font().family()); };
    return binding;
}

SettingBinding SettingBinding::fontSize(qint16 ProfileSettings::*member, QLabel *sample)
{
    SettingBinding binding(ProfileSchema::of(member).name);
    binding.m_show = [member, sample](const ProfileSettings &values) {
        QFont font = sample->font();
        font.setPointSize(Legible::textPoints(values.*member));
        sample->setFont(font);
    };
    binding.m_shown = [sample] { return QVariant::fromValue(qint16(sample->font().pointSize())); };
    return binding;
}
