#pragma once

#include "shell/MeridianModel.h"

#include <QColor>

#include <cstdlib>

namespace qern {

// The state colour of a class (of a point, a side or an element): 0 normal,
// 1 or -1 tolerable, further out poor.
inline QColor ClassColour(int classValue)
{
    if (classValue == 0)
        return ColorNormal;
    return std::abs(classValue) == 1 ? ColorTolerable : ColorPoor;
}

} // namespace qern
