#pragma once

#include "Ctrl.h"

namespace velk::win32 {

/// A bitmap from the program's resources, drawn stretched to the control's box.
class PictureCtrl : public Ctrl {
public:
    using Ctrl::Ctrl;
    ~PictureCtrl() override;

    void create(HWND parent, const wchar_t* resource, UINT dpi);
    /// The bitmap's own size; 0 x 0 when the resource was not found.
    [[nodiscard]] SIZE bitmapSize() const;

protected:
    bool draw(const DRAWITEMSTRUCT& item) override;

private:
    HBITMAP m_bitmap = nullptr;
};

} // namespace velk::win32
