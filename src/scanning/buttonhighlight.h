#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class ScanOutline;

// Paints the buttons of a scan: the highlighted one in the scanning colour
// and with a thick black-and-white outline, so the highlight shows also to
// a pupil who cannot tell red from green; the others in the button colour.
// A colour is set only when it changes, so a repeated highlight causes no
// repainting.
class ButtonHighlighter
{
public:
    ButtonHighlighter() = default;
    explicit ButtonHighlighter(const QList<QWidget *> &buttons);
    ~ButtonHighlighter();

    ButtonHighlighter(const ButtonHighlighter &) = delete;
    ButtonHighlighter &operator=(const ButtonHighlighter &) = delete;

    void setButtons(const QList<QWidget *> &buttons);

    // Highlights button `index` (of the list given) in `colour`; -1: none.
    void highlight(int index, double colour);
    // Highlights these buttons together, as a row is.
    void highlight(const QList<int> &indexes, double colour);
    // A switch press being timed on the highlighted buttons: a bar inside
    // their outline fills from 0 to 1; below 0 it goes.
    void showPressProgress(double progress);
    // The time left before the highlight moves on: a thin bar along the
    // lower edge of the highlighted buttons, in the text colour, that shrinks
    // from 1 to 0; below 0 it goes.
    void showCountdown(double left);
    // Every button in the button colour, no outline.
    void clear();

    // The one button highlighted, or -1.
    int highlighted() const { return m_highlighted.size() == 1 ? m_highlighted.first() : -1; }
    const QList<int> &highlightedButtons() const { return m_highlighted; }
    // The caption read out for the highlighted buttons.
    QString highlightedCaption() const;
    bool outlineShown(int index) const;
    // The countdown drawn on the button, or -1.
    double countdownShown(int index) const;
    // Where the buttons stand; nullptr without buttons.
    QWidget *parentOfButtons() const;

private:
    QList<QPointer<QWidget>> m_buttons;
    QList<QPointer<ScanOutline>> m_outlines;
    QList<int> m_highlighted;
};

// Sets a button's colour only when it differs from the present one.
void setButtonColourIfChanged(QWidget *button, double colourNumber);
