// The job queue driven as the window drives it: which rows start, how each end message moves
// the job on, Stop, closing, and the late end message and reports of a stopped row.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <sstream>
#include <string>

#include "converter/core/JobQueue.h"
#include "engine/kivoengine.h"

namespace {

// The engine's end for the events f (finished), s (stopped, five seconds kept), x (failed: the
// source is damaged).
ConversionEnd EndOf(size_t kind) {
    const ConversionEnd ends[] = {{KIVO_CONVERSION_FINISHED, KIVO_REASON_NONE, 10},
                                  {KIVO_CONVERSION_STOPPED, KIVO_REASON_STOPPED, 5},
                                  {KIVO_CONVERSION_FAILED, KIVO_REASON_SOURCE_DAMAGED, 0}};
    return ends[kind];
}

// Plays events as the window does, being its own engine. Events, separated by blanks: R<n> Run a
// list of n rows, S Stop, C close the window, and for engine call <c> (the queue numbers them
// from 1): f<c>, s<c>, x<c> its end (finished, stopped, failed), i<c> a status line from it,
// p<c>=<n> a percentage from it. The log has a row's position when it starts, a mark when it
// ends (. converted, ~ stopped, ! failed), and + or - for a report shown or not; stopped lists
// the calls the engine was asked to stop.
struct Driver : JobEngine {
    explicit Driver(int atOnce) : queue(*this, atOnce) {}
    void Convert(JobCallId, ArgumentVector&) override {}
    void Stop(JobCallId call) override { stopped += std::to_string(call); }
    void Play(const std::string& events) {
        std::istringstream in(events);
        for (std::string e; in >> e;) {
            const int n = e.size() > 1 ? std::stoi(e.substr(1)) : 0;
            if (e[0] == 'R')
                Start(queue.Run(n));
            if (e[0] == 'S')
                closing += queue.Stop();
            if (e[0] == 'C')
                queue.EndForClose();
            if (e[0] == 'i')
                log += queue.Report(JobCallId(n), "Failed: x.avi: The file is damaged") ? "+" : "-";
            if (e[0] == 'p')
                log +=
                    queue.Percent(JobCallId(n), std::stoi(e.substr(e.find('=') + 1))) ? "+" : "-";
            const size_t outcome = std::string("fsx").find(e[0]);
            if (outcome == std::string::npos)
                continue;
            const RowEnd end = queue.Done(JobCallId(n), EndOf(outcome));
            if (end.callEnded)
                stills += end.plan.values[ValueSourcePath].mid(7, 1).toStdString();
            if (end.rowEnded)
                log += end.mark.isEmpty() ? "." : end.failed ? "!" : "~";
            Start(end.startRows);
            closing += end.closingText;
        }
    }
    void Start(const std::vector<int>& rows) {
        for (int row : rows) {
            RowPlan plan;
            plan.values.assign(JobValueCount, QString("/media/%1.avi").arg(row));
            queue.Start(row, plan);
            log += std::to_string(row);
        }
    }
    std::string Running() const {
        std::string rows;
        for (int row : queue.RunningRows())
            rows += std::to_string(row);
        return rows;
    }
    JobQueue queue;
    std::string stopped;
    std::string stills;  // the row of each ended call's plan, whose still the runner copies
    std::string log;
    QString closing;
};

}  // namespace

TEST(JobQueue, EndsStopAndClosingMoveTheJobOnAsPlacesFreeUp) {
    const QString finished = "Process Info :  Job Finished.",
                  stopped = "Process Info :  Stoped by user.";
    const struct {
        int atOnce;
        const char *events, *log;
        QString closing;
        int converted;
        const char *stops, *running;  // the calls asked to stop; the rows converting at the end
        int filePercent;
        QString statusLine;
    } cases[] = {
        // One at once: each end starts the next row.
        {1, "R3 i1 f1 i2 f2 f3", "0+.1+.2.", finished, 3, "", "", 0, ""},
        {1, "R3 f1 S s2", "0.1~", stopped, 1, "2", "", 0, ""},  // the third row never starts
        {1, "R3 f1 S f2", "0.1.", stopped, 2, "2", "", 0, ""},  // it finished before the stop
        {1, "R3 f1 i2 x2 f3", "0.1+!2.",
         finished + " 1 of 3 files failed: 1.avi (the source is damaged)", 2, "", "", 0, ""},
        // Run waits for the stopped row's end; the stopped row's reports do not show.
        {1, "R3 S R3 i1 s1 i2 f2 f3 f4", "0-0+.1.2.", finished, 3, "1", "", 0, ""},
        {1, "R3 S R3 S f1", "0", stopped, 0, "11", "", 0, ""},  // a stop while waiting ends at once
        // After closing, the late end touches nothing.
        {1, "R3 f1 C i2 f2", "0.1-", "", 1, "2", "", 0, ""},
        {1, "R3 f1 C f2 R3 f3 f4 f5", "0.10.1.2.", finished, 3, "2", "", 0, ""},
        {1, "C f0", "", "", 0, "", "", 0, ""},  // closing while idle stops nothing; a stray end
        // Ends out of order: each free place takes the next row of the list.
        {2, "R4 f2 f1 f3 f4", "01.2.3..", finished, 4, "", "", 0, ""},
        {3, "R2 f1 f0 f2", "01..", finished, 2, "", "", 0, ""},  // 0 names no call
        {1, "R2 f2 f1 f2", "0.1.", finished, 2, "", "", 0, ""},  // no such call yet: nothing
        // Stop asks every running call; the job closes with the last of their ends.
        {3, "R4 S s2 s1", "012~~", "", 0, "123", "2", 0, ""},
        {3, "R4 S s2 s1 f3", "012~~.", stopped, 1, "123", "", 0, ""},
        // The new job waits for every call of the stopped one; their late reports, and ends of
        // calls that are no longer outstanding, change nothing.
        {2, "R3 S R3 i1 p2=50 s2 s2 s1 f3 f2 f4 f5", "01--01.2..", finished, 3, "12", "", 0, ""},
        {2, "R2 C R2 s1 f2 f3 p4=30", "0101.+", "", 1, "12", "1", 30, ""},
        // Failures are named in list order whatever order they end in.
        {2, "R3 i2 x2 i1 x1 f3", "01+!2+!.",
         finished + " 2 of 3 files failed, the first: 0.avi (the source is damaged)", 1, "", "", 0,
         ""},
        // The file bar shows the least advanced running row, the status line names them all.
        {3, "R4 p1=40 p2=17 p3=60 f2", "012+++.3", "", 1, "", "023", 0,
         "Converting 0.avi 40%, 2.avi 60%, 3.avi 0%"},
        {3, "R3 p1=40 p2=17 p3=60 f2", "012+++.", "", 1, "", "02", 40,
         "Converting 0.avi 40%, 2.avi 60%"},
        {2, "R2 p1=40 i2 p2=17 f1", "01+++.", "", 1, "", "1", 17,
         "Failed: x.avi: The file is damaged"},  // one running: the engine's own line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.events);
        Driver job(c.atOnce);
        job.Play(c.events);
        // A job runs until its closing line, Stop or the window's close.
        const std::string events = c.events;
        EXPECT_EQ(job.queue.Running(),
                  c.closing.isEmpty() && events.find_last_of("RSC") == events.rfind('R'));
        EXPECT_EQ(job.log, c.log);
        EXPECT_EQ(job.closing.toStdString(), c.closing.toStdString());
        EXPECT_EQ(job.queue.Tally().converted, c.converted);
        EXPECT_EQ(job.stopped, c.stops);
        EXPECT_EQ(job.Running(), c.running);
        EXPECT_EQ(job.queue.FilePercent(), c.filePercent);
        EXPECT_EQ(job.queue.StatusLine().toStdString(), c.statusLine.toStdString());
    }
}

// The family's still goes beside what a conversion kept, never beside a failure: a player lists
// a THM without its video as a broken entry.
TEST(JobQueue, TheStillGoesBesideWhatTheConversionKept) {
    const struct {
        const char* what;
        int outcome;
        bool outputLeft;  // a file stands at the output path when the conversion ends
        bool thm;
    } cases[] = {
        {"finished", KIVO_CONVERSION_FINISHED, true, true},
        {"stopped with a part kept", KIVO_CONVERSION_STOPPED, true, true},
        {"stopped before anything was written", KIVO_CONVERSION_STOPPED, false, false},
        {"failed beside an older output of the name", KIVO_CONVERSION_FAILED, true, false},
        {"failed", KIVO_CONVERSION_FAILED, false, false},
        {"an outcome the queue does not know", 7, true, false},
    };
    struct Engine : JobEngine {
        void Convert(JobCallId, ArgumentVector&) override {}
        void Stop(JobCallId) override {}
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        RowPlan plan;
        plan.values.assign(JobValueCount, QString());
        plan.values[ValueOutputPath] = folder.filePath("clip.MP4");
        plan.still = folder.filePath("still.jpg");
        plan.thumbnailPath = folder.filePath("clip.THM");
        QFile still(plan.still);
        ASSERT_TRUE(still.open(QIODevice::WriteOnly) && still.write("picture") == 7);
        still.close();
        if (c.outputLeft) {
            QFile output(plan.values[ValueOutputPath]);
            ASSERT_TRUE(output.open(QIODevice::WriteOnly));
        }
        Engine engine;
        JobQueue queue(engine);
        ASSERT_EQ(queue.Run(1), std::vector<int>({0}));
        const JobCallId call = queue.Start(0, plan);
        const RowEnd end = queue.Done(call, ConversionEnd{c.outcome, KIVO_REASON_NONE, 0});
        EXPECT_TRUE(end.jobEnded);
        if (end.keepsStill)
            CopyStillBesideOutput(end.plan);
        EXPECT_EQ(QFile::exists(plan.thumbnailPath), c.thm);
    }
}

// Every call that ends gives its plan back, whichever job it belonged to, so that its still
// goes beside its output; an end of a call that is not outstanding gives nothing.
TEST(JobQueue, EveryEndedCallGivesItsPlanBack) {
    Driver job(2);
    job.Play("R3 S R3 s2 s1 f3 x4 f5 f2 f9");
    EXPECT_EQ(job.stills, "10012");
    EXPECT_EQ(job.log, "0101.2!.");  // the stopped job's ends mark no row of the new one
}
