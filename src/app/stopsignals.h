#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT (the session logging out, the terminal going
// away, Ctrl+C) reach the event loop as stopRequested, so the program ends
// the way "Esci" ends it. The handler itself only writes the signal's number
// to a socket the loop reads: nothing else is safe inside a signal handler.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    // The handlers in force before are put back.
    ~StopSignals() override;

    // False when no socket could be made: the signals then end the program
    // at once, as they would without this.
    bool isWatching() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void stopRequested(int signalNumber);

private:
    void readSignals();

    std::array<int, 2> m_sockets = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    std::array<struct sigaction, 3> m_previous = {};
    int m_previousWriteEnd = -1;
};
