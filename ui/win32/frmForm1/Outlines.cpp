#include "Outlines.h"

#include "core/Form1Design.h"
#include "ui/win32/wingui/Dpi.h"

namespace velk::win32 {

void paintOutlines(HDC dc, UINT dpi) {
    const HBRUSH ink = GetSysColorBrush(COLOR_WINDOWTEXT);
    const int pen = MulDiv(3, static_cast<int>(dpi), 96);
    for (const ControlDesign& d : form1Design()) {
        const RECT r = toPixels({d.box.left, d.box.top, d.box.width, d.box.height}, dpi);
        if (d.kind == ControlKind::rectangle) {
            const RECT sides[] = {{r.left, r.top, r.right, r.top + pen},
                                  {r.left, r.bottom - pen, r.right, r.bottom},
                                  {r.left, r.top, r.left + pen, r.bottom},
                                  {r.right - pen, r.top, r.right, r.bottom}};
            for (const RECT& side : sides)
                FillRect(dc, &side, ink);
        } else if (d.kind == ControlKind::line) {
            // A line's centre runs along its box.
            const RECT line{r.left - pen / 2, r.top - pen / 2, r.right - pen / 2 + pen,
                            r.bottom - pen / 2 + pen};
            FillRect(dc, &line, ink);
        }
    }
}

} // namespace velk::win32
