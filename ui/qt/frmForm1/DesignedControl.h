#pragma once

#include "core/Form1Design.h"

class QWidget;

namespace velk {
class SystemPort;
}

namespace velk::qt {

/// Makes the control that a row of the main window's design describes, of its kind, in
/// `parent`; the window names, places and colours it.
QWidget* buildControl(const ControlDesign& design, const SystemPort& system, QWidget* parent);

} // namespace velk::qt
