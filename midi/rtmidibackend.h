#pragma once

#include "base/appidentity.h"
#include "midi/midibackend.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// Real MIDI ports through RtMidi: the ALSA sequencer on Linux by default, JACK when
// asked for ("jack"), CoreMIDI and WinMM where RtMidi is built for them. RtMidi's
// errors never leave this class: a port that fails to open is a failed open, and what
// the libraries say goes to the logging category "orvex.midi".
//
// The lists are read once and kept until rescan; the program's own ports are left out.
// A port opens by the name listed at its index, so ports that other programs (or this
// one) add or remove in between cannot shift it onto another port.
class RtMidiBackend : public MidiBackend
{
public:
    // `api` is an RtMidi API name ("alsa", "jack", "core", "winmm"); empty picks the
    // platform's default. `clientName` is what other programs see.
    explicit RtMidiBackend(const QString &api = QString(),
                           const QString &clientName = AppIdentity::ProgramName);
    ~RtMidiBackend() override;

    // The API named by the environment variable ORVEX_MIDI_API, or empty.
    static QString apiFromEnvironment();
    static QStringList compiledApis();
    // False when the API named is unknown or not built into RtMidi.
    bool apiAvailable() const;
    QString apiName() const;

    void rescan() override;
    std::optional<QString> inputDeviceName(int index) override;
    std::optional<QString> outputDeviceName(int index) override;
    MidiHandle openInput(int index, MidiHandler handler, void *instance) override;
    bool addInputBuffer(MidiHandle input, MidiBufferPtr buffer) override;
    bool startInput(MidiHandle input) override;
    void stopInput(MidiHandle input) override;
    void resetInput(MidiHandle input) override;
    void closeInput(MidiHandle input) override;
    MidiHandle openOutput(int index, MidiHandler handler, void *instance) override;
    bool sendSysex(MidiHandle output, MidiBufferPtr message) override;
    void resetOutput(MidiHandle output) override;
    void closeOutput(MidiHandle output) override;

    // Whether a port of that name belongs to a client of ours (or of another instance
    // of this program): never the module.
    bool ownPort(const QString &name) const;

    // A pair of ports that other programs connect to (an input and an output named
    // `portName`), for the command-line simulator and tests.
    class VirtualPort
    {
    public:
        // Called on RtMidi's thread with every complete message that arrives.
        using Receive = std::function<void(const std::vector<uint8_t> &message)>;

        VirtualPort(const QString &api, const QString &clientName, const QString &portName, Receive receive);
        ~VirtualPort();
        VirtualPort(const VirtualPort &) = delete;
        VirtualPort &operator=(const VirtualPort &) = delete;

        // False with `error` filled when the ports cannot be created.
        bool open(QString *error = nullptr);
        bool send(const std::vector<uint8_t> &message);
        // No message arrives after this returns; sending still works.
        void stopReceiving();

    private:
        struct Impl;
        std::unique_ptr<Impl> d;
    };

private:
    struct Input;
    struct Output;
    struct Lister;
    void handBack(MidiHandle input);
    // Whether the MIDI service answers at all.
    bool serviceReachable();
    const std::vector<QString> &listed(bool input);
    // The name listed at `index`; `occurrence` counts the same name at earlier indexes.
    std::optional<QString> listedName(bool input, int index, int *occurrence);

    int api;
    bool known;
    std::string client;
    std::unique_ptr<Lister> lister;
    std::optional<std::vector<QString>> listedInputs;
    std::optional<std::vector<QString>> listedOutputs;
    std::mutex mutex; // guards the two maps
    std::map<MidiHandle, std::unique_ptr<Input>> inputs;
    std::map<MidiHandle, std::unique_ptr<Output>> outputs;
};
