// Chart content: regions and text boxes as the program added them.
#include "chart/ChartContent.h"

namespace chart {

void ChartContent::reset() {
    m_regions.clear();
    m_textBoxes.clear();
}

Region& ChartContent::addRegion() {
    return *m_regions.emplace_back(std::make_unique<Region>());
}

Region& ChartContent::region(int n) {
    return elementAt(m_regions, n, "region");
}

TextBox& ChartContent::addTextBox() {
    return *m_textBoxes.emplace_back(std::make_unique<TextBox>());
}

TextBox& ChartContent::textBox(int n) {
    return elementAt(m_textBoxes, n, "text box");
}

} // namespace chart
