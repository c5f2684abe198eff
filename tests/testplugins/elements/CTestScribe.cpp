// A text-box kind (20) for the registry's tests; it counts how often its
// property editors are registered, and publishes a group and an enumeration
// of its own beside a group of the programs, as real kinds do.

#include "CPlugInContract.h"
#include "CPropGroups.h"

namespace TestScribeEnums {
Q_NAMESPACE
enum TTestShade { tsLight, tsDark };
Q_ENUM_NS(TTestShade)
} // namespace TestScribeEnums

class TTestScribePropGroupShade : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(TestScribeEnums::TTestShade ShadeKind READ ShadeKind WRITE SetShadeKind)
    Q_PROPERTY(TColor ShadeColor READ ShadeColor WRITE SetShadeColor)
    Q_PROPERTY(Extended ShadeDepth READ ShadeDepth WRITE SetShadeDepth)
public:
    using TPropGroup::TPropGroup;
    TestScribeEnums::TTestShade ShadeKind() const { return m_kind; }
    void SetShadeKind(TestScribeEnums::TTestShade value) { m_kind = value; }
    TColor ShadeColor() const { return m_color; }
    void SetShadeColor(TColor value) { m_color = value; }
    Extended ShadeDepth() const { return m_depth; }
    void SetShadeDepth(Extended value) { m_depth = value; }

private:
    TestScribeEnums::TTestShade m_kind = TestScribeEnums::tsDark;
    TColor m_color = clRed;
    Extended m_depth = 1.5L;
};

class TTestScribe : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
    Q_PROPERTY(TTestScribePropGroupShade *VisualShadeProps READ VisualShadeProps)
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
    void RegisterPropertyEditors() override
    {
        setProperty("EditorRegistrations", property("EditorRegistrations").toInt() + 1);
    }
    TTestScribePropGroupShade *VisualShadeProps() const { return m_shade; }

private:
    TTestScribePropGroupShade *m_shade = new TTestScribePropGroupShade(this);
};

VELORA_REGISTER_ELEMENT(TTestScribe)

#include "CTestScribe.moc"
