// A combo-box kind (70) built without its two images, which the programs refuse.

#include "CPlugInContract.h"

class TNoImages : public TVisualPgCtrl
{
    Q_OBJECT
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 70; }
};

VELORA_REGISTER_ELEMENT(TNoImages)

#include "CNoImages.moc"
