#pragma once
// The combo box's enumerations, in one namespace so the meta-object knows them once.

#include <QObject>

namespace VeloraComboEnums {
Q_NAMESPACE

enum TCustomComboInputType { ccitText, ccitNumeric, ccitEmail };
Q_ENUM_NS(TCustomComboInputType)
enum TComboType { ctDropDown, ctDropDownList };
Q_ENUM_NS(TComboType)
enum TComboButtonPosition { bsOutside, bsInside };
Q_ENUM_NS(TComboButtonPosition)

} // namespace VeloraComboEnums

using namespace VeloraComboEnums;
