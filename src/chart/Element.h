// Identity shared by every element of the chart (regions, captions, axes, series, text boxes): each element
// gets a number never used before, so the drawing side can tell a rebuilt element from one of an earlier
// build.
#pragma once

#include <cstdint>

namespace chart {

class Element {
public:
    Element();
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;
    ~Element() = default;

    std::uint64_t id() const { return m_id; }

private:
    std::uint64_t m_id;
};

// Asking for an element that was never added (region(2) on a chart with one region, caption() before
// addCaption()) gives a detached stand-in: its settings are kept but never drawn. This reports such a call on
// standard error, naming the element, so the mistake shows up in development without stopping the program.
void warnMissingElement(const char* what, int index);

template <class T>
T& detachedElement(const char* what, int index) {
    warnMissingElement(what, index);
    static T stray;
    return stray;
}

} // namespace chart
