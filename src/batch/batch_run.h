#pragma once
// Running the work on many pictures: where each result goes, worker
// processes within the memory, progress and the final account.
#include "batch/batch_options.h"
#include <QString>
#include <cstdio>
#include <vector>

namespace batch {

struct Job {
    QString input;   // absolute
    QString output;  // absolute
    qint64 cost = 0; // memory the work on it may take, in bytes
    QString error;   // why it failed (or cannot start); empty when it went well
    bool done = false;
    double seconds = 0; // how long its worker ran
};

// Where each input's result goes. Inputs whose result would overwrite an
// input (other than itself with --in-place) or another input's result get
// their error right away and are not worked on.
std::vector<Job> planJobs(const Options& options);

// Memory the work on one picture may take, from its header (a guess for
// files whose header cannot be read).
qint64 estimateCost(const QString& path);

// How many of the costs (in order) may be in flight at once: never more than
// workers, never more than fit in budget together (but always at least one).
// Used by the scheduler for each start; exposed for tests.
bool mayStart(int running, qint64 inFlight, qint64 cost, int workers, qint64 budget);

// One line of JSON telling how a finished job went: name, result ("ok" or
// "failed"), reason (empty when it went well), seconds, and output.
QByteArray jsonLine(const Job& job);

// Works on every planned job in worker processes running `program`, shows
// progress on err (a bar on a terminal, lines otherwise; with --json one
// jsonLine per file on out instead) and lists failures.
// Returns the exit code: 0 when every file went well, 1 otherwise.
int runJobs(std::vector<Job>& jobs, const Options& options, const QString& program, std::FILE* out,
            std::FILE* err);

} // namespace batch
