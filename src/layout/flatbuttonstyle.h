#pragma once

#include <QProxyStyle>

// Buttons painted in exactly the colour their palette names. A teacher
// picks a pupil's colours for the pupil's eyes, so no gradient may shade
// them; a thin edge in the text colour keeps a button apart from a
// background of the same colour, and a thick one shows it pressed.
class FlatButtonStyle : public QProxyStyle
{
    Q_OBJECT

public:
    FlatButtonStyle() = default;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;

    // For every window of the program.
    static void install();
};
