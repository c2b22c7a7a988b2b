#pragma once

#include "resizer.h"

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class FormHost;
class QFont;
class QMenuBar;

// The program's own captions are Arial (Liberation Sans where Arial is missing).
QFont arialFont(double points, bool bold = false);

// One screen of the program. Controls are placed in design twips on the
// client area and rescaled with it; the form has its own menu bar above the
// client area. The host calls the lifecycle steps:
//   load      - once, after construction: the scaler captures the design
//               layout and sizes the form, then formLoad();
//   activate  - each time the form is shown: formActivate();
//   unload    - once, before the form is destroyed: formUnload().
//
// Members and methods say what a control is and does (m_nextButton,
// onNextClicked()); each control keeps its old name as its objectName
// ("Command1", "Combo1", "Option4" with its index, …). The tests, the debug log and sessions
// driven from outside find controls by those names, so they never change.
class Form : public QWidget
{
    Q_OBJECT

public:
    Form(const QString &name, const QSize &designClientTwips, QWidget *parent = nullptr);
    ~Form() override;

    const QString &formName() const { return m_name; }
    QWidget *clientArea() const { return m_client; }
    QMenuBar *menuBar();
    Resizer &resizer() { return m_resizer; }

    FormHost *host() const { return m_host; }
    void setHost(FormHost *host) { m_host = host; }

    void load();
    void activate();
    void unload();

    // The window's background and its client area's.
    void setBackgroundColour(const QColor &colour);
    QColor backgroundColour() const;

protected:
    virtual void formLoad() { }
    virtual void formActivate() { }
    virtual void formResize();
    virtual void formUnload() { }

    // Places a control on the client area at its design place, in twips.
    template<typename Control> Control *addControl(Control *control, const QRect &twips)
    {
        placeControl(control, twips);
        return control;
    }

    // Shows the named form; this one is unloaded by the host.
    void showForm(const QString &name);
    // Shows a kept form over this one; this one is activated again when it hides.
    void showOnTop(const QString &name);
    // Hides this form, shown over another one.
    void hideFromTop();

    void resizeEvent(QResizeEvent *event) override;

private:
    void placeControl(QWidget *control, const QRect &twips);
    void layoutChildren();

    QString m_name;
    QWidget *m_client = nullptr;
    QMenuBar *m_menuBar = nullptr;
    Resizer m_resizer;
    FormHost *m_host = nullptr; // the parent window; it outlives its forms
    bool m_loaded = false;
};
