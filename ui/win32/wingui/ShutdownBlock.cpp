#include "ShutdownBlock.h"

#include "platform/windows/WindowsText.h"

namespace velk::win32 {

ShutdownBlock::ShutdownBlock(HWND window, const std::string& reason) : m_window(window) {
    ShutdownBlockReasonCreate(m_window, widen(reason).c_str());
}

ShutdownBlock::~ShutdownBlock() {
    ShutdownBlockReasonDestroy(m_window);
}

} // namespace velk::win32
