// A kind whose number (5) is not in the kind table, without a visible body.

#include "CPlugInContract.h"

class TX : public TNonVisualPgCtrl
{
    Q_OBJECT
public:
    using TNonVisualPgCtrl::TNonVisualPgCtrl;
    int ClassTypeID() const override { return 5; }
};

VELORA_REGISTER_ELEMENT(TX)

#include "CX.moc"
