#pragma once
// What the units of the in-place editor share: the line-break characters and
// the rules that typed and pasted text both pass.

#include "CBaseRTEditFocusCtrl.h"

#include <QChar>
#include <QString>

namespace RTEditFocusCtrlDetail {

inline constexpr QChar kCR = u'\r';
inline constexpr QChar kLF = u'\n';

void Refuse();

// True when c may go into the text; c becomes what the text stores (a box that shows
// capitals stores the capital its allowed characters name).
bool AdmitTyped(const TBaseRTEditFocusCtrlParamss &params, char32_t &c);

bool IsControl(char32_t c);

// Characters as a reader counts them: a letter with its marks, a conjunct or an
// emoji sequence once.
int CharCount(const QString &text);

// The grapheme boundaries after and before at (from 0).
qsizetype NextGrapheme(const QString &text, qsizetype at);
qsizetype PreviousGrapheme(const QString &text, qsizetype at);

// Tells assistive technology, when one listens, the selection the owner now has.
void NotifyAccessibleSelection(const TBaseRTEditFocusCtrl &editor);

} // namespace RTEditFocusCtrlDetail
