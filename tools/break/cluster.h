#pragma once

// The processes that share one search: one alone, or the ranks of an MPI run. Rank 0 reads the
// files and writes the result; the others get its bytes and send it what they found.

#include <memory>
#include <string>
#include <vector>

namespace zelmak::brk {

class Cluster {
public:
    virtual ~Cluster() = default;
    virtual int rank() const = 0;
    virtual int ranks() const = 0;
    // Rank 0's bytes, given to every rank.
    virtual void share(std::string& bytes) = 0;
    // Every rank's bytes in the order of the ranks, on rank 0 (empty on the others).
    virtual std::vector<std::string> gather(const std::string& bytes) = 0;
    // Ends every rank, for a failure after which the others would wait for this one for ever.
    virtual void abort(int status) = 0;
};

// The one process of a run without mpirun.
class Alone : public Cluster {
public:
    int rank() const override { return 0; }
    int ranks() const override { return 1; }
    void share(std::string&) override {}
    std::vector<std::string> gather(const std::string& bytes) override { return {bytes}; }
    void abort(int) override {}
};

// Whether mpirun (or another launcher of Open MPI or PMIx) started this process.
bool startedByMpirun();

// Joins the MPI run (MPI_Init) for as long as it lives. Throws std::runtime_error when MPI
// cannot be started.
std::unique_ptr<Cluster> joinMpiRun();

} // namespace zelmak::brk
