#pragma once
// A text-box-like element kind for tests, benchmarks and the fuzz target: it
// publishes every group of a visual element, as a plug-in's text box does,
// without needing a plug-in. Each program registers it for streaming.

#include "CBasePgCtrl.h"
#include "CPropGroups.h"

class TSampleTextBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
    Q_PROPERTY(TPropGroupCharacter *VisualCharacterProps READ VisualCharacterProps)
    Q_PROPERTY(TPropGroupFill *VisualFillProps READ VisualFillProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupPad *VisualPadProps READ VisualPadProps)
    Q_PROPERTY(TPropGroupParagraph *VisualParagraphProps READ VisualParagraphProps)
    Q_PROPERTY(TPropGroupPosSize *VisualPosSizeProps READ VisualPosSizeProps)
    Q_PROPERTY(TPropGroupTABOn *VisualTABOnProps READ VisualTABOnProps)
    Q_PROPERTY(TPropGroupValidation *VisualValidationProps READ VisualValidationProps)

public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override;
};
