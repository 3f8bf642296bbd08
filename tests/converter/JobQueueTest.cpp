// The job queue driven as the window drives it: which rows start, how each end message moves
// the job on, Stop, closing, and the late end message and reports of a stopped row.
#include <gtest/gtest.h>

#include <string>

#include "converter/JobQueue.h"

namespace {

// Plays events as the window does, being its own engine. Events: R Run a list of three rows,
// S Stop, C close the window, i a report from the engine, and the engine's end of the oldest
// call: f finished, s stopped, x failed. The log has a row's position when it starts, a mark
// when it ends (. converted, ~ stopped, ! failed), and + or - for a report shown or not.
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
            if (e == 'i')
                log += queue.Report("a status line") ? "+" : "-";
            const size_t outcome = std::string("fsx").find(e);  // the engine's outcomes in order
            if (outcome == std::string::npos)
                continue;
            const RowEnd end = queue.Done(outcome);
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
        const char *events, *log;
        QString closing;
        int converted, stops;
    } cases[] = {
        {"Rififf", "0+.1+.2.", finished, 3, 0},
        {"RfSs", "0.1~", stopped, 1, 1},  // stopped during row 2 of 3: row 3 never starts
        {"RfSf", "0.1.", stopped, 2, 1},  // the row finished before the stop reached it
        {"Rfixf", "0.1+!2.", finished + " 1 of 3 files failed: 1.avi (a status line)", 2, 0},
        // Run waits for the stopped row's end; the stopped row's reports do not show.
        {"RSRisifff", "0-0+.1.2.", finished, 3, 1},
        {"RSRSf", "0", stopped, 0, 2},  // a stop while waiting ends the job at once
        {"RfCif", "0.1-", "", 1, 1},    // after closing, the late end touches nothing
        {"RfCfRfff", "0.10.1.2.", finished, 3, 1},
        {"Cf", "", "", 0, 0},  // closing while idle does not stop the engine; a stray end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.events);
        Driver job;
        job.Play(c.events);
        EXPECT_EQ(job.log, c.log);
        EXPECT_EQ(job.closing.toStdString(), c.closing.toStdString());
        EXPECT_FALSE(job.queue.Running());
        EXPECT_EQ(job.queue.Tally().converted, c.converted);
        EXPECT_EQ(job.stops, c.stops);
    }
}
