// A button kind (105) for the registry's tests.

#include "CPlugInContract.h"

class TTestButton : public TVisualPgCtrl
{
    Q_OBJECT
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 105; }
};

VELORA_REGISTER_ELEMENT(TTestButton)

#include "CTestButton.moc"
