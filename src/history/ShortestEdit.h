#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace quendral {

// The fewest lines to remove from one sequence of lines and add to it to
// make another, the lines given as numbers (equal lines, equal numbers).
// Myers' diff in linear space: the middle snake, divide and conquer. Lines
// only one side holds are marked before it runs, and past a cost that only
// huge, scrambled inputs reach it settles for a short edit, not the shortest.
class ShortestEdit
{
public:
    // Thrown when the flag given is raised while the edit is worked out.
    struct Cancelled
    {
    };

    ShortestEdit(std::vector<std::uint32_t> from, std::vector<std::uint32_t> to,
                 const std::atomic<bool>* cancelled);

    // By line of `from`: whether it goes; by line of `to`: whether it comes.
    std::vector<bool> removed;
    std::vector<bool> added;

private:
    struct Range
    {
        int xoff, xlim, yoff, ylim;
    };
    struct Point
    {
        int x, y;
    };

    void compare(const std::uint32_t* x, int xCount, const std::uint32_t* y, int yCount);
    Point middle(const Range& range);
    Point cheapMiddle(const Range& range, int fmin, int fmax, int bmin, int bmax) const;

    const std::atomic<bool>* m_cancelled;
    const std::uint32_t* m_x = nullptr;
    const std::uint32_t* m_y = nullptr;
    // The furthest x reached on each diagonal x - y, forwards and backwards.
    int* m_forward = nullptr;
    int* m_backward = nullptr;
    int m_tooExpensive = 0;
    std::vector<bool> m_xChanged;
    std::vector<bool> m_yChanged;
};

} // namespace quendral
