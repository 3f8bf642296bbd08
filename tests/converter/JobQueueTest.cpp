// The job queue driven as the window drives it, with an engine that records what it is asked:
// which rows start, how each end message moves the job on, Stop, closing and late messages.
#include <gtest/gtest.h>

#include <string>

#include "converter/JobQueue.h"
#include "engine/kivoengine.h"

namespace {

// Plays events as the window does, its own engine recording the stops. Events: R Run a list of
// three rows, S Stop, C close the window, and the engine's end of the oldest call: f finished,
// x failed, s stopped. The log has a row's position when it starts and a mark when it ends:
// . converted, ! failed, ~ stopped.
struct Driver : JobEngine {
    void Convert(ArgumentVector&) override {}
    void Stop() override { ++stops; }
    void Play(const std::string& events) {
        for (char e : events) {
            if (e == 'R' && queue.Run(3))
                Start(0);
            if (e == 'S')
                closing += queue.Stop();
            if (e == 'C')
                queue.EndForClose();
            if (e != 'f' && e != 'x' && e != 's')
                continue;
            const RowEnd end = queue.Done(e == 'f'   ? KIVO_CONVERSION_FINISHED
                                          : e == 'x' ? KIVO_CONVERSION_FAILED
                                                     : KIVO_CONVERSION_STOPPED);
            if (end.rowEnded)
                log += end.mark.isEmpty() ? "." : end.failed ? "!" : "~";
            if (end.startRow >= 0)
                Start(end.startRow);
            closing += end.closingText;
        }
    }
    void Start(int row) {  // every value is the source, "/media/<row>.avi"
        RowPlan plan;
        plan.values.assign(JobValueCount, QString("/media/%1.avi").arg(row));
        queue.Start(plan, nullptr);
        log += std::to_string(row);
    }
    JobQueue queue{*this};
    int stops = 0;
    std::string log;
    QString closing;  // every closing status line, run together
};

}  // namespace

TEST(JobQueue, EndMessagesStopAndClosingMoveTheJobOn) {
    const QString finished = "Process Info :  Job Finished.",
                  stopped = "Process Info :  Stoped by user.";
    const struct {
        const char* events;
        const char* log;
        QString closing;
        int converted, failed, stops;
    } cases[] = {
        {"Rfff", "0.1.2.", finished, 3, 0, 0},
        {"RfSs", "0.1~", stopped, 1, 0, 1},  // stopped during row 2 of 3: row 3 never starts
        {"RfSf", "0.1.", stopped, 2, 0, 1},  // the row finished before the stop reached it
        {"Rfxf", "0.1!2.", finished + " 1 of 3 files failed: 1.avi (the conversion failed)", 2, 1,
         0},
        {"RSRffff", "00.1.2.", finished, 3, 0, 1},  // Run waits for the stopped row's end
        {"RSRSf", "0", stopped, 0, 0, 2},           // a stop while waiting ends the job at once
        {"RfCf", "0.1", "", 1, 0, 1},               // after closing, the late end touches nothing
        {"RfCfRfff", "0.10.1.2.", finished, 3, 0, 1},
        {"C", "", "", 0, 0, 0},  // closing while idle does not stop the engine
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.events);
        Driver job;
        job.Play(c.events);
        EXPECT_EQ(job.log, c.log);
        EXPECT_EQ(job.closing.toStdString(), c.closing.toStdString());
        EXPECT_FALSE(job.queue.Running());
        EXPECT_EQ(job.queue.Tally().converted, c.converted);
        EXPECT_EQ(job.queue.Tally().failed, c.failed);
        EXPECT_EQ(job.stops, c.stops);
    }
}

TEST(JobQueue, ReportsOfAStoppedJobsRowDoNotShowInTheNextJob) {
    Driver job;
    job.Play("RSR");
    EXPECT_FALSE(job.queue.Report("stopping 0.avi"));
    EXPECT_FALSE(job.queue.Reporting());
    job.Play("s");
    EXPECT_TRUE(job.queue.Report("converting 0.avi"));
    EXPECT_TRUE(job.queue.Reporting());
}
