#include "jackserver.h"

#include "midi/rtmidibackend.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <set>
#include <sys/prctl.h>

namespace {
// Slots of the servers this process runs at once.
std::set<int> &liveSlots()
{
    static std::set<int> taken;
    return taken;
}
} // namespace

// A fixed name per test program, checkout and slot: JACK keeps at most eight servers in its
// registry and only reclaims the entry of a dead server when one of the same name starts, so
// a name that changed with every run would fill it. The build folder in the name keeps two
// checkouts running the same test at once apart; the slot, servers of one process.
JackServer::JackServer()
{
    while (liveSlots().count(slot))
        ++slot;
    liveSlots().insert(slot);
    const QByteArray where =
        QCryptographicHash::hash(QCoreApplication::applicationDirPath().toUtf8(), QCryptographicHash::Md5)
            .toHex()
            .left(8);
    serverName = QStringLiteral("orvex-%1-%2-%3")
                     .arg(QCoreApplication::applicationName(), QString::fromLatin1(where))
                     .arg(slot);
}

JackServer::~JackServer()
{
    stop();
    liveSlots().erase(slot);
}

bool JackServer::stop()
{
    if (!process || process->state() == QProcess::NotRunning)
        return true;
    // SIGTERM lets jackd leave the registry; only one that hangs is killed.
    process->terminate();
    if (process->waitForFinished(15000))
        return process->exitStatus() == QProcess::NormalExit;
    process->kill();
    process->waitForFinished(2000);
    return false;
}

QProcessEnvironment JackServer::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("JACK_DEFAULT_SERVER"), serverName);
    env.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    env.insert(QStringLiteral("JACK_NO_AUDIO_RESERVATION"), QStringLiteral("1"));
    return env;
}

QString JackServer::log() const
{
    QFile f(dir.filePath(QStringLiteral("jackd.log")));
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

bool JackServer::start(QString *why, int period)
{
    const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
    if (jackd.isEmpty()) {
        *why = QStringLiteral("jackd is not installed (Debian package jackd2)");
        return false;
    }
    // RtMidi's JACK clients in this process find the server through these.
    qputenv("JACK_DEFAULT_SERVER", serverName.toLocal8Bit());
    qputenv("JACK_NO_START_SERVER", "1");
    qputenv("JACK_NO_AUDIO_RESERVATION", "1");

    process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(dir.filePath(QStringLiteral("jackd.log")));
    // The server goes with the test even when the test dies without cleaning up.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    // A MIDI port's buffer grows with the period: below 256 frames SysEx messages of a few
    // hundred bytes can be dropped.
    // Sync mode and a long client time-out: on a busy machine a late client then delays the
    // cycle instead of missing it, and with it a SysEx message the protocol would wait for.
    process->start(jackd, {QStringLiteral("-n"), serverName, QStringLiteral("--no-realtime"),
                           QStringLiteral("--sync"), QStringLiteral("--timeout"), QStringLiteral("5000"),
                           QStringLiteral("-d"), QStringLiteral("dummy"), QStringLiteral("-r"),
                           QStringLiteral("48000"), QStringLiteral("-p"), QString::number(period)});
    if (!process->waitForStarted(5000)) {
        *why = QStringLiteral("jackd could not be started: %1").arg(process->errorString());
        return false;
    }
    // Ready once a client can make ports on it.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 15000) {
        if (process->state() == QProcess::NotRunning) {
            *why = QStringLiteral("jackd exited at start:\n%1").arg(log());
            return false;
        }
        RtMidiBackend::VirtualPort probe(QStringLiteral("jack"), QStringLiteral("orvex-probe"),
                                         QStringLiteral("probe"), nullptr);
        if (probe.open())
            return true;
        QThread::msleep(50);
    }
    *why = QStringLiteral("jackd did not accept clients within 15 s:\n%1").arg(log());
    return false;
}
