// The backends' task thread: order, due times, and what happens to tasks that never start.
#include "midi/midiworker.h"

#include <QTest>

#include <memory>
#include <vector>

using namespace std::chrono_literals;

class TestMidiWorker : public QObject
{
    Q_OBJECT

private slots:
    // A task waits for its time, and the ones after it wait too, even when theirs has come.
    void tasksRunInOrderAndNotBeforeTheirTime()
    {
        MidiWorker worker;
        std::vector<int> ran;
        bool early = false;
        const MidiWorker::Clock::time_point due = MidiWorker::Clock::now() + 20ms;
        worker.post(
            [&] {
                early = MidiWorker::Clock::now() < due;
                ran.push_back(1);
            },
            due);
        worker.post([&] { ran.push_back(2); }, MidiWorker::Clock::now() - 1s);
        worker.post([&] { ran.push_back(3); });
        worker.flush();
        QCOMPARE(ran, (std::vector<int>{1, 2, 3}));
        QVERIFY(!early);
    }

    // Tasks dropped by clear or by the worker's end never run, and what they hold is freed.
    void droppedTasksNeverRunAndFreeWhatTheyHold()
    {
        auto held = std::make_shared<int>(0);
        bool ran = false;
        {
            MidiWorker worker;
            const auto later = MidiWorker::Clock::now() + 1h;
            worker.post([held, &ran] { ran = true; }, later);
            worker.post([held, &ran] { ran = true; });
            QCOMPARE(worker.clear(), 2);
            QCOMPARE(held.use_count(), 1L);
            worker.flush(); // nothing left to wait for
            worker.post([held, &ran] { ran = true; }, later);
            QCOMPARE(held.use_count(), 2L);
        }
        QCOMPARE(held.use_count(), 1L);
        QVERIFY(!ran);
    }
};

QTEST_GUILESS_MAIN(TestMidiWorker)
#include "tst_midiworker.moc"
