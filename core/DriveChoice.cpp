#include "DriveChoice.h"

#include <algorithm>
#include <utility>

namespace velk {

void DriveChoice::fill(std::vector<DriveEntry> drives) {
    m_rows = std::move(drives);
    if (!m_chosen.empty() && chosenRow() < 0)
        m_rows.push_back({m_chosen, m_chosen});
}

bool DriveChoice::choose(const std::string& designation) {
    const bool other = designation != m_chosen;
    m_chosen = designation;
    if (chosenRow() < 0)
        m_rows.push_back({designation, designation});
    return other;
}

bool DriveChoice::pick(int index) {
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return false;
    const std::string& picked = m_rows[static_cast<std::size_t>(index)].designation;
    if (picked == m_chosen)
        return false;
    m_chosen = picked;
    return true;
}

int DriveChoice::chosenRow() const {
    if (m_chosen.empty())
        return -1;
    const auto at = std::find_if(m_rows.begin(), m_rows.end(), [this](const DriveEntry& row) {
        return row.designation == m_chosen;
    });
    return at == m_rows.end() ? -1 : static_cast<int>(at - m_rows.begin());
}

} // namespace velk
