// A date-box kind (90) whose elements a test keeps past the registry.

#include "CPlugInContract.h"

class TLingering : public TVisualPgCtrl
{
    Q_OBJECT
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 90; }
};

VELORA_REGISTER_ELEMENT(TLingering)

#include "CLingering.moc"
