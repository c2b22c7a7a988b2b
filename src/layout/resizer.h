#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

// Keeps a window's design proportions: records the design place and size of
// every control once, then on every resize places each control at its design
// values times the ratio between the current and the design client size.
// Positions are always computed from the design values, never read back, so
// any number of resizes loses nothing.
//
// A control's "Tag" property may say which of its four values are scaled:
// "@LT" moves it but keeps its size. An empty tag, or one that does not begin
// with "@", scales all four.
//
// Controls are the direct children of the client area, and the children of
// any of them whose "scaledContainer" property is true.
class Resizer
{
public:
    Resizer() = default;
    Resizer(const Resizer &) = delete;
    Resizer &operator=(const Resizer &) = delete;

    // The window that is sized and its client area, whose controls are scaled.
    void setSourceForm(QWidget *form, QWidget *clientArea);
    QWidget *sourceForm() const { return m_form; }

    // The current layout becomes the design layout.
    void reinitialise();

    // Sizes the window to percent of the screen, centred, then rescales.
    void sizeFormToScreen(int percent);

    void resizeControls();

    bool layoutPending() const { return m_layoutPending; }
    QSize designSize() const { return {m_designWidth, m_designHeight}; }

private:
    struct ControlLayout
    {
        QPointer<QWidget> control;
        QRect design;
    };

    void captureLayout();

    QPointer<QWidget> m_form;
    QPointer<QWidget> m_client;
    int m_designWidth = 0;
    int m_designHeight = 0;
    std::vector<ControlLayout> m_layouts;
    bool m_layoutPending = true;
};
