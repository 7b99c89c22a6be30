#include "trace_sink.h"

#include "options.h"

#include "machine/trace_csv.h"

#include <cerrno>
#include <cstring>

namespace zelmak::cli {

int TraceSink::open(const std::string& name, std::FILE* out, std::FILE* err) {
    m_name = name;
    if (name == "-") {
        m_out = out;
    } else if (const writing::Result r = m_file.open(name); !r.done()) {
        std::fprintf(err, "zelmak-cli: cannot write the trace %s: %s\n", shown(name).c_str(),
                     std::strerror(r.err));
        return kFileFailure;
    }
    std::string header(kTraceCsvHeader);
    return write(header, err) ? kOk : kFileFailure;
}

bool TraceSink::write(std::string& lines, std::FILE* err) {
    int why = 0;
    if (m_out) {
        if (!lines.empty() && std::fwrite(lines.data(), 1, lines.size(), m_out) != lines.size())
            why = errno;
    } else if (const writing::Result r = m_file.write(lines); !r.done()) {
        why = r.err;
    }
    lines.clear();
    if (why != 0)
        std::fprintf(err, "zelmak-cli: writing the trace %s failed: %s\n",
                     m_out ? "to standard output" : shown(m_name).c_str(), std::strerror(why));
    return why == 0;
}

bool TraceSink::finish(bool keep, std::FILE* err) {
    if (m_out)
        return true;
    if (!keep) {
        m_file.discard();
        return true;
    }
    const writing::Result r = m_file.commit();
    if (!r.done())
        std::fprintf(err, "zelmak-cli: cannot write the trace %s: %s\n", shown(m_name).c_str(),
                     std::strerror(r.err));
    return r.done();
}

} // namespace zelmak::cli
