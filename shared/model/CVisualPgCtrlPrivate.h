#pragma once
// What the units of TVisualPgCtrl share: the one element holding the focus,
// and where an error on leaving an element ends.

#include "CBasePgCtrl.h"
#include "CException.h"

#include <QPointer>

namespace VisualPgCtrlDetail {

extern QPointer<TVisualPgCtrl> g_focused;

// Where an error of leaving an element ends when no caller waits for it.
void ShowLeavingError(const EVeloraError &error);

// Tells assistive technology, when one listens, what changed in the element.
void NotifyAccessibleTextChange(TVisualPgCtrl *element, const QString &before);
void NotifyAccessibleFocus(TVisualPgCtrl *element, bool focused);

} // namespace VisualPgCtrlDetail
