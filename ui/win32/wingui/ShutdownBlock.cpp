#include "ShutdownBlock.h"

#include "Text.h"

namespace velk::win {

ShutdownBlock::ShutdownBlock(HWND window, const std::string& reason) : m_window(window) {
    ShutdownBlockReasonCreate(m_window, widen(reason).c_str());
}

ShutdownBlock::~ShutdownBlock() { ShutdownBlockReasonDestroy(m_window); }

} // namespace velk::win
