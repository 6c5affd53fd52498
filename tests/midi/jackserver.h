#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A private JACK server with the dummy driver for end-to-end tests: its own server name per
// test program and checkout, the same on every run (so parallel tests and a user's JACK are
// not disturbed, and JACK's eight registry slots are never used up), stopped with the object. The process
// environment is pointed at it for RtMidi's JACK clients.
class JackServer
{
public:
    JackServer();
    ~JackServer();

    // False with the reason when jackd is missing or does not come up in time. `period`
    // is in frames at 48 kHz.
    bool start(QString *why, int period = 256);
    QString name() const { return serverName; }
    // Ends the server (SIGTERM, so it leaves JACK's registry); false when it had to be killed.
    bool stop();
    // The environment for child processes that should use this server.
    QProcessEnvironment environment() const;
    QString log() const;

private:
    int slot = 0;
    QString serverName;
    QTemporaryDir dir;
    std::unique_ptr<QProcess> process;
};
