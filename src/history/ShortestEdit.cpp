#include "history/ShortestEdit.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstddef>
#include <new>

namespace quendral {

namespace {

// Keeps the lines of `numbers` [begin, end) whose number `seen` has on both
// sides (bits 1 and 2) at the front, and their places in `places`; marks
// the others in `changed`.
int keepMatchable(std::vector<std::uint32_t>& numbers, std::size_t begin, std::size_t end,
                  const std::vector<unsigned char>& seen, std::vector<bool>& changed, std::vector<std::uint32_t>& places)
{
    std::size_t kept = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (seen[numbers[i]] == 3) {
            numbers[kept++] = numbers[i];
            places.push_back(static_cast<std::uint32_t>(i));
        } else {
            changed[i] = true;
        }
    }
    return static_cast<int>(kept);
}

} // namespace

ShortestEdit::ShortestEdit(std::vector<std::uint32_t> from, std::vector<std::uint32_t> to,
                           const std::atomic<bool>* cancelled)
    : removed(from.size()), added(to.size()), m_cancelled(cancelled)
{
    if (from.size() + to.size() >= INT_MAX / 2)
        throw std::bad_alloc();
    std::size_t begin = 0, fromEnd = from.size(), toEnd = to.size();
    while (begin < fromEnd && begin < toEnd && from[begin] == to[begin])
        ++begin;
    while (begin < fromEnd && begin < toEnd && from[fromEnd - 1] == to[toEnd - 1])
        --fromEnd, --toEnd;

    // A line the other side does not hold changes whatever else does; the
    // search then runs on fewer lines, and on none where every line differs.
    std::uint32_t largest = 0;
    for (std::size_t i = begin; i < fromEnd; ++i)
        largest = std::max(largest, from[i]);
    for (std::size_t i = begin; i < toEnd; ++i)
        largest = std::max(largest, to[i]);
    std::vector<unsigned char> seen(std::size_t{largest} + 1, 0);
    for (std::size_t i = begin; i < fromEnd; ++i)
        seen[from[i]] |= 1;
    for (std::size_t i = begin; i < toEnd; ++i)
        seen[to[i]] |= 2;
    std::vector<std::uint32_t> fromPlaces, toPlaces;
    const int xCount = keepMatchable(from, begin, fromEnd, seen, removed, fromPlaces);
    const int yCount = keepMatchable(to, begin, toEnd, seen, added, toPlaces);
    seen = {};

    compare(from.data(), xCount, to.data(), yCount);
    for (int i = 0; i < xCount; ++i)
        if (m_xChanged[static_cast<std::size_t>(i)])
            removed[fromPlaces[static_cast<std::size_t>(i)]] = true;
    for (int i = 0; i < yCount; ++i)
        if (m_yChanged[static_cast<std::size_t>(i)])
            added[toPlaces[static_cast<std::size_t>(i)]] = true;
}

void ShortestEdit::compare(const std::uint32_t* x, int xCount, const std::uint32_t* y, int yCount)
{
    m_x = x;
    m_y = y;
    m_xChanged.assign(static_cast<std::size_t>(xCount), false);
    m_yChanged.assign(static_cast<std::size_t>(yCount), false);
    const auto diagonals = static_cast<std::size_t>(xCount + yCount + 3);
    std::vector<int> furthest(2 * diagonals);
    m_forward = furthest.data() + yCount + 1;
    m_backward = m_forward + diagonals;
    m_tooExpensive = std::max(4096, 1 << ((std::bit_width(diagonals) + 1) / 2));

    // Pieces still to compare, on a stack of its own rather than by
    // recursion, so that no input can run the thread out of stack.
    std::vector<Range> pieces{{0, xCount, 0, yCount}};
    while (!pieces.empty()) {
        Range piece = pieces.back();
        pieces.pop_back();
        while (piece.xoff < piece.xlim && piece.yoff < piece.ylim && m_x[piece.xoff] == m_y[piece.yoff])
            ++piece.xoff, ++piece.yoff;
        while (piece.xoff < piece.xlim && piece.yoff < piece.ylim && m_x[piece.xlim - 1] == m_y[piece.ylim - 1])
            --piece.xlim, --piece.ylim;
        if (piece.xoff == piece.xlim || piece.yoff == piece.ylim) {
            for (int i = piece.xoff; i < piece.xlim; ++i)
                m_xChanged[static_cast<std::size_t>(i)] = true;
            for (int i = piece.yoff; i < piece.ylim; ++i)
                m_yChanged[static_cast<std::size_t>(i)] = true;
            continue;
        }
        const Point mid = middle(piece);
        pieces.push_back({mid.x, piece.xlim, mid.y, piece.ylim});
        pieces.push_back({piece.xoff, mid.x, piece.yoff, mid.y});
    }
}

// Where the forward and backward searches for the shortest edit meet: the
// shortest edit of the range goes through that point.
ShortestEdit::Point ShortestEdit::middle(const Range& range)
{
    int* const fd = m_forward;
    int* const bd = m_backward;
    const auto [xoff, xlim, yoff, ylim] = range;
    const int dmin = xoff - ylim, dmax = xlim - yoff;
    const int fmid = xoff - yoff, bmid = xlim - ylim;
    int fmin = fmid, fmax = fmid, bmin = bmid, bmax = bmid;
    const bool odd = ((fmid - bmid) & 1) != 0;
    fd[fmid] = xoff;
    bd[bmid] = xlim;
    for (int cost = 1;; ++cost) {
        if (m_cancelled && *m_cancelled)
            throw Cancelled();
        if (fmin > dmin)
            fd[--fmin - 1] = -1;
        else
            ++fmin;
        if (fmax < dmax)
            fd[++fmax + 1] = -1;
        else
            --fmax;
        for (int d = fmax; d >= fmin; d -= 2) {
            int x = fd[d - 1] < fd[d + 1] ? fd[d + 1] : fd[d - 1] + 1;
            int y = x - d;
            while (x < xlim && y < ylim && m_x[x] == m_y[y])
                ++x, ++y;
            fd[d] = x;
            if (odd && bmin <= d && d <= bmax && bd[d] <= x)
                return {x, y};
        }
        if (bmin > dmin)
            bd[--bmin - 1] = INT_MAX;
        else
            ++bmin;
        if (bmax < dmax)
            bd[++bmax + 1] = INT_MAX;
        else
            --bmax;
        for (int d = bmax; d >= bmin; d -= 2) {
            int x = bd[d - 1] < bd[d + 1] ? bd[d - 1] : bd[d + 1] - 1;
            int y = x - d;
            while (xoff < x && yoff < y && m_x[x - 1] == m_y[y - 1])
                --x, --y;
            bd[d] = x;
            if (!odd && fmin <= d && d <= fmax && x <= fd[d])
                return {x, y};
        }
        if (cost >= m_tooExpensive)
            return cheapMiddle(range, fmin, fmax, bmin, bmax);
    }
}

// The point either search got furthest to, when the meeting point costs
// too much to find: the edit is then short, if not the shortest.
ShortestEdit::Point ShortestEdit::cheapMiddle(const Range& range, int fmin, int fmax, int bmin, int bmax) const
{
    const auto [xoff, xlim, yoff, ylim] = range;
    int forwardBest = -1, forwardX = 0;
    for (int d = fmax; d >= fmin; d -= 2) {
        int x = std::min(m_forward[d], xlim), y = x - d;
        if (ylim < y)
            x = ylim + d, y = ylim;
        if (forwardBest < x + y)
            forwardBest = x + y, forwardX = x;
    }
    int backwardBest = INT_MAX, backwardX = 0;
    for (int d = bmax; d >= bmin; d -= 2) {
        int x = std::max(xoff, m_backward[d]), y = x - d;
        if (y < yoff)
            x = yoff + d, y = yoff;
        if (x + y < backwardBest)
            backwardBest = x + y, backwardX = x;
    }
    if ((xlim + ylim) - backwardBest < forwardBest - (xoff + yoff))
        return {forwardX, forwardBest - forwardX};
    return {backwardX, backwardBest - backwardX};
}

} // namespace quendral
