#pragma once

#include <QColor>
#include <QDialog>

class MenuScanning;
class QLabel;
class QPushButton;

// A question a pupil who scans answers alone: a modal window over the one
// asking, with two large buttons, "No" before "Sì", worked exactly like a
// menu with the profile's switches, colours and text font. It returns at
// once; the answer comes as a signal, and the window then goes by itself.
class ScannedQuestion : public QDialog
{
    Q_OBJECT

public:
    ScannedQuestion(const QString &text, const QColor &background, QWidget *parent);
    ~ScannedQuestion() override;

    // Shows the question over its parent's window and starts the scan.
    void ask();

    QLabel *textLabel() const { return m_text; }
    QPushButton *noButton() const { return m_no; }
    QPushButton *yesButton() const { return m_yes; }
    MenuScanning *scanning() const { return m_scanning; }

public Q_SLOTS:
    // Closing the window is No.
    void reject() override;

Q_SIGNALS:
    // Once, after the window has gone.
    void answered(bool yes);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void answer(bool yes);
    void layOut();

    QLabel *m_text = nullptr;
    QPushButton *m_no = nullptr;
    QPushButton *m_yes = nullptr;
    MenuScanning *m_scanning = nullptr;
    bool m_answered = false;
};
