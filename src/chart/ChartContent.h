// Everything Chart1 shows, as settings: the chart settings, the regions and the free text boxes. The chart
// control draws it; this class only keeps it. Elements are numbered from 1 in the order they were added.
#pragma once

#include "chart/ChartSettings.h"
#include "chart/Region.h"
#include "chart/TextBox.h"

#include <memory>
#include <vector>

namespace chart {

class ChartContent {
public:
    // Removes every region and text box; the chart settings stay.
    void reset();

    ChartSettings& settings() { return m_settings; }
    const ChartSettings& settings() const { return m_settings; }

    Region& addRegion();
    Region& region(int n);
    int regionCount() const { return static_cast<int>(m_regions.size()); }

    TextBox& addTextBox();
    TextBox& textBox(int n);
    int textBoxCount() const { return static_cast<int>(m_textBoxes.size()); }

    // For the drawing side: the elements in order.
    const std::vector<std::unique_ptr<Region>>& regions() const { return m_regions; }
    const std::vector<std::unique_ptr<TextBox>>& textBoxes() const { return m_textBoxes; }

private:
    ChartSettings m_settings;
    std::vector<std::unique_ptr<Region>> m_regions;
    std::vector<std::unique_ptr<TextBox>> m_textBoxes;
};

} // namespace chart
