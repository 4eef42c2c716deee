#include "MovieRequests.h"

#include "Limits.h"

namespace runtime {

bool MovieRequests::push(MovieRequest request)
{
    if (m_requests.size() >= limits::kMaxMovieRequests)
        return false;
    m_requests.push_back(std::move(request));
    return true;
}

std::vector<MovieRequest> MovieRequests::takeMadeBefore(std::uint64_t tick, std::size_t most)
{
    std::vector<MovieRequest> out;
    while (!m_requests.empty() && m_requests.front().tick < tick && out.size() < most) {
        out.push_back(std::move(m_requests.front()));
        m_requests.pop_front();
    }
    return out;
}

} // namespace runtime
