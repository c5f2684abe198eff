#pragma once
// The document the benchmarks share: 20 pages × 250 text elements (5,000
// elements), each with a text and a border, built through the model.

#include "CBasePgCtrl.h"
#include "CPropGroups.h"

class TDocumentBuilder;

// A text-box-like element publishing the groups a real one streams.
class TBenchBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
    Q_PROPERTY(TPropGroupCharacter *VisualCharacterProps READ VisualCharacterProps)
    Q_PROPERTY(TPropGroupFill *VisualFillProps READ VisualFillProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupPad *VisualPadProps READ VisualPadProps)
    Q_PROPERTY(TPropGroupParagraph *VisualParagraphProps READ VisualParagraphProps)
    Q_PROPERTY(TPropGroupPosSize *VisualPosSizeProps READ VisualPosSizeProps)
    Q_PROPERTY(TPropGroupValidation *VisualValidationProps READ VisualValidationProps)
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

inline constexpr int CBENCH_PAGES = 20;
inline constexpr int CBENCH_PER_PAGE = 250;

// Fills an empty builder with the benchmark document.
void BuildBenchDocument(TDocumentBuilder &doc);
// The text of element i of a page.
QString BenchText(int page, int i);
// Where element i of a page lies on the page view at 100 % (screen pixels).
QRect BenchRect(int i);
