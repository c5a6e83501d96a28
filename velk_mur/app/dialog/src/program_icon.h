#pragma once
#include <QIcon>

namespace velk_mur {

// The program's icon, painted at the sizes window managers ask for.
QIcon programIcon();

}  // namespace velk_mur
