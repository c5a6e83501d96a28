#pragma once
// The font of the dialog templates and the pixel measures derived from it.
#include <QFont>
#include <QRect>

#include "velk7/editor/dialog_units.h"

namespace velk7 {

// 8-point "MS Sans Serif", or the system's stand-in for it.
QFont dialogFont();
DialogBaseUnits baseUnitsOf(const QFont& font);
QRect pixelRect(const UnitRect& units, const DialogBaseUnits& base);

}  // namespace velk7
