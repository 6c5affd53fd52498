#pragma once

#include "files/sysexmessages.h"
#include "midi/midibackend.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

class MidiPort;

// Finds which input and output of a backend reach the module, without widgets.
//
// First every input listens while an identify request goes out on every output; the
// inputs an identity comes in on are the module's (one per module that answered). Then,
// for each of them, the outputs are tried one at a time, those named most like that
// input first: the output whose request is answered on that input is its pair. An output
// that stays silent for the listening time is passed over, so the search usually takes
// two listening times. Nothing else is sent.
class ModuleFinder : public QObject
{
    Q_OBJECT
public:
    struct Found
    {
        int input = -1;
        int output = -1;
        Sysex::Identity identity;
    };

    explicit ModuleFinder(std::shared_ptr<MidiBackend> backend, QObject *parent = nullptr);
    ~ModuleFinder() override;

    // How long a request may go unanswered before its output counts as silent.
    void setListenTime(int ms) { listenMs = ms; }
    int listenTime() const { return listenMs; }

    // Looks through the devices as listed now (`inputs`, `outputs`: their names, by
    // index). False when nothing could be opened; then finished is not emitted.
    bool start(const QStringList &inputs, const QStringList &outputs);
    // Closes every port; finished is not emitted.
    void cancel();
    bool running() const { return phase != Phase::Idle; }

    // The pairs that answered, in the order of their inputs; the first is the best guess.
    const std::vector<Found> &found() const { return pairs; }
    // Inputs an identity came in on but no output of which was answered there.
    const std::vector<int> &unpaired() const { return lonelyInputs; }

    // The outputs to try for `inputName`, most alike first (same name, then the longest
    // common beginning), ties by index.
    static std::vector<int> outputsByLikeness(const QString &inputName, const QStringList &outputs);

signals:
    void finished();

private:
    enum class Phase { Idle, Listening, Pairing };
    class Listener;

    void heard(int input, const Sysex::Identity &identity);
    void timeUp();
    void nextProbe();
    void finish();
    void closeAll();

    std::shared_ptr<MidiBackend> midi;
    int listenMs = 1000;
    Phase phase = Phase::Idle;
    QStringList inNames;
    QStringList outNames;
    std::vector<std::unique_ptr<Listener>> listeners;
    std::vector<std::unique_ptr<MidiPort>> senders; // by output index; null where it failed
    std::vector<std::pair<int, Sysex::Identity>> answered;
    std::vector<Found> pairs;
    std::vector<int> lonelyInputs;
    // Pairing: the answered input being paired and the outputs still to try for it.
    size_t pairing = 0;
    std::vector<int> toTry;
    bool ordered = false;
    int probing = -1;
    QTimer timer;
};
