#pragma once

#include "controllersource.h"

#include <atomic>
#include <mutex>
#include <thread>

// Reads every game controller through SDL2's game-controller interface, with
// no SDL video or window, on a thread of its own. SDL is opened by the first
// start() and closed when the object ends or the application does; one
// object at a time reads, as SDL has one event queue for the process.
class SdlControllers : public ControllerSource
{
    Q_OBJECT

public:
    explicit SdlControllers(QObject *parent = nullptr);
    ~SdlControllers() override;

    void start() override;
    QString problem() const override;

    // Ends the reading and closes SDL; start() does not open it again.
    void stop();

Q_SIGNALS:
    // SDL is open and reading, or could not be opened: problem() then says why.
    void ready();

private:
    void read();
    void opened(const QString &failure);

    std::thread m_thread;
    std::atomic<bool> m_stopping = false;
    bool m_started = false;
    mutable std::mutex m_mutex;
    QString m_failure; // guarded by m_mutex
};
