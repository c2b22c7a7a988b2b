#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QKeyEvent;

// While scanning, every key pressed in the window reaches the scanner and
// nothing else: a focused button never takes a space or an Enter itself, and
// menu shortcuts do not fire. Keys held down repeat on Linux as press and
// release pairs; those repeats are dropped, so a held key is one press and
// one release. Other windows (message boxes, menus that are open) keep
// their keys.
class SwitchKeyFilter : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(int key)>;

    SwitchKeyFilter(QWidget *scope, Handler keyDown, Handler keyUp, QObject *parent = nullptr);
    ~SwitchKeyFilter() override;

    void setActive(bool active);
    bool isActive() const { return m_active; }

    // Scan::kSpace, Scan::kEnter or Scan::kOtherKey.
    static int keyCode(const QKeyEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool inScope(QObject *watched) const;

    QPointer<QWidget> m_scope;
    Handler m_keyDown;
    Handler m_keyUp;
    bool m_active = false;
};
