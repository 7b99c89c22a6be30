#include "cluster.h"

#include <mpi.h>

#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace zelmak::brk {

namespace {

void check(int code, const char* what) {
    if (code != MPI_SUCCESS)
        throw std::runtime_error(std::string("MPI: ") + what + " failed");
}

int intSize(std::size_t size) {
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::runtime_error("MPI: more than 2 GiB to send");
    return static_cast<int>(size);
}

class MpiRun : public Cluster {
public:
    MpiRun() {
        int provided = 0;
        // Only the calling thread talks to MPI; the search threads never do.
        check(MPI_Init_thread(nullptr, nullptr, MPI_THREAD_FUNNELED, &provided), "MPI_Init");
        MPI_Comm_rank(MPI_COMM_WORLD, &rank_);
        MPI_Comm_size(MPI_COMM_WORLD, &ranks_);
    }
    ~MpiRun() override { MPI_Finalize(); }
    MpiRun(const MpiRun&) = delete;
    MpiRun& operator=(const MpiRun&) = delete;

    int rank() const override { return rank_; }
    int ranks() const override { return ranks_; }

    void share(std::string& bytes) override {
        unsigned long long size = bytes.size();
        check(MPI_Bcast(&size, 1, MPI_UNSIGNED_LONG_LONG, 0, MPI_COMM_WORLD), "MPI_Bcast");
        bytes.resize(size);
        check(MPI_Bcast(bytes.data(), intSize(size), MPI_CHAR, 0, MPI_COMM_WORLD), "MPI_Bcast");
    }

    std::vector<std::string> gather(const std::string& bytes) override {
        const int size = intSize(bytes.size());
        std::vector<int> sizes(rank_ == 0 ? static_cast<std::size_t>(ranks_) : 0);
        check(MPI_Gather(&size, 1, MPI_INT, sizes.data(), 1, MPI_INT, 0, MPI_COMM_WORLD),
              "MPI_Gather");
        std::vector<int> at(sizes.size());
        std::size_t total = 0;
        for (std::size_t r = 0; r < sizes.size(); ++r) {
            at[r] = intSize(total);
            total += static_cast<std::size_t>(sizes[r]);
        }
        std::string all(total, '\0');
        check(MPI_Gatherv(bytes.data(), size, MPI_CHAR, all.data(), sizes.data(), at.data(),
                          MPI_CHAR, 0, MPI_COMM_WORLD),
              "MPI_Gatherv");
        std::vector<std::string> each;
        for (std::size_t r = 0; r < sizes.size(); ++r)
            each.push_back(
                all.substr(static_cast<std::size_t>(at[r]), static_cast<std::size_t>(sizes[r])));
        return each;
    }

    void abort(int status) override { MPI_Abort(MPI_COMM_WORLD, status); }

private:
    int rank_ = 0;
    int ranks_ = 1;
};

} // namespace

bool startedByMpirun() {
    for (const char* name : {"OMPI_COMM_WORLD_SIZE", "PMIX_RANK", "PMI_RANK"})
        if (std::getenv(name))
            return true;
    return false;
}

std::unique_ptr<Cluster> joinMpiRun() {
    return std::make_unique<MpiRun>();
}

} // namespace zelmak::brk
