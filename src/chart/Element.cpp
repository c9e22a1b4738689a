// Element identity and the warning for elements asked for but never added.
#include "chart/Element.h"

#include <QtGlobal>

#include <atomic>

namespace chart {

namespace {
std::atomic<std::uint64_t> nextElementId{1};
}

Element::Element()
    : m_id(nextElementId.fetch_add(1, std::memory_order_relaxed)) {}

void warnMissingElement(const char* what, int index) {
    qWarning("Chart1: %s %d does not exist; the settings made on it are not drawn", what, index);
}

} // namespace chart
