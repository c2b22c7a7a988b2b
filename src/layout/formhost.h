#pragma once

#include "form.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// The one top-level window. It fills the screen and shows one form at a
// time; forms open each other by name, so no form depends on another's class.
class FormHost : public QWidget
{
    Q_OBJECT

public:
    using Factory = std::function<Form *()>;

    explicit FormHost(QWidget *parent = nullptr);
    ~FormHost() override;

    void registerForm(const QString &name, Factory factory);
    // Registers the rest of the forms when one is first asked for that has
    // no factory yet: the start window is up before the program beyond it
    // is loaded. Called once.
    void setLateForms(std::function<void()> registerRest);
    bool hasForm(const QString &name) const;
    // Every registered name, in order.
    QStringList formNames() const;

    // Loads the named form afresh, unloads the one on screen, then activates
    // the new one full screen. An unknown name is an error: it is logged as
    // one, and nullptr returned.
    Form *showForm(const QString &name);

    Form *currentForm() const { return m_current; }

    // Forms that are kept: loaded once, on first use or by keepLoaded, and
    // ended with the program. One is shown over the form on screen, which
    // stays loaded beneath it and is activated again when it hides.
    Form *keepLoaded(const QString &name);
    Form *showOnTop(const QString &name);
    void hideOnTop(Form *form);
    Form *formOnTop() const { return m_onTop; }

    // Full screen, also without a window manager to honour the request.
    void showOnScreen();
    // Out of the taskbar if minimised, above the other windows, with the keyboard.
    void bringToFront();

    // Ends the program: programEnding is emitted, and what is connected to
    // it (saving the pupil's work, telling a failure) runs to its end before
    // the program quits. Asked again while that runs, it quits without waiting.
    void endProgram();
    // True once the ending has begun: the work is saved, or the failure told.
    bool isEnding() const { return m_ending; }

Q_SIGNALS:
    void formShown(const QString &name);
    void programEnding();

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Closing the window (its close button, the session ending) ends the
    // program the same way.
    void closeEvent(QCloseEvent *event) override;

private:
    // Emits programEnding once in the life of the window.
    void finishWork();

    // Hides the form on top, if any, and shows the current one again.
    bool uncover();
    // Made from its factory, loaded and hidden; nullptr for an unknown name.
    Form *makeForm(const QString &name);
    // Shown over the whole host and activated.
    void present(Form *form, const QString &name, const char *how);

    QHash<QString, Factory> m_factories;
    std::function<void()> m_lateForms;
    QPointer<Form> m_current;
    QHash<QString, QPointer<Form>> m_kept;
    QPointer<Form> m_onTop;
    bool m_ending = false;
};
