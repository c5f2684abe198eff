// A text-box kind (20) for the registry's tests; it counts how often its
// property editors are registered.

#include "CPlugInContract.h"

class TTestScribe : public TVisualPgCtrl
{
    Q_OBJECT
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
    void RegisterPropertyEditors() override
    {
        setProperty("EditorRegistrations", property("EditorRegistrations").toInt() + 1);
    }
};

VELORA_REGISTER_ELEMENT(TTestScribe)

#include "CTestScribe.moc"
