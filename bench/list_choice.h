// The list pick an operator would make, for the benchmarks that drive the real window.
#pragma once

#include "app/Form1Layout.h"
#include "common/ListNumber.h"
#include "widgets/OneRowList.h"

#include <QStringList>
#include <cmath>

namespace benchwindow {

// Selects the item of List<list> whose number is `value` (e.g. 0.5 picks "0.5", 2 picks "2 Hz"); false when
// no item of that list carries it.
inline bool chooseListNumber(const app::Form1Controls& c, int list, double value) {
    const QStringList& items = c.List(list)->items();
    for (int i = 0; i < items.size(); ++i)
        if (std::fabs(common::numberAtStart(items[i].toStdString()) - value) < 1e-9)
            return c.List(list)->setSelectedIndex(i);
    return false;
}

} // namespace benchwindow
