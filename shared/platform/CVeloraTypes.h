#pragma once
// Enumerations and sets that documents store by member name.

#include <QObject>

namespace VeloraEnums {
Q_NAMESPACE

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
Q_ENUM_NS(TVerticalAlignment)

enum TPrinterOrientation { poPortrait, poLandscape };
Q_ENUM_NS(TPrinterOrientation)

enum TParagraphStyle { psVariable, psJustified, psFixed };
Q_ENUM_NS(TParagraphStyle)

// Automatic takes a paragraph's direction from its first strong character.
enum TParagraphDirection { pdAutomatic, pdLeftToRight, pdRightToLeft };
Q_ENUM_NS(TParagraphDirection)

enum TScrollStyle { sbNone, sbHorz, sbVert, sbBoth };
Q_ENUM_NS(TScrollStyle)

// The zoom the filler shows a page at.
enum TPageDefaultView { dvDesigned, dvActualSize, dvFitToWidth, dvFitToPage };
Q_ENUM_NS(TPageDefaultView)

// What a page background is stretched to.
enum TPageFitTo { ftFullPage, ftMargins };
Q_ENUM_NS(TPageFitTo)

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
Q_ENUM_NS(TCheckBoxState)

enum TCharacterStyle {
    csBold = 0x01,
    csItalic = 0x02,
    csUnderline = 0x04,
    csStrikeOut = 0x08,
    csUpperCase = 0x10,
};
Q_DECLARE_FLAGS(TCharacterStyles, TCharacterStyle)
Q_FLAG_NS(TCharacterStyles)

} // namespace VeloraEnums

Q_DECLARE_OPERATORS_FOR_FLAGS(VeloraEnums::TCharacterStyles)

// The design's member names are used bare throughout the code.
using namespace VeloraEnums;
