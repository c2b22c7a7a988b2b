#pragma once

#include <QObject>
#include <QString>

#include <memory>

// Where game-controller buttons come from. The program's own source reads
// every controller through SDL2 on a thread of its own; tests put a fake
// in its place. Signals arrive on the GUI thread.
class ControllerSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts reading controllers, if not started yet: nothing is opened
    // until a pupil's switch is a controller button or the set-up waits
    // for one.
    virtual void start() = 0;
    // What keeps controllers from being read, in Italian; empty when nothing does.
    virtual QString problem() const = 0;

Q_SIGNALS:
    // `button` is the button's index in SDL's game-controller mapping
    // (SDL_GameControllerButton: 0 is A).
    void buttonPressed(int button);
    void buttonReleased(int button);
    void controllerAdded(const QString &name);
    void controllerRemoved(const QString &name);
};

namespace Controllers {

ControllerSource &source();
// Takes ownership; nullptr restores the program's own source.
void setSource(std::unique_ptr<ControllerSource> source);

} // namespace Controllers
